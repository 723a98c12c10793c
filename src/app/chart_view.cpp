#include "chart_view.h"

#include <QDateTime>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "chart_model.h"
#include "qt_colour.h"

namespace pom {

namespace {

constexpr double MinuteInDays = 1.0 / 1440.0;
constexpr double MinimumStep = 0.1;      // the left axis' smallest label increment
constexpr double ValueMargin = 0.05;     // of the visible span, above and below
constexpr double EmptyLow = 0.0;         // the left axis without visible points
constexpr double EmptyHigh = 30.0;
constexpr int SeriesWidth = 2;
constexpr int ValueTicks = 5;
constexpr qint64 UnixEpochJulianDay = 2440588;
constexpr qint64 MsInMinute = 60000;
constexpr qint64 MsInHour = 60 * MsInMinute;
constexpr qint64 MsInDay = 24 * MsInHour;
constexpr DateTime FirstDay = -693593.0; // 0001-01-01
constexpr DateTime LastDay = 2958465.0;   // 9999-12-31
constexpr std::size_t MaxCachedHours = 100000; // over eleven years of recording

// 1, 2 or 5 times a power of ten, at least raw and at least MinimumStep.
double niceStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(std::max(raw, MinimumStep))));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= raw)
            return std::max(factor * power, MinimumStep);
    return std::max(10.0 * power, MinimumStep);
}

} // namespace

qint64 toAxisMs(DateTime value)
{
    // Asking the time zone is slow, and its offset changes only on whole
    // hours of wall-clock time, so one look-up serves every point of an
    // hour, in this refresh and in the next ones.
    thread_local std::unordered_map<qint64, qint64> offsetOfHour;
    // Years 1 to 9999 are all a date can show; a refresh must not throw.
    const DateTimeParts p = decodeDateTime(std::clamp(value, FirstDay, LastDay));
    const QDate date(p.year, p.month, p.day);
    const qint64 wallMs = (date.toJulianDay() - UnixEpochJulianDay) * MsInDay +
                          ((p.hour * 60LL + p.minute) * 60 + p.second) * 1000 + p.millisecond;
    const qint64 hour = wallMs / MsInHour - (wallMs % MsInHour < 0 ? 1 : 0);
    auto known = offsetOfHour.find(hour);
    if (known == offsetOfHour.end()) {
        if (offsetOfHour.size() >= MaxCachedHours)
            offsetOfHour.clear();
        const QDateTime hourStart(date, QTime(p.hour, 0), Qt::LocalTime);
        known = offsetOfHour.emplace(hour, hourStart.toMSecsSinceEpoch() - hour * MsInHour).first;
    }
    return wallMs + known->second;
}

ChartView::ChartView(ChartModel& model, QWidget* parent) : QChartView(parent), m_model(model)
{
    setUpChart();
    m_refreshTimer.setSingleShot(true);
    // A little later than at once: a measuring cycle changes the axis and adds
    // its point in a few quick calls, and a repaint between them would make
    // the worker wait for it.
    m_refreshTimer.setInterval(RefreshDelayMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &ChartView::refresh);
    // A new width means new pixel columns; anything else leaves the copy valid.
    connect(chart(), &QChart::plotAreaChanged, this, [this] {
        if (plotColumns() != m_columns)
            scheduleRefresh();
    });
    // The view may go before the model or after it (a window's members go
    // before its child widgets): the listener checks that the view is still
    // there, and the view never touches the model on its way out.
    m_model.setChangeListener([view = QPointer<ChartView>(this)] {
        if (view)
            view->scheduleRefresh();
    });
    refresh();
}

void ChartView::setUpChart()
{
    QChart* c = chart();
    c->legend()->hide();
    c->setPlotAreaBackgroundBrush(Qt::white);
    c->setPlotAreaBackgroundVisible(true);

    m_timeAxis = new QDateTimeAxis;
    m_timeAxis->setFormat("hh:mm");
    m_timeAxis->setLabelsAngle(-90);
    m_timeAxis->setTitleText("Godzina");
    m_valueAxis = new QValueAxis;
    m_valueAxis->setTitleText("Temperatura [C]");
    m_valueAxis->setLabelFormat("%.1f");
    m_valueAxis->setTickType(QValueAxis::TicksDynamic);
    m_valueAxis->setTickAnchor(0.0);
    c->addAxis(m_timeAxis, Qt::AlignBottom);
    c->addAxis(m_valueAxis, Qt::AlignLeft);

    m_series = new QLineSeries;
    m_series->setName(QString::fromUtf8("Kanał 1"));
    m_series->setPointsVisible(false);
    m_series->setPointLabelsVisible(false);
    c->addSeries(m_series);
    m_series->attachAxis(m_timeAxis);
    m_series->attachAxis(m_valueAxis);
}

void ChartView::scheduleRefresh()
{
    // Not restarted by further changes, so a refresh is never put off for long.
    if (!m_refreshTimer.isActive())
        m_refreshTimer.start();
}

int ChartView::plotColumns() const
{
    return std::max(1, static_cast<int>(chart()->plotArea().width()));
}

void ChartView::refresh()
{
    m_refreshTimer.stop();
    chart()->setTitle(QString::fromStdString(m_model.title()));
    QPen pen(toQColor(m_model.seriesColour(), palette()));
    pen.setWidth(SeriesWidth);
    m_series->setPen(pen);
    m_series->setVisible(m_model.seriesActive());

    auto [from, to] = m_model.bottomRange();
    if (!(to > from)) { // an axis needs a width; centre the single moment
        from -= MinuteInDays / 2;
        to += MinuteInDays / 2;
    }
    // Days before 1899-12-30 count their time of day forwards, so an empty
    // chart's range around 0 can come out with equal ends: an axis given no
    // width once stops drawing for good.
    const qint64 fromMs = toAxisMs(from);
    const qint64 toMs = std::max(toAxisMs(to), fromMs + MsInMinute);
    m_timeAxis->setRange(QDateTime::fromMSecsSinceEpoch(fromMs), QDateTime::fromMSecsSinceEpoch(toMs));
    showPoints(from, to);
    const auto values = m_model.yRange(from, to);
    if (values)
        showValueRange(values->first, values->second);
    else
        showValueRange(EmptyLow, EmptyHigh);
}

void ChartView::showPoints(double from, double to)
{
    m_columns = plotColumns();
    const std::vector<ChartPoint> points = m_model.decimated(from, to, m_columns);
    QList<QPointF> shown;
    shown.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
        shown.append(QPointF(static_cast<double>(toAxisMs(p.x)), p.y));
    m_series->replace(shown);
}

void ChartView::showValueRange(double from, double to)
{
    // Wide enough for a few labels at the smallest increment, plus a small margin.
    const double span = std::max(to - from, MinimumStep * (ValueTicks - 1));
    if (!std::isfinite(span))
        return showValueRange(EmptyLow, EmptyHigh);
    const double centre = from / 2 + to / 2;
    const double half = span / 2 * (1 + 2 * ValueMargin);
    m_valueAxis->setTickInterval(niceStep(span / (ValueTicks - 1)));
    m_valueAxis->setRange(centre - half, centre + half);
}

} // namespace pom
