#include "colour_box.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include "qt_colour.h"

namespace pom {

namespace {

constexpr int NumberRole = Qt::UserRole;

constexpr Colour system(unsigned index)
{
    return SystemColourBase + index;
}

} // namespace

const std::vector<ColourEntry>& colourBoxEntries()
{
    static const std::vector<ColourEntry> entries = {
        {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000},
        {"clOlive", 0x008080}, {"clNavy", 0x800000}, {"clPurple", 0x800080},
        {"clTeal", 0x808000}, {"clGray", 0x808080}, {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
        {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF},
        {"clMedGray", 0xA4A0A0},
        {"clActiveBorder", system(10)}, {"clActiveCaption", system(2)},
        {"clAppWorkSpace", system(12)}, {"clBackground", system(1)},
        {"clBtnFace", system(15)}, {"clBtnHighlight", system(20)},
        {"clBtnShadow", system(16)}, {"clBtnText", system(18)},
        {"clCaptionText", system(9)}, {"clGradientActiveCaption", system(27)},
        {"clGradientInactiveCaption", system(28)}, {"clGrayText", system(17)},
        {"clHighlight", system(13)}, {"clHighlightText", system(14)},
        {"clHotLight", system(26)}, {"clInactiveBorder", system(11)},
        {"clInactiveCaption", system(3)}, {"clInactiveCaptionText", system(19)},
        {"clInfoBk", system(24)}, {"clInfoText", system(23)}, {"clMenu", system(4)},
        {"clMenuBar", system(30)}, {"clMenuHighlight", system(29)},
        {"clMenuText", system(7)}, {"clScrollBar", system(0)},
        {"cl3DDkShadow", system(21)}, {"cl3DLight", system(22)},
        {"clWindow", system(5)}, {"clWindowFrame", system(6)},
        {"clWindowText", system(8)},
    };
    return entries;
}

ColorBox::ColorBox(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new ColourItemDelegate(this));
    for (const ColourEntry& entry : colourBoxEntries())
        addItem(QString::fromLatin1(entry.name), QVariant::fromValue<uint>(entry.number));
    setSelected(colours::Red);
}

Colour ColorBox::selected() const
{
    return colourAt(currentIndex());
}

void ColorBox::setSelected(Colour colour)
{
    const QSignalBlocker blocker(this);
    int index = findData(QVariant::fromValue<uint>(colour), NumberRole);
    if (index < 0) {
        addItem(QString::asprintf("$%08X", colour), QVariant::fromValue<uint>(colour));
        index = count() - 1;
    }
    setCurrentIndex(index);
}

Colour ColorBox::colourAt(int index) const
{
    return itemData(index, NumberRole).value<uint>();
}

void ColorBox::paintEntry(QPainter& painter, const QRect& rect, int index, const QPalette& palette,
                          bool highlighted) const
{
    if (index < 0 || index >= count())
        return;
    painter.save();
    if (highlighted)
        painter.fillRect(rect, palette.brush(QPalette::Highlight));
    const int side = std::max(4, rect.height() - 2);
    const QRect square(rect.left() + 1, rect.top() + (rect.height() - side) / 2, side, side);
    painter.fillRect(square, toQColor(colourAt(index), palette));
    painter.setPen(palette.color(QPalette::WindowText));
    painter.drawRect(square.adjusted(0, 0, -1, -1));

    const QRect textRect(square.right() + 1 + TextGap, rect.top(),
                         std::max(0, rect.right() - square.right() - TextGap), rect.height());
    painter.setPen(palette.color(highlighted ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, itemText(index));
    painter.restore();
}

void ColorBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, this);
    QPalette shown = palette();
    if (!isEnabled())
        shown.setCurrentColorGroup(QPalette::Disabled);
    paintEntry(painter, field, currentIndex(), shown, false);
}

void ColorBox::showPopup()
{
    // The box is narrower than the names; let the list show them whole.
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = std::max(widest, fontMetrics().horizontalAdvance(itemText(i)));
    view()->setMinimumWidth(widest + ItemHeight + TextGap + 2 * style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    QComboBox::showPopup();
}

void ColourItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const bool highlighted = option.state & QStyle::State_Selected;
    m_box->paintEntry(*painter, option.rect, index.row(), option.palette, highlighted);
}

QSize ColourItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), ColorBox::ItemHeight};
}

} // namespace pom
