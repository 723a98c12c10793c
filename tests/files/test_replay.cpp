#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "chart_model.h"
#include "errors.h"
#include "fakes.h"
#include "replay.h"
#include "temp_dir.h"

namespace pom {
namespace {

constexpr double Second = 1.0 / 86400;
constexpr double Tolerance = 1e-10; // days: under a hundredth of a millisecond
const RegionalFormats Formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
const std::string Header = LogHeaderPrefix + "05.03.2024\r\n\r\n";
const std::string Untitled = "Wykres temperatury";
const std::string Dated = "Wykres z dnia 05.03.2024  hala ł";
const std::string Undated = "Wykres z dnia   hala ł";

double at(int hour, int minute, int second)
{
    return (hour * 3600 + minute * 60 + second) * Second;
}

// A recorder before its first measurement, in a working directory of its
// own, with a chart that still shows something, so that the replay's changes
// can be seen.
struct Recorder {
    Recorder()
    {
        CreateDefaultLog(log);
        controls.setText(Ctl::Form, WindowCaption(log.LogFileName));
        controls.setText(Ctl::Edit6, "hala ł");
        chart.addPoint(45000.0, 1.0);
        chart.setBottomAutomatic(false);
        samples.SampleCount = 56;
        samples.Temperature = 99.0;
    }

    void open(std::optional<std::string> name)
    {
        dialogs.nextOpen = name;
        Otwrz1Click(log, samples, controls, chart, dialogs, Formats);
    }

    void replay(const std::string& bytes)
    {
        test::writeBytes(path, bytes);
        open(path);
    }

    void expectPoints(const std::vector<ChartPoint>& expected)
    {
        const auto& points = chart.points();
        ASSERT_EQ(points.size(), expected.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(points[i].x, expected[i].x, Tolerance) << "point " << i;
            EXPECT_DOUBLE_EQ(points[i].y, expected[i].y) << "point " << i;
        }
    }

    // What every replay that opened its file leaves behind.
    void expectReplayed()
    {
        EXPECT_EQ(log.LogFileName, path);
        EXPECT_EQ(log.LogFile.name(), path);
        EXPECT_FALSE(log.LogFile.isOpen());
        EXPECT_EQ(controls.text(Ctl::Form), "Pomiarownik.     " + path);
        EXPECT_FALSE(controls.enabled(Ctl::OpenComm));
        EXPECT_EQ(samples.SampleCount, 0);
    }

