#pragma once
// The chart as the logic uses it: one date-time bottom axis whose automatic
// scaling can be switched off and whose ends can be set, and one line series
// kept in X order.
#include <cstddef>
#include <string>
#include <vector>

#include "colour.h"

namespace pom {

struct ChartPoint {
    double x = 0;
    double y = 0;
};

class Chart {
public:
    virtual ~Chart() = default;
    virtual std::string title() = 0;
    virtual void setTitle(const std::string& firstLine) = 0;

    virtual bool bottomAutomatic() = 0;
    virtual void setBottomAutomatic(bool on) = 0;
    virtual double bottomMinimum() = 0;
    virtual double bottomMaximum() = 0;
    // Raise ChartError "Axis Minimum Value must be <= Maximum" /
    // "Axis Maximum Value must be >= Minimum" rather than invert the range.
    virtual void setBottomMinimum(double value) = 0;
    virtual void setBottomMaximum(double value) = 0;

    // A new point goes after the last point whose X is not greater than its own.
    virtual void addPoint(double x, double y) = 0;
    // The same for many points with one repaint. By value, so a caller that
    // hands its vector over saves the chart a copy of it.
    virtual void addPoints(std::vector<ChartPoint> points) = 0;
    virtual void clearPoints() = 0;
    virtual std::size_t pointCount() = 0;

    virtual Colour seriesColour() = 0;
    virtual void setSeriesColour(Colour colour) = 0;
    virtual bool seriesActive() = 0;
    virtual void setSeriesActive(bool on) = 0;
};

} // namespace pom
