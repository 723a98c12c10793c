#include "replay.h"

#include <utility>
#include <algorithm>
#include <filesystem>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "convert.h"
#include "cp1250.h"
#include "errors.h"

namespace pom {

namespace {

constexpr std::size_t LineLimit = 105;
constexpr std::size_t DateFrom = 30;   // the header's date: characters 30 to 39
constexpr std::size_t DateLength = 10;
constexpr std::size_t LastCountTab = 6; // the count's TAB is one of characters 2 to 6
constexpr std::size_t TimeLength = 8;
constexpr std::size_t SignOffset = 10;  // the sign is the 10th character after the TAB
constexpr std::size_t NumberLength = 6;
// A line that adds a point holds at least a character, the TAB and 10 more.
constexpr std::uintmax_t ShortestPointLine = 12;
// Room for 16 million points (256 MiB) at most; past that they grow as they come.
constexpr std::uintmax_t MostPointsReserved = std::uintmax_t{1} << 24;

// Characters from..from+length-1 (1-based) of a line, fewer where it ends.
std::string_view chars(std::string_view line, std::size_t from, std::size_t length)
{
    return from > line.size() ? std::string_view() : line.substr(from - 1, length);
}

std::size_t countTab(std::string_view line)
{
    for (std::size_t p = 2; p <= LastCountTab && p <= line.size(); ++p)
        if (line[p - 1] == '\t')
            return p;
    return LastCountTab + 1;
}

struct Replay {
    std::vector<ChartPoint> points;
    std::string dateText;  // UTF-8
    bool titled = false;   // a line got through the time steps
    double previousX = 0;
    std::int32_t dayCount = 0;
};

// Room for every point the file can hold, so that a month's log is not copied
// over and over while it is read. Room never used costs no memory pages. Only
// a hint: without it the points still find room as they come.
void reservePoints(Replay& r, const std::string& name)
{
    try {
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(name), ec);
        if (!ec)
            r.points.reserve(static_cast<std::size_t>(std::min(size / ShortestPointLine, MostPointsReserved)));
    } catch (const std::bad_alloc&) {
    }
}

void readLine(Replay& r, std::string_view line, SampleState& samples,
              const RegionalFormats& formats)
{
    const std::size_t p = countTab(line);
    const std::string timeText = cp1250ToUtf8(chars(line, p + 1, TimeLength));
    const double t = strToTime(timeText, formats);
    // Strictly earlier than the line before: the clock went past midnight (or
    // was set back). Not tested before the first line.
    if (r.previousX > 0 && t + r.dayCount < r.previousX)
        ++r.dayCount;
    r.previousX = t + r.dayCount;
    r.titled = true;
    samples.Temperature = valDouble(std::string(chars(line, p + SignOffset + 1, NumberLength)),
                                    samples.ConvertErrorPos);
    const std::string_view sign = chars(line, p + SignOffset, 1);
    if (sign != "+")
        samples.Temperature = -samples.Temperature;
    if (!sign.empty())
        r.points.push_back({r.previousX, samples.Temperature});
}

void readFile(Replay& r, LogState& log, SampleState& samples, Controls& controls,
              Chart& chart, const RegionalFormats& formats)
{
    std::string line;
    log.LogFile.readLn(line, LineLimit);
    r.dateText = cp1250ToUtf8(chars(line, DateFrom, DateLength));
    log.LogFile.readLn(line, 0);
    controls.setText(Ctl::Form, WindowCaption(log.LogFileName));
    controls.setEnabled(Ctl::OpenComm, false);
    if (!log.LogFile.eof())
        chart.setBottomAutomatic(true);
    while (!log.LogFile.eof()) {
        log.LogFile.readLn(line, LineLimit);
        readLine(r, line, samples, formats);
    }
}

// The end state of the per-line steps, in one go: one repaint for the whole file.
void finish(Replay& r, SampleState& samples, Controls& controls, Chart& chart)
{
    chart.addPoints(std::move(r.points));
    if (r.titled)
        chart.setTitle(ReplayTitlePrefix + r.dateText + "  " + controls.text(Ctl::Edit6));
    samples.SampleCount = 0;
}

} // namespace

void Otwrz1Click(LogState& log, SampleState& samples, Controls& controls, Chart& chart,
                 Dialogs& dialogs, const RegionalFormats& formats)
{
    const auto chosen = dialogs.openFileName();
    if (!chosen)
        return;
    chart.clearPoints();
    // The chosen file becomes the current log only once it has opened: a name
    // that cannot be opened must not become the file that measuring appends to.
    log.LogFile.assign(*chosen);
    try {
        log.LogFile.reset();
    } catch (...) {
        log.LogFile.assign(log.LogFileName);
        throw;
    }
    log.LogFileName = *chosen;
    Replay r;
    reservePoints(r, log.LogFileName);
    try {
        readFile(r, log, samples, controls, chart, formats);
    } catch (...) {
        finish(r, samples, controls, chart);
        try {
            log.LogFile.close();
        } catch (const Error&) {
            // The error that ended the replay is the one to report.
        }
        throw;
    }
    finish(r, samples, controls, chart);
    log.LogFile.close();
}

} // namespace pom
