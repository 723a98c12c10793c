#include "print.h"

#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>

#include "chart_view.h"
#include "errors.h"
#include "form.h"

namespace pom {

namespace {

[[noreturn]] void printingFailed()
{
    throw Error("EPrinter", "Printing failed");
}

// The printer's orientation comes back however the job ends.
class KeepOrientation {
public:
    explicit KeepOrientation(QPrinter& printer)
        : m_printer(printer), m_saved(printer.pageLayout().orientation())
    {
    }
    ~KeepOrientation() { m_printer.setPageOrientation(m_saved); }
    KeepOrientation(const KeepOrientation&) = delete;
    KeepOrientation& operator=(const KeepOrientation&) = delete;

private:
    QPrinter& m_printer;
    QPageLayout::Orientation m_saved;
};

} // namespace

void DrawChartOnPage(QPainter& painter, const QRectF& page, ChartView& view)
{
    QChart* chart = view.chart();
    // A view that was never shown has not sized its chart yet.
    if (chart->size().isEmpty())
        chart->resize(view.size());
    view.refresh();
    const QRectF target(page.left() + page.width() * PrintMargin,
                        page.top() + page.height() * PrintMargin,
                        page.width() * (1 - 2 * PrintMargin),
                        page.height() * (1 - 2 * PrintMargin));
    // The chart's panel, without the inset that sets it off from the window.
    qreal left = 0, top = 0, right = 0, bottom = 0;
    chart->layout()->getContentsMargins(&left, &top, &right, &bottom);
    const QRectF panel = chart->rect().adjusted(left, top, -right, -bottom);
    painter.setRenderHints(view.renderHints());
    view.scene()->render(&painter, target, chart->mapRectToScene(panel), Qt::IgnoreAspectRatio);
}

void PrintChart(QPrinter& printer, ChartView& view)
{
    KeepOrientation keep(printer);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(PrintDocumentName);
    QPainter painter;
    if (!painter.begin(&printer))
        printingFailed();
    try {
        DrawChartOnPage(painter, QRectF(0, 0, printer.width(), printer.height()), view);
    } catch (...) {
        printer.abort();
        throw;
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        printingFailed();
}

Printer& TForm1::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<Printer>();
    return *m_printer;
}

void TForm1::Drukuj1Click()
{
    if (!m_services.dialogs.printDialog(printer()))
        return;
    PrintChart(printer(), *Chart1);
}

} // namespace pom
