#pragma once
// Chart1 on screen. Every point lives in the ChartModel; Qt Charts only gets
// a min/max-per-pixel-column copy of the visible range, pushed with
// replace() once per event-loop turn however many changes came in it.
#include <QChartView>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QTimer>
#include <QValueAxis>

#include "datetime.h"

namespace pom {

class ChartModel;

// A local DateTime as the date-time axis' milliseconds since the epoch.
qint64 toAxisMs(DateTime value);

class ChartView : public QChartView {
    Q_OBJECT

public:
    // Takes the model's change listener.
    explicit ChartView(ChartModel& model, QWidget* parent = nullptr);

    // Shows the model's current state at once.
    void refresh();

    QLineSeries* series() const { return m_series; }
    QDateTimeAxis* timeAxis() const { return m_timeAxis; }
    QValueAxis* valueAxis() const { return m_valueAxis; }

private:
    void setUpChart();
    void scheduleRefresh();
    void showPoints(double from, double to);
    void showValueRange(double from, double to);
    int plotColumns() const;

    ChartModel& m_model;
    QLineSeries* m_series = nullptr;     // owned by the chart
    QDateTimeAxis* m_timeAxis = nullptr; // owned by the chart
    QValueAxis* m_valueAxis = nullptr;   // owned by the chart
    static constexpr int RefreshDelayMs = 30;
    QTimer m_refreshTimer;
    int m_columns = 0;
};

} // namespace pom
