#pragma once
// The controls and the chart as the worker sees them: every call is carried
// out on the UI thread through the queue.
#include "chart.h"
#include "controls.h"
#include "ui_queue.h"

namespace pom {

class CrossingControls final : public Controls {
public:
    CrossingControls(UiQueue& ui, Controls& target) : m_ui(ui), m_target(target) {}
    std::string text(Ctl control) override;
    void setText(Ctl control, const std::string& text) override;
    bool checked(Ctl control) override;
    void setChecked(Ctl control, bool on) override;
    bool enabled(Ctl control) override;
    void setEnabled(Ctl control, bool on) override;
    bool visible(Ctl control) override;
    void setVisible(Ctl control, bool on) override;
    void setColours(Ctl control, Colour background, Colour font) override;
    Colour selectedColour() override;
    void setSelectedColour(Colour colour) override;

private:
    template <typename F> auto onUi(F&& f);
    UiQueue& m_ui;
    Controls& m_target;
};

class CrossingChart final : public Chart {
public:
    CrossingChart(UiQueue& ui, Chart& target) : m_ui(ui), m_target(target) {}
    std::string title() override;
    void setTitle(const std::string& firstLine) override;
    bool bottomAutomatic() override;
    void setBottomAutomatic(bool on) override;
    double bottomMinimum() override;
    double bottomMaximum() override;
    void setBottomMinimum(double value) override;
    void setBottomMaximum(double value) override;
    void addPoint(double x, double y) override;
    void addPoints(std::vector<ChartPoint> points) override;
    void clearPoints() override;
    std::size_t pointCount() override;
    Colour seriesColour() override;
    void setSeriesColour(Colour colour) override;
    bool seriesActive() override;
    void setSeriesActive(bool on) override;

private:
    template <typename F> auto onUi(F&& f);
    UiQueue& m_ui;
    Chart& m_target;
};

} // namespace pom
