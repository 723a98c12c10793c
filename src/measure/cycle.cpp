#include "cycle.h"

#include "alarm.h"
#include "convert.h"
#include "cp1250.h"
#include "errors.h"
#include "interval.h"
#include "log_append.h"
#include "reply.h"
#include "time_window.h"

namespace pom {

namespace {

// No reply: beep, forget the buffer and query again at once.
void NoReply(CycleEnv& e)
{
    if (e.hooks.beep)
        e.hooks.beep();
    e.channel.RxBuffer.fill(0);
}

// Step 17: a field that does not convert keeps its last value.
void RecomputeInterval(CycleEnv& e)
{
    try {
        StoreIntervalPart(e.cycle, &CycleState::IntervalMinutesMs,
                          IntervalFieldMs(e.controls.text(Ctl::Edit1), MinutesFactor));
    } catch (const ConvertError&) {
    }
    try {
        StoreIntervalPart(e.cycle, &CycleState::IntervalSecondsMs,
                          IntervalFieldMs(e.controls.text(Ctl::Edit2), SecondsFactor));
    } catch (const ConvertError&) {
    }
}

// The chart and alarm steps must not end recording: a refused axis range or
// a field gone bad costs this sample its display step, never the log line.
template <typename F>
void Tolerate(F&& step)
{
    try {
        step();
    } catch (const Error&) {
    }
}

// After a log failure: report, hold like a pause, and on resume write the
// held line before anything else, for as long as it takes.
bool HoldUntilLogged(CycleEnv& e, LogAppend& line)
{
    while (line.failed()) {
        if (e.hooks.logFailed)
            e.hooks.logFailed(line.error());
        if (!e.gate.checkpoint())
            return false;
        line.retry();
    }
    return true;
}

} // namespace

bool MeasurementCycle(CycleEnv& e)
{
    ChannelState& ch = e.channel;
    copyText(ch.TxBuffer, QueryCommand);                                    // 1
    const bool sent = SendCommand(ch, e.port) == 0;                         // 2
    if (!e.gate.wait(e.replyWaitMs))                                        // 3
        return false;
    if (!sent || ReadAvailable(ch, e.port, ch.PortHandle, BufferSize) == 0) { // 4
        NoReply(e);                                                         // 5
        return true;
    }
    if (!e.gate.enterLogSection())
        return false;
    LogAppend line(e.log);
    line.open();                                                            // 6
    NormaliseReply(ch);                                                     // 7
    const std::string value = ValueText(ch.RxBuffer);                       // 8
    e.samples.Temperature = valDouble(value, e.samples.ConvertErrorPos);    // 9
    ++e.samples.SampleCount;                                                // 10
    Tolerate([&] { UpdateTimeWindow(e.chart, e.controls, e.clock, e.cycle.StartTime, e.memory); }); // 11
    line.write(LogLineText(e.samples.SampleCount, e.clock.now(), ch.RxBuffer, e.formats)); // 12
    e.controls.setText(Ctl::Edit3, cp1250ToUtf8(value));                    // 13
    Tolerate([&] { PlotSample(e.chart, e.controls, e.clock, e.samples.Temperature); }); // 14
    Tolerate([&] { EvaluateAlarm(e.controls, e.samples.Temperature, e.memory); });       // 15
    line.close();                                                           // 16
    e.gate.leaveLogSection();
    if (!HoldUntilLogged(e, line))
        return false;
    RecomputeInterval(e);                                                   // 17
    return e.gate.wait(LoadInterval(e.cycle, &CycleState::IntervalWait));   // 18
}

void MeasurementLoop(CycleEnv& e)
{
    while (e.cycle.RunFlag != 0) {
        if (!e.gate.checkpoint() || !MeasurementCycle(e))
            return;
    }
}

} // namespace pom
