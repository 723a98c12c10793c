#include "time_window.h"

#include <optional>

namespace pom {

namespace {

// Edit10 is converted anew at each use; a length below 1 is not valid.
std::optional<double> windowLength(Controls& controls, FieldMemory& memory)
{
    const auto units = FieldValue(controls, Ctl::Edit10, memory.Edit10, 1);
    if (!units)
        return std::nullopt;
    return *units * WindowUnit;
}

void slideWindow(Chart& chart, Controls& controls, Clock& clock, FieldMemory& memory)
{
    const auto length = windowLength(controls, memory);
    if (!length)
        return;
    if (*length > clock.now() - chart.bottomMinimum()) {
        chart.setBottomMaximum(chart.bottomMinimum() + *windowLength(controls, memory));
        return;
    }
    // Maximum first: the new Minimum may lie beyond the old Maximum.
    chart.setBottomMaximum(clock.now());
    const DateTime now = clock.now();
    chart.setBottomMinimum(now - *windowLength(controls, memory));
}

void growWindow(Chart& chart, Clock& clock, DateTime startTime)
{
    chart.setBottomMinimum(startTime);
    if (clock.now() < chart.bottomMaximum())
        return;
    const DateTime now = clock.now();
    chart.setBottomMaximum(now + GrowthFactor * (clock.now() - chart.bottomMinimum()));
}

} // namespace

void FreezeTimeAxis(Chart& chart)
{
    chart.setBottomAutomatic(false);
}

void StartTimeWindow(Chart& chart, Clock& clock)
{
    chart.setBottomMaximum(clock.now() + InitialSpan);
    chart.setBottomMinimum(clock.now());
}

void UpdateTimeWindow(Chart& chart, Controls& controls, Clock& clock, DateTime startTime,
                      FieldMemory& memory)
{
    if (controls.checked(Ctl::CheckBox2))
        slideWindow(chart, controls, clock, memory);
    else
        growWindow(chart, clock, startTime);
}

void PlotSample(Chart& chart, Controls& controls, Clock& clock, double temperature)
{
    if (controls.checked(Ctl::CheckBox1))
        chart.addPoint(clock.now(), temperature);
}

} // namespace pom
