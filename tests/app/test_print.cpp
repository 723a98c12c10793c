// Printing the chart into a PDF printer: one landscape page named "Chart1",
// the chart stretched inside 15 % margins, and the printer's orientation given
// back afterwards, also when printing fails or the dialog is cancelled.
#include <QAction>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>
#include <memory>

#include "app_fixture.h"
#include "chart_model.h"
#include "chart_view.h"
#include "errors.h"
#include "print.h"

using namespace pom;
using namespace pom::test;

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The page boxes of a PDF: one "[x0 y0 x1 y1]" per page.
QList<QRectF> mediaBoxes(const QByteArray& pdf)
{
    static const QRegularExpression box(
        R"(/MediaBox\s*\[\s*([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s+([-\d.]+)\s*\])");
    QList<QRectF> boxes;
    for (auto it = box.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        boxes.append(QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                            QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())));
    }
    return boxes;
}

// The document information's /Title, a literal string in UTF-16 with its mark.
QString pdfTitle(const QByteArray& pdf)
{
    const QByteArray key = "/Title (";
    const qsizetype from = pdf.indexOf(key);
    if (from < 0)
        return {};
    const qsizetype start = from + key.size();
    const QByteArray text = pdf.mid(start, pdf.indexOf(')', start) - start);
    if (!text.startsWith("\xFE\xFF"))
        return QString::fromLatin1(text);
    QStringDecoder utf16(QStringDecoder::Utf16BE);
    return utf16(text.mid(2));
}

// The smallest rectangle holding every pixel that was painted.
QRect paintedArea(const QImage& image)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                area |= QRect(x, y, 1, 1);
    return area;
}

void toPdf(QPrinter& printer, const QString& path, QPageLayout::Orientation orientation)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(orientation);
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_fx = std::make_unique<AppFixture>();
        m_model = std::make_unique<ChartModel>();
        m_model->addPoints({{45000.25, 20.0}, {45000.5, 25.0}});
        m_view = std::make_unique<ChartView>(*m_model);
        m_view->resize(625, 361);  // never shown, as a window's chart before its first show
    }
    void cleanup()
    {
        m_view.reset();
        m_model.reset();
        m_fx.reset();
    }

    void stretchedInsideTheMargins_data();
    void stretchedInsideTheMargins();
    void onePortraitPrinterPageInLandscape();
    void failureGivesTheOrientationBack();
    void menuCancelPrintsNothing();
    void menuPrintsOrReportsTheError();

private:
    std::unique_ptr<AppFixture> m_fx;
    std::unique_ptr<ChartModel> m_model;
    std::unique_ptr<ChartView> m_view;
};

void TestPrint::stretchedInsideTheMargins_data()
{
    QTest::addColumn<QSize>("page");
    QTest::newRow("landscape page") << QSize(1000, 700);
    QTest::newRow("square page") << QSize(800, 800);
}

void TestPrint::stretchedInsideTheMargins()
{
    QFETCH(QSize, page);
    QImage image(page, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    DrawChartOnPage(painter, QRectF(QPointF(0, 0), page), *m_view);
    painter.end();

    const QRect expected(qRound(page.width() * 0.15), qRound(page.height() * 0.15),
                         qRound(page.width() * 0.7), qRound(page.height() * 0.7));
    const QRect painted = paintedArea(image);
    QVERIFY2(std::abs(painted.left() - expected.left()) <= 1
                 && std::abs(painted.top() - expected.top()) <= 1
                 && std::abs(painted.right() - expected.right()) <= 1
                 && std::abs(painted.bottom() - expected.bottom()) <= 1,
             qPrintable(QString("painted %1,%2 %3x%4")
                            .arg(painted.x()).arg(painted.y())
                            .arg(painted.width()).arg(painted.height())));
}

void TestPrint::onePortraitPrinterPageInLandscape()
{
    const QString path = m_fx->dir.file("chart.pdf");
    Printer printer;
    toPdf(printer, path, QPageLayout::Portrait);
    PrintChart(printer, *m_view);
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);

    const QByteArray pdf = readAll(path);
    const QList<QRectF> pages = mediaBoxes(pdf);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].width() > pages[0].height());
    QCOMPARE(pdfTitle(pdf), QString("Chart1"));
}

void TestPrint::failureGivesTheOrientationBack()
{
    Printer printer;
    toPdf(printer, m_fx->dir.file("no such folder/chart.pdf"), QPageLayout::Portrait);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    try {
        PrintChart(printer, *m_view);
        QFAIL("no error");
    } catch (const Error& e) {
        QCOMPARE(QString(e.what()), QString("Printing failed"));
    }
    QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
}

void TestPrint::menuCancelPrintsNothing()
{
    TForm1 form(m_fx->services.form());
    const QString path = m_fx->dir.file("cancelled.pdf");
    toPdf(form.printer(), path, QPageLayout::Portrait);
    m_fx->services.dialogs.printAnswer = false;
    form.Drukuj1->trigger();
    QCOMPARE(m_fx->services.dialogs.shown.size(), std::size_t(1));
    QCOMPARE(m_fx->services.dialogs.shown[0].kind, std::string("print"));
    QVERIFY(!QFile::exists(path));
    QCOMPARE(form.printer().pageLayout().orientation(), QPageLayout::Portrait);
}

void TestPrint::menuPrintsOrReportsTheError()
{
    TForm1 form(m_fx->services.form());
    auto& dialogs = m_fx->services.dialogs;
    dialogs.printAnswer = true;
    const QString path = m_fx->dir.file("menu.pdf");
    toPdf(form.printer(), path, QPageLayout::Portrait);
    form.Drukuj1->trigger();
    QCOMPARE(mediaBoxes(readAll(path)).size(), 1);

    toPdf(form.printer(), m_fx->dir.file("missing/menu.pdf"), QPageLayout::Portrait);
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    form.Drukuj1->trigger();
    QCOMPARE(dialogs.shown.size(), std::size_t(3));
    QCOMPARE(dialogs.shown[2].kind, std::string("error"));
    QCOMPARE(dialogs.shown[2].text, std::string("Printing failed."));
    QCOMPARE(form.printer().pageLayout().orientation(), QPageLayout::Portrait);
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"
