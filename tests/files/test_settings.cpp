#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "chart_model.h"
#include "errors.h"
#include "fakes.h"
#include "interval.h"
#include "settings.h"
#include "temp_dir.h"

namespace pom {
namespace {

// The window as far as loading the settings reaches it: the fake controls
// play the handlers of the option controls on a real change, as the window does.
struct Window {
    Window()
    {
        controls.setEnabled(Ctl::ColorBox1, false);
        controls.onChange = [this](Ctl c) { changed(c); };
    }

    void changed(Ctl c)
    {
        fired.push_back(name(c) + " " + std::to_string(controls.selectedColour()));
        const bool on = controls.checked(c);
        if (c == Ctl::CheckBox1) { // CheckBox1Click
            chart.setSeriesColour(controls.selectedColour());
            chart.setSeriesActive(on);
            controls.setEnabled(Ctl::ColorBox1, on);
        } else if (c == Ctl::Edit1) { // Edit1Change
            minutesMs = IntervalFieldMs(controls.text(c), MinutesFactor);
            intervalWait = IntervalWaitFor(minutesMs, secondsMs);
        } else if (c == Ctl::Edit2) { // Edit2Change
            secondsMs = IntervalFieldMs(controls.text(c), SecondsFactor);
            intervalWait = IntervalWaitFor(minutesMs, secondsMs);
        }
    }

    static std::string name(Ctl c)
    {
        switch (c) {
        case Ctl::Edit1: return "Edit1";
        case Ctl::Edit2: return "Edit2";
        case Ctl::Edit4: return "Edit4";
        case Ctl::Edit5: return "Edit5";
        case Ctl::Edit10: return "Edit10";
        case Ctl::CheckBox1: return "CheckBox1";
        case Ctl::CheckBox2: return "CheckBox2";
        case Ctl::CheckBox3: return "CheckBox3";
        default: return "other";
        }
    }

