#pragma once
// The line colour picker: the platform's default list of 50 colours, each
// drawn as a framed square in its colour followed by its identifier.
#include <QComboBox>
#include <QStyledItemDelegate>
#include <string>
#include <vector>

#include "colour.h"

namespace pom {

struct ColourEntry {
    const char* name;
    Colour number;
};

// The 16 standard, 4 extended and 30 system colours, in list order.
const std::vector<ColourEntry>& colourBoxEntries();

class ColorBox : public QComboBox {
    Q_OBJECT
public:
    static constexpr int ItemHeight = 12;
    static constexpr int TextGap = 5;  // between the square and the name

    explicit ColorBox(QWidget* parent = nullptr);

    Colour selected() const;
    // Emits nothing: only the operator's pick (activated) counts as a change.
    // A colour the list lacks is added at the end as a custom entry.
    void setSelected(Colour colour);

    Colour colourAt(int index) const;
    // Draws entry index into rect: the framed square, then the name.
    void paintEntry(QPainter& painter, const QRect& rect, int index, const QPalette& palette,
                    bool highlighted) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showPopup() override;
};

class ColourItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ColourItemDelegate(ColorBox* box) : QStyledItemDelegate(box), m_box(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ColorBox* m_box = nullptr;
};

} // namespace pom
