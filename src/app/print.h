#pragma once
// "Drukuj": the chart on one landscape page, stretched into the page less
// 15 % of its width on the left and right and 15 % of its height at the top
// and bottom, whatever its proportions on screen.
#include <QPrinter>
#include <QRectF>

class QPainter;

namespace pom {

class ChartView;

// The current printer, which the print dialog sets up.
class Printer final : public QPrinter {
public:
    Printer() : QPrinter(QPrinter::HighResolution) {}
};

inline constexpr double PrintMargin = 0.15;
inline const QString PrintDocumentName = QStringLiteral("Chart1");

// One job named "Chart1" with one landscape page. The printer gets its own
// orientation back afterwards, also when printing fails; a job that cannot be
// started or finished raises Error.
void PrintChart(QPrinter& printer, ChartView& view);

// The chart as it is now, drawn into page less the margins.
void DrawChartOnPage(QPainter& painter, const QRectF& page, ChartView& view);

} // namespace pom
