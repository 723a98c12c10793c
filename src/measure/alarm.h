#pragma once
// The temperature alarm: the reading field turns red at or above the upper
// threshold, blue at or below the lower one, and "ALARM" shows meanwhile.
#include "colour.h"
#include "controls.h"
#include "field_memory.h"

namespace pom {

// Edit3's background := colour, its font white.
void ShowAlarmColour(Controls& controls, Colour colour);
// One evaluation per sample; thresholds read only while CheckBox3 is ticked.
// A threshold that was never valid skips the evaluation, display unchanged.
void EvaluateAlarm(Controls& controls, double temperature, FieldMemory& memory);

} // namespace pom
