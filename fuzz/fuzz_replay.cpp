// A log file from arbitrary bytes, replayed onto the chart store as "Otwórz"
// does, in a 24-hour and a 12-hour regional time format. A time text that
// is not valid is the program's own report (pom::Error); anything else is a
// fault. The store is then asked for what the chart view would draw.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "chart_model.h"
#include "errors.h"
#include "fakes.h"
#include "fuzz_support.h"
#include "replay.h"

namespace {

using pom::fuzz::Require;

const pom::RegionalFormats Formats24 = pom::regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
const pom::RegionalFormats Formats12 =
    pom::regionalFormatsFromPatterns("%m/%d/%Y", "%I:%M:%S %p", "AM", "PM");

std::size_t lineCount(std::string_view bytes)
{
    return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
}

void checkPoints(pom::ChartModel& chart, std::size_t lines)
{
    const auto& points = chart.points();
    Require(points.size() <= lines, "at most one point a line");
    // Every line counts at most one midnight.
    const auto days = static_cast<double>(lines);
    for (const auto& p : points)
        Require(p.x >= 0 && p.x < days + 1, "X is a time of day plus the midnights passed");
    Require(std::is_sorted(points.begin(), points.end(),
                           [](const pom::ChartPoint& a, const pom::ChartPoint& b) { return a.x < b.x; }),
            "the store keeps its points in X order");
    // What the view asks of the store on a refresh.
    const auto [xMin, xMax] = chart.bottomRange();
    const auto shown = chart.decimated(xMin, xMax, 640);
    Require(shown.size() <= points.size(), "the screen copy is never larger than the store");
    (void)chart.yRange(xMin, xMax);
}

void replay(const std::string& path, std::string_view bytes, const pom::RegionalFormats& formats)
{
    pom::LogState log;
    pom::SampleState samples;
    samples.SampleCount = 7;
    pom::test::FakeControls controls;
    pom::test::FakeDialogs dialogs;
    pom::ChartModel chart;
    dialogs.nextOpen = path;
    try {
        pom::Otwrz1Click(log, samples, controls, chart, dialogs, formats);
    } catch (const pom::Error&) {
    }
    Require(log.LogFileName == path, "the replayed file becomes the current log");
    Require(!log.LogFile.isOpen(), "the file is closed after the replay");
    Require(samples.SampleCount == 0, "SampleCount is 0 after the replay");
    Require(!controls.enabled(pom::Ctl::OpenComm), "OpenComm is disabled once the file opened");
    checkPoints(chart, lineCount(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pom::fuzz::EnterPrivateDirectory();
    const std::string path = pom::fuzz::PrivatePath("zapis.txt").string();
    const auto bytes = pom::fuzz::AsText(data, size);
    pom::fuzz::WriteBytes(path, bytes);
    replay(path, bytes, Formats24);
    replay(path, bytes, Formats12);
    return 0;
}
