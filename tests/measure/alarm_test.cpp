#include <gtest/gtest.h>

#include <optional>

#include "alarm.h"
#include "fakes.h"

namespace pom {
namespace {

// Where a display state is expected to stay as it was.
constexpr Colour Before = 0x123456;

struct AlarmCase {
    const char* name;
    bool on;
    const char* upper;
    const char* lower;
    std::optional<std::int32_t> lastUpper;
    double temperature;
    Colour background;
    Colour font;
    bool label;
    bool lowerKept; // the lower field was read, and was valid
};

const AlarmCase Cases[] = {
    {"upper reached", true, "25", "22", {}, 25.0, colours::Red, colours::White, true, false},
    {"just below upper", true, "25", "22", {}, 24.9, colours::Silver, colours::WindowText, false, true},
    {"lower reached", true, "25", "22", {}, 22.0, colours::Blue, colours::White, true, true},
    {"just above lower", true, "25", "22", {}, 22.1, colours::Silver, colours::WindowText, false, true},
    {"inverted band", true, "20", "25", {}, 22.0, colours::Red, colours::White, true, false},
    {"negative lower", true, "5", "-5", {}, -5.0, colours::Blue, colours::White, true, true},
    {"alarm off", false, "25", "22", {}, 99.0, colours::Silver, colours::WindowText, false, false},
    {"alarm off, letters", false, "abc", "22", {}, 99.0, colours::Silver, colours::WindowText, false, false},
    {"upper never valid", true, "abc", "22", {}, 99.0, Before, Before, true, false},
    {"upper keeps last", true, "2x5", "22", 25, 25.0, colours::Red, colours::White, true, false},
    {"lower never valid", true, "25", "", {}, 10.0, Before, Before, true, false},
    {"upper fires, bad lower", true, "25", "abc", {}, 30.0, colours::Red, colours::White, true, false},
};

TEST(AlarmTest, DisplayStates)
{
    for (const AlarmCase& c : Cases) {
        SCOPED_TRACE(c.name);
        test::FakeControls controls;
        controls.setChecked(Ctl::CheckBox3, c.on);
        controls.setText(Ctl::Edit4, c.upper);
        controls.setText(Ctl::Edit5, c.lower);
        controls.setColours(Ctl::Edit3, Before, Before);
        controls.setVisible(Ctl::Label6, true);
        FieldMemory memory;
        memory.Edit4 = c.lastUpper;

        EXPECT_NO_THROW(EvaluateAlarm(controls, c.temperature, memory));

        EXPECT_EQ(controls.background(Ctl::Edit3), c.background);
        EXPECT_EQ(controls.font(Ctl::Edit3), c.font);
        EXPECT_EQ(controls.visible(Ctl::Label6), c.label);
        EXPECT_EQ(memory.Edit5.has_value(), c.lowerKept);
        if (!c.on) {
            EXPECT_FALSE(memory.Edit4); // neither field is read while the alarm is off
        }
    }
}

TEST(AlarmTest, AValidThresholdIsRememberedForLaterTypos)
{
    test::FakeControls controls;
    controls.setChecked(Ctl::CheckBox3, true);
    controls.setText(Ctl::Edit4, "25");
    controls.setText(Ctl::Edit5, "22");
    FieldMemory memory;
    EvaluateAlarm(controls, 23.0, memory);
    controls.setText(Ctl::Edit5, "2 2");
    EvaluateAlarm(controls, 21.0, memory);
    EXPECT_EQ(controls.background(Ctl::Edit3), colours::Blue);
    EXPECT_EQ(memory.Edit5, 22);
}

} // namespace
} // namespace pom
