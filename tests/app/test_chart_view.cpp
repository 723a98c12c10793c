#include <QApplication>
#include <QSignalSpy>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "chart_model.h"
#include "chart_view.h"

namespace pom {
namespace {

constexpr double Second = 1.0 / 86400.0;
constexpr DateTime Start = 45474.375; // 2024-07-01 09:00

// Lets the chart lay itself out and the coalesced refresh run, which comes a
// few tens of milliseconds after a change.
void settle()
{
    QTest::qWait(100);
}

QDateTime local(int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(2024, 7, 1), QTime(hour, minute, second, ms), Qt::LocalTime);
}

} // namespace

class TestChartView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_model = std::make_unique<ChartModel>();
        m_view = std::make_unique<ChartView>(*m_model);
        m_view->resize(625, 361);
        m_view->show(); // a widget never shown gets no resize, and its chart stays 0 x 0
        settle();
    }
    void cleanup()
    {
        m_view.reset();
        m_model.reset();
    }

    // The empty chart's range lies around DateTime 0, where a negative
    // moment reads as the same time of day as a positive one: the axis must
    // still get a width, or Qt Charts stops drawing it for the rest of the run.
    void theEmptyChartsTimeAxisHasAWidth()
    {
        QVERIFY(m_view->timeAxis()->min() < m_view->timeAxis()->max());
    }

    void designSettings()
    {
        QChart* chart = m_view->chart();
        QCOMPARE(chart->title(), QString("Wykres temperatury"));
        QVERIFY(!chart->legend()->isVisible());
        QVERIFY(chart->isPlotAreaBackgroundVisible());
        QCOMPARE(chart->plotAreaBackgroundBrush().color(), QColor(Qt::white));
        QCOMPARE(m_view->timeAxis()->format(), QString("hh:mm"));
        QCOMPARE(std::abs(m_view->timeAxis()->labelsAngle()), 90);
        QCOMPARE(m_view->timeAxis()->titleText(), QString("Godzina"));
        QCOMPARE(m_view->valueAxis()->titleText(), QString("Temperatura [C]"));
        QCOMPARE(chart->axes(Qt::Horizontal), QList<QAbstractAxis*>{m_view->timeAxis()});
        QCOMPARE(chart->axes(Qt::Vertical), QList<QAbstractAxis*>{m_view->valueAxis()});
        QLineSeries* series = m_view->series();
        QCOMPARE(chart->series(), QList<QAbstractSeries*>{series});
        QCOMPARE(series->name(), QString::fromUtf8("Kanał 1"));
        QCOMPARE(series->pen().width(), 2);
        QCOMPARE(series->color(), QColor(255, 0, 0));
        QVERIFY(!series->pointsVisible());
        QVERIFY(series->isVisible());
    }

    void modelStateReachesTheChart()
    {
        m_model->setTitle("Wykres z dnia 01.07.2024  hala");
        m_model->setSeriesColour(0x00C08040); // 0x00BBGGRR
        m_model->setSeriesActive(false);
        m_model->addPoint(Start, 20);
        settle();
        QCOMPARE(m_view->chart()->title(), QString("Wykres z dnia 01.07.2024  hala"));
        QCOMPARE(m_view->series()->color(), QColor(0x40, 0x80, 0xC0));
        QVERIFY(!m_view->series()->isVisible());
        QCOMPARE(m_model->pointCount(), std::size_t{1});
    }

    void localTimesOnTheTimeAxis()
    {
        // Both summer-time changes of 2024 (the test runs in Europe/Warsaw), hour by hour.
        for (const QDate day : {QDate(2024, 3, 31), QDate(2024, 10, 27), QDate(1899, 12, 30)})
            for (int hour = 0; hour < 24; ++hour)
                for (const int minute : {0, 17, 59}) {
                    const DateTime value =
                        encodeDateTime({day.year(), day.month(), day.day(), hour, minute, 30, 250});
                    QCOMPARE(toAxisMs(value),
                             QDateTime(day, QTime(hour, minute, 30, 250), Qt::LocalTime)
                                 .toMSecsSinceEpoch());
                }
        QCOMPARE(toAxisMs(1e9), toAxisMs(2958465.0)); // beyond 9999: clamped, not thrown
        m_model->setBottomAutomatic(false);
        m_model->setBottomMaximum(Start + 3600 * Second);
        m_model->setBottomMinimum(Start);
        m_model->addPoint(Start + 60 * Second, 21.5);
        settle();
        QCOMPARE(m_view->timeAxis()->min(), local(9, 0, 0));
        QCOMPARE(m_view->timeAxis()->max(), local(10, 0, 0));
        QCOMPARE(m_view->series()->at(0), QPointF(static_cast<double>(local(9, 1, 0).toMSecsSinceEpoch()), 21.5));
    }

    void manyChangesInOneTurnRefreshOnce()
    {
        m_model->setBottomAutomatic(false);
        m_model->setBottomMaximum(Start + 3600 * Second);
        m_model->setBottomMinimum(Start);
        m_model->addPoint(Start, 20);
        m_model->addPoint(Start + Second, 21);
        settle();
        QSignalSpy replaced(m_view->series(), &QXYSeries::pointsReplaced);
        for (int i = 2; i < 102; ++i)
            m_model->addPoint(Start + i * Second, 20.5);
        QCOMPARE(replaced.count(), 0);
        settle();
        QCOMPARE(replaced.count(), 1);
        QCOMPARE(m_view->series()->count(), 102);
    }

    void aHundredThousandPointsBecomeAFewPerPixelColumn()
    {
        std::vector<ChartPoint> points;
        for (int i = 0; i < 100000; ++i)
            points.push_back({Start + i * 2 * Second, 20 + std::sin(i / 500.0)});
        points[54321].y = 35; // one spike must survive the reduction
        m_model->addPoints(points);
        settle();
        const auto columns = static_cast<qsizetype>(m_view->chart()->plotArea().width());
        QVERIFY(columns > 300);
        const QList<QPointF> shown = m_view->series()->points();
        QVERIFY(shown.size() <= 4 * columns + 2);
        QVERIFY(shown.size() >= columns);
        const auto highest = std::max_element(shown.begin(), shown.end(),
                                              [](QPointF a, QPointF b) { return a.y() < b.y(); });
        QCOMPARE(highest->y(), 35.0);
        QVERIFY(m_view->valueAxis()->min() <= 19.0 && m_view->valueAxis()->max() >= 35.0);
    }

    void valueAxisFitsOnlyTheVisiblePoints()
    {
        m_model->setBottomAutomatic(false);
        m_model->setBottomMaximum(Start + 600 * Second);
        m_model->setBottomMinimum(Start);
        m_model->addPoints({{Start + 10 * Second, 20}, {Start + 20 * Second, 25},
                            {Start + 900 * Second, 100}});
        settle();
        const QValueAxis* axis = m_view->valueAxis();
        QVERIFY2(axis->min() < 20 && axis->min() > 19, qPrintable(QString::number(axis->min())));
        QVERIFY2(axis->max() > 25 && axis->max() < 26, qPrintable(QString::number(axis->max())));
        m_model->clearPoints();
        settle();
        QVERIFY(axis->min() < axis->max());
    }

    void viewAndModelEndInEitherOrder()
    {
        m_view.reset();
        m_model->addPoint(Start, 20); // no view left to tell
        settle();
        m_view = std::make_unique<ChartView>(*m_model);
        m_model.reset(); // as the window does: its members go before its child widgets
        m_view.reset();
    }

private:
    std::unique_ptr<ChartModel> m_model;
    std::unique_ptr<ChartView> m_view;
};

} // namespace pom

QTEST_MAIN(pom::TestChartView)
#include "test_chart_view.moc"
