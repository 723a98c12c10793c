#pragma once
// Our colour numbers in Qt terms: 0x00BBGGRR, or a system colour taken from
// the desktop palette the widget is drawn with.
#include <QColor>
#include <QPalette>

#include "colour.h"

namespace pom {

inline constexpr Colour SystemColourBase = 0xFF000000u;

constexpr bool isSystemColour(Colour colour)
{
    return (colour & 0xFF000000u) == SystemColourBase;
}

QColor toQColor(Colour colour, const QPalette& palette);

} // namespace pom
