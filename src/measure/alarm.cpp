#include "alarm.h"

namespace pom {

void ShowAlarmColour(Controls& controls, Colour colour)
{
    controls.setColours(Ctl::Edit3, colour, colours::White);
}

void EvaluateAlarm(Controls& controls, double temperature, FieldMemory& memory)
{
    bool raised = false;
    if (controls.checked(Ctl::CheckBox3)) {
        const auto upper = FieldValue(controls, Ctl::Edit4, memory.Edit4);
        if (!upper)
            return;
        if (temperature >= *upper) {
            ShowAlarmColour(controls, colours::Red);
            raised = true;
        }
    }
    // The lower field is read only when the upper alarm did not fire.
    if (!raised && controls.checked(Ctl::CheckBox3)) {
        const auto lower = FieldValue(controls, Ctl::Edit5, memory.Edit5);
        if (!lower)
            return;
        if (temperature <= *lower) {
            ShowAlarmColour(controls, colours::Blue);
            raised = true;
        }
    }
    if (!raised)
        controls.setColours(Ctl::Edit3, colours::Silver, colours::WindowText);
    controls.setVisible(Ctl::Label6, raised);
}

} // namespace pom