    test::TempDir dir;
    std::string path = dir.file("zapis łódź.txt");
    LogState log;
    SampleState samples;
    test::FakeControls controls;
    test::FakeDialogs dialogs;
    ChartModel chart;
};

TEST(ReplayTest, DrawsEachLineOfTheLog)
{
    const struct {
        const char* what;
        std::string file;
        std::vector<ChartPoint> points;
        std::string title;
        bool automatic;
        double temperature;
    } cases[] = {
        {"past midnight", Header + "1\t23:59:58\t+0020.0\r\n2\t00:00:01\t-0001.5\r\n",
         {{at(23, 59, 58), 20.0}, {1 + at(0, 0, 1), -1.5}}, Dated, true, -1.5},
        {"equal times", Header + "1\t12:00:00\t+0020.0\r\n2\t12:00:00\t+0020.1\r\n",
         {{0.5, 20.0}, {0.5, 20.1}}, Dated, true, 20.1},
        {"clock set back an hour",
         Header + "1\t12:00:00\t+0020.0\r\n2\t11:00:00\t+0020.1\r\n3\t11:30:00\t+0020.2\r\n",
         {{0.5, 20.0}, {1 + at(11, 0, 0), 20.1}, {1 + at(11, 30, 0), 20.2}}, Dated, true, 20.2},
        {"signs", Header + "1\t10:00:00\t-0012.3\r\n2\t10:00:02\t+0023.5\r\n3\t10:00:04\t 0023.5\r\n",
         {{at(10, 0, 0), -12.3}, {at(10, 0, 2), 23.5}, {at(10, 0, 4), -23.5}}, Dated, true, -23.5},
        {"counts of one, two, five and six digits",
         Header + "9\t10:00:00\t+0001.0\r\n10\t10:00:02\t+0002.0\r\n12345\t10:00:04\t+0003.0\r\n"
             + "999999\t10:00:06\t+0004.0\r\n",
         {{at(10, 0, 0), 1.0}, {at(10, 0, 2), 2.0}, {at(10, 0, 4), 3.0}, {at(10, 0, 6), 4.0}}, Dated, true, 4.0},
        {"short header", "TORNI\r\n\r\n1\t10:00:00\t+0001.0\r\n", {{at(10, 0, 0), 1.0}}, Undated, true, 1.0},
        {"no header: the first two lines are taken for it",
         "1\t10:00:00\t+0001.0\r\n2\t10:00:02\t+0002.0\r\n3\t10:00:04\t+0003.0\r\n",
         {{at(10, 0, 4), 3.0}}, Undated, true, 3.0},
        {"empty file", "", {}, Untitled, false, 99.0},
        {"header only", Header, {}, Untitled, false, 99.0},
        {"a line longer than 105 characters",
         Header + "1\t10:00:00\t+0001.0" + std::string(100, '7') + "\r\n2\t10:00:02\t+0002.0\r\n",
         {{at(10, 0, 0), 1.0}, {at(10, 0, 2), 2.0}}, Dated, true, 2.0},
        {"a line without its value adds no point", Header + "1\t10:00:00\t+0001.0\r\n2\t10:00:02\r\n",
         {{at(10, 0, 0), 1.0}}, Dated, true, -0.0},
        {"lone LF line ends", Header + "1\t10:00:00\t+0001.0\n2\t10:00:02\t+0002.0\n",
         {{at(10, 0, 0), 1.0}, {at(10, 0, 2), 2.0}}, Dated, true, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        r.replay(c.file);
        r.expectReplayed();
        r.expectPoints(c.points);
        EXPECT_EQ(r.chart.title(), c.title);
        EXPECT_EQ(r.chart.bottomAutomatic(), c.automatic);
        EXPECT_DOUBLE_EQ(r.samples.Temperature, c.temperature);
    }
}

TEST(ReplayTest, AnInvalidTimeEndsTheReplayAndKeepsThePointsBeforeIt)
{
    const struct {
        const char* what;
        std::string file;
        std::size_t kept;
        std::string message;
        std::string title;
    } cases[] = {
        {"a seven-digit count", Header + "999999\t10:00:00\t+0001.0\r\n1000000\t10:00:02\t+0002.0\r\n", 1,
         "'\t10:00:0' is not a valid time", Dated},
        {"an empty line", Header + "1\t10:00:00\t+0001.0\r\n\r\n3\t10:00:04\t+0003.0\r\n", 1,
         "'' is not a valid time", Dated},
        {"the first line", Header + "1\t1O:00:00\t+0001.0\r\n", 0, "'1O:00:00' is not a valid time", Untitled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Recorder r;
        try {
            r.replay(c.file);
            ADD_FAILURE() << "no error";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.what(), c.message);
        }
        r.expectReplayed();
        EXPECT_EQ(r.chart.pointCount(), c.kept);
        EXPECT_EQ(r.chart.title(), c.title);
        EXPECT_TRUE(r.chart.bottomAutomatic());
    }
}

// The current log stays the one measuring can append to.
TEST(ReplayTest, AFileThatCannotBeOpenedLeavesTheCurrentLogTheCaptionAndTheMainButton)
{
    Recorder r;
    const std::string missing = r.dir.file("brak.txt");
    try {
        r.open(missing);
        ADD_FAILURE() << "no error";
    } catch (const InOutError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(r.log.LogFileName, DefaultLogName);
    EXPECT_EQ(r.log.LogFile.name(), DefaultLogName);
    EXPECT_FALSE(r.log.LogFile.isOpen());
    EXPECT_EQ(r.chart.pointCount(), 0u);
    EXPECT_EQ(r.controls.text(Ctl::Form), "Pomiarownik.     zrx1.txt");
    EXPECT_TRUE(r.controls.enabled(Ctl::OpenComm));
    EXPECT_EQ(r.chart.title(), Untitled);
}

TEST(ReplayTest, CancellingTheDialogChangesNothing)
{
    Recorder r;
    r.open(std::nullopt);
    EXPECT_EQ(r.log.LogFileName, DefaultLogName);
    EXPECT_EQ(r.chart.pointCount(), 1u);
    EXPECT_FALSE(r.chart.bottomAutomatic());
    EXPECT_EQ(r.controls.text(Ctl::Form), "Pomiarownik.     zrx1.txt");
    EXPECT_TRUE(r.controls.enabled(Ctl::OpenComm));
    EXPECT_EQ(r.samples.SampleCount, 56);
}

// What the recorder writes is what the replay reads.
TEST(ReplayTest, ReadsALogAsTheRecorderWritesIt)
{
    Recorder r;
    LogState written;
    written.LogFileName = r.path;
    written.LogFile.assign(r.path);
    written.LogFile.rewrite();
    written.LogFile.close();
    WriteLogHeader(written, 45356.0, Formats); // 5 March 2024
    const struct {
        std::int32_t count;
        double time;
        const char* value;
    } samples[] = {{9, at(23, 59, 59), "+0023.5"}, {10, 1 + at(0, 0, 1), "-0001.0"}, {11, 1 + at(0, 0, 3), "+23"}};
    for (const auto& s : samples) {
        Buffer65 reply{};
        copyText(reply, s.value);
        AppendLogOpen(written);
        AppendLogWrite(written, s.count, 45356.0 + s.time, reply, Formats);
        AppendLogClose(written);
    }
    r.open(r.path);
    r.expectReplayed();
    r.expectPoints({{at(23, 59, 59), 23.5}, {1 + at(0, 0, 1), -1.0}, {1 + at(0, 0, 3), 23.0}});
    EXPECT_EQ(r.chart.title(), Dated);
}

} // namespace
} // namespace pom
