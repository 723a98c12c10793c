#pragma once
// Our chart: every point lives here, in X order; the on-screen view only ever
// gets a min/max-per-pixel-column copy of the visible range, so adding a point
// costs the same at a million points as at a thousand.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "chart.h"

namespace pom {

class ChartModel final : public Chart {
public:
    ChartModel();

    std::string title() override { return m_title; }
    void setTitle(const std::string& firstLine) override;

    bool bottomAutomatic() override { return m_automatic; }
    void setBottomAutomatic(bool on) override;
    double bottomMinimum() override;
    double bottomMaximum() override;
    void setBottomMinimum(double value) override;
    void setBottomMaximum(double value) override;

    void addPoint(double x, double y) override;
    void addPoints(const std::vector<ChartPoint>& points) override;
    void clearPoints() override;
    std::size_t pointCount() override { return m_points.size(); }

    Colour seriesColour() override { return m_colour; }
    void setSeriesColour(Colour colour) override;
    bool seriesActive() override { return m_active; }
    void setSeriesActive(bool on) override;

    // For the view and for tests.
    const std::vector<ChartPoint>& points() const { return m_points; }
    // The bottom axis range as shown: the data's extent while automatic.
    std::pair<double, double> bottomRange() const;
    // Min and max Y of the points with X in [xMin, xMax]; nullopt when none.
    std::optional<std::pair<double, double>> yRange(double xMin, double xMax) const;
    // The visible points reduced to at most about 4 per column: per column
    // the first, the lowest, the highest and the last, in X order, plus the
    // nearest point outside each end so the line runs to the edges.
    std::vector<ChartPoint> decimated(double xMin, double xMax, int columns) const;

    // Called after every change, on the thread that made it.
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    void changed();
    void rebuildSummaries(std::size_t fromIndex);
    std::pair<double, double> yRangeOfIndices(std::size_t first, std::size_t last) const;

    std::string m_title = "Wykres temperatury";
    bool m_automatic = true;
    double m_minimum = 0.0;  // used while not automatic
    double m_maximum = 0.0;
    Colour m_colour = colours::Red;
    bool m_active = true;
    std::vector<ChartPoint> m_points;
    // Min/max Y per block of points, for fast range queries.
    std::vector<std::pair<double, double>> m_blocks;
    std::function<void()> m_listener;
};

} // namespace pom