    test::FakeControls controls;
    ChartModel chart;
    std::int32_t minutesMs = 0;
    std::int32_t secondsMs = 0;
    std::int32_t intervalWait = -1; // loading must overwrite it
    std::vector<std::string> fired;
};

struct Loaded {
    std::string edit4, edit5;
    bool alarm, sliding, plotting;
    Colour colour;
    std::string edit10, edit1, edit2;
    std::int32_t intervalWait;
};

void expectLoaded(Window& w, const Loaded& e)
{
    EXPECT_EQ(w.controls.text(Ctl::Edit4), e.edit4);
    EXPECT_EQ(w.controls.text(Ctl::Edit5), e.edit5);
    EXPECT_EQ(w.controls.checked(Ctl::CheckBox3), e.alarm);
    EXPECT_EQ(w.controls.checked(Ctl::CheckBox2), e.sliding);
    EXPECT_EQ(w.controls.checked(Ctl::CheckBox1), e.plotting);
    EXPECT_EQ(w.controls.selectedColour(), e.colour);
    EXPECT_EQ(w.controls.text(Ctl::Edit10), e.edit10);
    EXPECT_EQ(w.controls.text(Ctl::Edit1), e.edit1);
    EXPECT_EQ(w.controls.text(Ctl::Edit2), e.edit2);
    EXPECT_EQ(w.intervalWait, e.intervalWait);
}

const std::string H = SettingsHeader + "\r\n";
const std::string Long40 = "1234567890123456789012345678901234567890";

TEST(LoadSettingsTest, FillsTheControlsLineByLine)
{
    const struct {
        const char* what;
        std::string file;
        Loaded expected;
    } cases[] = {
        {"normal, lines after the tenth ignored",
         H + "30.5\r\n18\r\n1\r\nplynacy\r\nkresl\r\n16711680\r\n60\r\n1\r\n30\r\nmore\r\n",
         {"30.5", "18", true, true, true, colours::Blue, "60", "1", "30", 88000}},
        {"empty file", "", {"", "", false, false, false, 0, "", "", "", 0}},
        {"header only", "anything at all\r\n", {"", "", false, false, false, 0, "", "", "", 0}},
        {"first character of line 4, capital P, hexadecimal colour",
         H + "25\r\n22\r\n10\r\nPlynacy\r\nblank\r\n$FF\r\n100\r\n0\r\n1\r\n",
         {"25", "22", true, false, false, 255, "100", "0", "1", 0}},
        {"empty line 4, trailing space, system colour",
         H + "25\r\n22\r\n\r\nplynacy \r\nkresl \r\n-16777201\r\n100\r\n1\r\n0\r\n",
         {"25", "22", false, false, false, colours::BtnFace, "100", "1", "0", 58000}},
        {"no field changes: loading itself sets the interval",
         H + "25\r\n22\r\n0\r\nauto\r\nblank\r\n255\r\n100\r\n0\r\n0\r\n",
         {"25", "22", false, false, false, 255, "100", "0", "0", 0}},
        {"empty line 7 shifts the later fields by one line",
         H + "a\r\nb\r\n0\r\nauto\r\nkresl\r\n\r\n255\r\n120\r\n2\r\n",
         {"a", "b", false, false, true, 255, "120", "2", "", 118000}},
        {"a 40-character threshold keeps 32", H + Long40 + "\r\n" + Long40 + "x\r\n",
         {Long40.substr(0, 32), Long40.substr(0, 32), false, false, false, 0, "", "", "", 0}},
        {"lone LF line ends", H.substr(0, H.size() - 2) + "\n26\n21\n1\nplynacy\nkresl\n255\n100\n0\n3\n",
         {"26", "21", true, true, true, 255, "100", "0", "3", 1000}},
        {"code page 1250 text", H + "pr\xf3g \xb3\xf3" "d\x9f\r\n",
         {"próg łódź", "", false, false, false, 0, "", "", "", 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::writeBytes(SettingsFileDefaultName, c.file);
        Window w;
        LoadSettings(w.controls, w.intervalWait);
        expectLoaded(w, c.expected);
    }
}

// Open descriptors of this process, where the system lists them (0 elsewhere).
#ifdef _WIN32
// Windows lists none; under Wine /proc/self/fd is Wine's own, which varies.
std::size_t openDescriptors()
{
    return 0;
}
#else
std::size_t openDescriptors()
{
    const std::filesystem::path listed = "/proc/self/fd";
    std::size_t n = 0;
    if (std::filesystem::exists(listed))
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(listed))
            ++n;
    return n;
}
#endif

TEST(LoadSettingsTest, ErrorsEndTheLoadAndLeaveTheFileClosed)
{
    const struct {
        const char* what;
        const char* file; // nullptr: no settings file at all
        const char* message;
        const char* edit1; // loaded before the error, or left at its design value
    } cases[] = {
        {"missing file", nullptr, "File not found", "0"},
        {"line 7 not an integer", "h\r\n1\r\n2\r\n0\r\nauto\r\nblank\r\nabc\r\n7\r\n", "Invalid numeric input",
         "0"},
        {"minutes the handler rejects", "h\r\n1\r\n2\r\n0\r\nauto\r\nblank\r\n255\r\n7\r\nx1z\r\n5\r\n",
         "'x1z' is not a valid integer value", "x1z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        if (c.file)
            test::writeBytes(SettingsFileDefaultName, c.file);
        Window w;
        const std::size_t before = openDescriptors();
        try {
            LoadSettings(w.controls, w.intervalWait);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        EXPECT_EQ(openDescriptors(), before);
#ifdef _WIN32
        // A handle left open on the file would keep it from being deleted.
        std::error_code held;
        std::filesystem::remove(SettingsFileDefaultName, held);
        EXPECT_FALSE(held) << held.message();
#endif
        // What was loaded before the error stays; nothing after it is set.
        EXPECT_EQ(w.controls.text(Ctl::Edit1), c.edit1);
        EXPECT_EQ(w.controls.text(Ctl::Edit2), "0");
    }
}

TEST(LoadSettingsTest, PlottingFiresBeforeTheColourArrives)
{
    test::TempDir dir;
    test::writeBytes(SettingsFileDefaultName,
                     H + "30\r\n20\r\n1\r\nplynacy\r\nkresl\r\n16711680\r\n60\r\n1\r\n30\r\n");
    Window w;
    LoadSettings(w.controls, w.intervalWait);
    const std::string red = std::to_string(colours::Red);
    const std::string blue = std::to_string(colours::Blue);
    const std::vector<std::string> order = {"Edit4 " + red,     "Edit5 " + red,     "CheckBox3 " + red,
                                            "CheckBox2 " + red, "CheckBox1 " + red, "Edit10 " + blue,
                                            "Edit1 " + blue,    "Edit2 " + blue};
    EXPECT_EQ(w.fired, order);
    EXPECT_EQ(w.controls.selectedColour(), colours::Blue);
    EXPECT_TRUE(w.controls.enabled(Ctl::ColorBox1));
    EXPECT_EQ(w.chart.seriesColour(), colours::Red); // until the operator picks or clicks
}

TEST(SaveSettingsTest, WritesTheFileThatLoadsBack)
{
    test::TempDir dir;
    test::writeBytes(SettingsFileDefaultName, std::string(500, 'x')); // cut, not kept
    Window saved;
    saved.controls.setText(Ctl::Edit4, "próg łódź 40,5");
    saved.controls.setText(Ctl::Edit5, "-5");
    saved.controls.setChecked(Ctl::CheckBox3, true);
    saved.controls.setChecked(Ctl::CheckBox1, true);
    saved.controls.setSelectedColour(colours::BtnFace);
    saved.controls.setText(Ctl::Edit10, "250");
    saved.controls.setText(Ctl::Edit1, "1");
    saved.controls.setText(Ctl::Edit2, "30");
    SettingsState s;
    Button1Click(s, saved.controls);
    EXPECT_EQ(s.SettingsFileName, "config.kvt");
    EXPECT_FALSE(s.SettingsFile.isOpen());
    EXPECT_EQ(test::readBytes(SettingsFileDefaultName),
              test::readBytes(std::string(POM_FIXTURES_DIR) + "/settings_roundtrip.kvt"));

    Window loaded;
    LoadSettings(loaded.controls, loaded.intervalWait);
    expectLoaded(loaded, {"próg łódź 40,5", "-5", true, false, true, colours::BtnFace, "250", "1", "30", 88000});
}

#ifndef _WIN32 // /dev/full
TEST(SaveSettingsTest, AFailedWriteIsRaisedAndTheFileReleased)
{
    test::TempDir dir;
    std::filesystem::create_symlink("/dev/full", SettingsFileDefaultName);
    Window w;
    w.controls.setText(Ctl::Edit4, std::string(5000, '9')); // more than the write buffer holds
    SettingsState s;
    try {
        Button1Click(s, w.controls);
        ADD_FAILURE() << "no error";
    } catch (const InOutError& e) {
        EXPECT_STREQ(e.what(), "Disk full");
    }
    EXPECT_FALSE(s.SettingsFile.isOpen());
}
#endif

} // namespace
} // namespace pom
