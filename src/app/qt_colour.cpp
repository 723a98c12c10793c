#include "qt_colour.h"

namespace pom {

namespace {

struct PaletteColour {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The nearest palette entry for each system colour index the list uses.
PaletteColour paletteColour(unsigned index)
{
    constexpr auto Active = QPalette::Active;
    switch (index) {
    case 0: return {Active, QPalette::Button};           // scroll bar
    case 1: return {Active, QPalette::Dark};             // desktop background
    case 2: return {Active, QPalette::Highlight};        // active caption
    case 3: return {Active, QPalette::Mid};              // inactive caption
    case 4: return {Active, QPalette::Window};           // menu
    case 5: return {Active, QPalette::Base};             // window
    case 6: return {Active, QPalette::Shadow};           // window frame
    case 7: return {Active, QPalette::WindowText};       // menu text
    case 8: return {Active, QPalette::WindowText};       // window text
    case 9: return {Active, QPalette::HighlightedText};  // caption text
    case 10: return {Active, QPalette::Window};          // active border
    case 11: return {Active, QPalette::Window};          // inactive border
    case 12: return {Active, QPalette::Dark};            // application work space
    case 13: return {Active, QPalette::Highlight};
    case 14: return {Active, QPalette::HighlightedText};
    case 15: return {Active, QPalette::Button};          // button face
    case 16: return {Active, QPalette::Dark};            // button shadow
    case 17: return {QPalette::Disabled, QPalette::Text}; // grey text
    case 18: return {Active, QPalette::ButtonText};
    case 19: return {QPalette::Disabled, QPalette::WindowText}; // inactive caption text
    case 20: return {Active, QPalette::Light};           // button highlight
    case 21: return {Active, QPalette::Shadow};          // 3D dark shadow
    case 22: return {Active, QPalette::Midlight};        // 3D light
    case 23: return {Active, QPalette::ToolTipText};     // info text
    case 24: return {Active, QPalette::ToolTipBase};     // info background
    case 26: return {Active, QPalette::Link};            // hot light
    case 27: return {Active, QPalette::Highlight};       // gradient active caption
    case 28: return {Active, QPalette::Mid};             // gradient inactive caption
    case 29: return {Active, QPalette::Highlight};       // menu highlight
    case 30: return {Active, QPalette::Window};          // menu bar
    default: return {Active, QPalette::Window};
    }
}

} // namespace

QColor toQColor(Colour colour, const QPalette& palette)
{
    if (isSystemColour(colour)) {
        const PaletteColour entry = paletteColour(colour & 0x00FFFFFFu);
        return palette.color(entry.group, entry.role);
    }
    return QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                  static_cast<int>((colour >> 16) & 0xFFu));
}

} // namespace pom
