#pragma once
// The chart's time window: the recorder sets the bottom axis' ends itself,
// growing from the start of measuring or sliding with a fixed length.
#include "chart.h"
#include "controls.h"
#include "datetime.h"
#include "field_memory.h"

namespace pom {

constexpr double WindowUnit = 0.0007;   // one unit of Edit10: 60.48 s, not a minute
constexpr double InitialSpan = 0.0001;  // 8.64 s
constexpr double GrowthFactor = 1.5;

// Automatic scaling off; the axis keeps the range it showed.
void FreezeTimeAxis(Chart& chart);
// [now, now + 0.0001], Maximum set first.
void StartTimeWindow(Chart& chart, Clock& clock);
// After every sample: sliding (CheckBox2 ticked, length from Edit10) or
// growing from startTime. An Edit10 that was never valid skips the update.
void UpdateTimeWindow(Chart& chart, Controls& controls, Clock& clock, DateTime startTime,
                      FieldMemory& memory);
// Adds (now, temperature) when CheckBox1 is ticked.
void PlotSample(Chart& chart, Controls& controls, Clock& clock, double temperature);

} // namespace pom
