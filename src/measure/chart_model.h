#pragma once
// Our chart: every point lives here, in X order; the on-screen view only ever
// gets a min/max-per-pixel-column copy of the visible range, so adding a point
// costs the same at a million points as at a thousand.
#include <cstddef>
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
    ChartModel() = default;

    std::string title() override { return m_title; }
    void setTitle(const std::string& firstLine) override;

    bool bottomAutomatic() override { return m_automatic; }
    void setBottomAutomatic(bool on) override;
    double bottomMinimum() override { return bottomRange().first; }
    double bottomMaximum() override { return bottomRange().second; }
    void setBottomMinimum(double value) override;
    void setBottomMaximum(double value) override;

    void addPoint(double x, double y) override;
    void addPoints(std::vector<ChartPoint> points) override;
    void clearPoints() override;
    std::size_t pointCount() override { return m_points.size(); }

    Colour seriesColour() override { return m_colour; }
    void setSeriesColour(Colour colour) override;
    bool seriesActive() override { return m_active; }
    void setSeriesActive(bool on) override;

    // For the view and for tests.
    const std::vector<ChartPoint>& points() const { return m_points; }
    // The bottom axis range as shown: the data's extent while automatic
    // (0 and 0 without points).
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
    // Indices of the lowest and the highest point of a range.
    struct Extremes {
        std::uint32_t low = 0;
        std::uint32_t high = 0;
    };

    void changed();
    bool appendsInOrder(const std::vector<ChartPoint>& points) const;
    // Inserts out-of-order points; returns the first index that changed.
    std::size_t mergePoints(const std::vector<ChartPoint>& points);
    std::size_t firstIndexAtOrAfter(double x) const;
    std::size_t firstIndexAfter(double x) const;
    Extremes pick(Extremes a, Extremes b) const;
    // Element index of a pyramid level (0: the points themselves).
    Extremes element(std::size_t level, std::size_t index) const;
    Extremes scan(std::size_t level, std::size_t first, std::size_t last) const;
    void rebuildSummaries(std::size_t fromIndex);
    // Extremes of the points first..last-1 (a non-empty range).
    Extremes extremesOf(std::size_t first, std::size_t last) const;
    Extremes extremesAt(std::size_t level, std::size_t first, std::size_t last) const;
    void appendColumn(std::vector<ChartPoint>& out, std::size_t first, std::size_t last) const;
    void appendColumns(std::vector<ChartPoint>& out, std::size_t first, std::size_t last,
                       double xMin, double xMax, std::size_t columns) const;

    std::string m_title = "Wykres temperatury";
    bool m_automatic = true;
    double m_minimum = 0.0;  // used while not automatic
    double m_maximum = 0.0;
    Colour m_colour = colours::Red;
    bool m_active = true;
    std::vector<ChartPoint> m_points;
    // A pyramid of summaries: level k holds the extremes of blocks of
    // BlockSize elements of level k-1 (level 0: of the points themselves),
    // so any range is answered from O(BlockSize * levels) entries.
    std::vector<std::vector<Extremes>> m_levels;
    std::function<void()> m_listener;
};

} // namespace pom
