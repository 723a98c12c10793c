// "config.kvt" from arbitrary bytes, loaded into the option controls with
// their change handlers playing as the window's do. The program's own
// reports (pom::Error) are an expected outcome; anything else is a fault.
#include <array>
#include <cstdint>

#include "cp1250.h"
#include "errors.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "interval.h"
#include "settings.h"

namespace {

using pom::Ctl;

constexpr std::array EditFields{Ctl::Edit4, Ctl::Edit5, Ctl::Edit10, Ctl::Edit1, Ctl::Edit2};
constexpr std::array CheckBoxes{Ctl::CheckBox1, Ctl::CheckBox2, Ctl::CheckBox3};

// The option controls and the interval fields of the recorder state.
struct Window {
    Window()
    {
        controls.setEnabled(Ctl::Edit10, false);
        controls.setEnabled(Ctl::Label3, false);
        controls.onChange = [this](Ctl c) { changed(c); };
    }

    void changed(Ctl c)
    {
        if (c == Ctl::CheckBox2) { // CheckBox2Click
            controls.setEnabled(Ctl::Edit10, controls.checked(c));
            controls.setEnabled(Ctl::Label3, controls.checked(c));
        } else if (c == Ctl::Edit1) { // Edit1Change
            minutesMs = pom::IntervalFieldMs(controls.text(c), pom::MinutesFactor);
            intervalWait = pom::IntervalWaitFor(minutesMs, secondsMs);
        } else if (c == Ctl::Edit2) { // Edit2Change
            secondsMs = pom::IntervalFieldMs(controls.text(c), pom::SecondsFactor);
            intervalWait = pom::IntervalWaitFor(minutesMs, secondsMs);
        }
    }

    // False when loading raised one of the program's errors.
    bool load()
    {
        try {
            pom::LoadSettings(controls, intervalWait);
            return true;
        } catch (const pom::Error&) {
            return false;
        }
    }

    pom::test::FakeControls controls;
    std::int32_t minutesMs = 0;
    std::int32_t secondsMs = 0;
    std::int32_t intervalWait = 0;
};

void checkLoaded(Window& w)
{
    using pom::fuzz::Require;
    Require(w.intervalWait == pom::IntervalWaitFor(w.minutesMs, w.secondsMs),
            "IntervalWait ends as the change handlers compute it");
    for (Ctl c : EditFields)
        Require(pom::utf8ToCp1250(w.controls.text(c)).size() <= 32, "a field keeps at most 32 characters");
    Require(w.controls.enabled(Ctl::Edit10) == w.controls.checked(Ctl::CheckBox2),
            "Edit10 is enabled exactly when the sliding window is on");
}

// What "Zapis ustawień" writes from these controls reads back the same.
void checkRoundTrip(Window& loaded)
{
    using pom::fuzz::Require;
    pom::SettingsState state;
    try {
        pom::Button1Click(state, loaded.controls);
    } catch (const pom::Error&) {
        Require(false, "saving the loaded settings succeeds");
    }
    Window again;
    Require(again.load(), "loading what was saved succeeds");
    for (Ctl c : EditFields)
        Require(again.controls.text(c) == loaded.controls.text(c), "a saved field reads back the same");
    for (Ctl c : CheckBoxes)
        Require(again.controls.checked(c) == loaded.controls.checked(c), "a saved box reads back the same");
    Require(again.controls.selectedColour() == loaded.controls.selectedColour(),
            "the saved colour reads back the same");
    Require(again.intervalWait == loaded.intervalWait, "the saved interval reads back the same");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pom::fuzz::EnterPrivateDirectory();
    pom::fuzz::WriteBytes(pom::fuzz::PrivatePath(pom::SettingsFileDefaultName),
                          pom::fuzz::AsText(data, size));
    Window window;
    if (!window.load())
        return 0;
    checkLoaded(window);
    checkRoundTrip(window);
    return 0;
}
