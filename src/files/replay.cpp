#include "replay.h"

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

// Characters from..from+length-1 (1-based) of a line, fewer where it ends.
std::string chars(const std::string& line, std::size_t from, std::size_t length)
{
    return from > line.size() ? std::string() : line.substr(from - 1, length);
}

std::size_t countTab(const std::string& line)
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

void readLine(Replay& r, const std::string& line, SampleState& samples,
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
    samples.Temperature = valDouble(chars(line, p + SignOffset + 1, NumberLength),
                                    samples.ConvertErrorPos);
    const std::string sign = chars(line, p + SignOffset, 1);
    if (sign != "+")
        samples.Temperature = -samples.Temperature;
    if (!sign.empty())
        r.points.push_back({r.previousX, samples.Temperature});
}

void readFile(Replay& r, LogState& log, SampleState& samples, Controls& controls,
              Chart& chart, const RegionalFormats& formats)
{
    r.dateText = cp1250ToUtf8(chars(log.LogFile.readLn(LineLimit), DateFrom, DateLength));
    log.LogFile.readLn(0);
    controls.setText(Ctl::Form, WindowCaption(log.LogFileName));
    controls.setEnabled(Ctl::OpenComm, false);
    if (!log.LogFile.eof())
        chart.setBottomAutomatic(true);
    while (!log.LogFile.eof())
        readLine(r, log.LogFile.readLn(LineLimit), samples, formats);
}

// The end state of the per-line steps, in one go: one repaint for the whole file.
void finish(const Replay& r, SampleState& samples, Controls& controls, Chart& chart)
{
    chart.addPoints(r.points);
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
