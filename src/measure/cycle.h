#pragma once
// The measurement cycle: the worker's loop of query, reply wait, read,
// log, display, plot, alarm and interval wait.
#include <functional>
#include <string>

#include "channel.h"
#include "chart.h"
#include "controls.h"
#include "cycle_state.h"
#include "datetime.h"
#include "field_memory.h"
#include "log_file.h"
#include "regional.h"
#include "run_gate.h"
#include "samples.h"
#include "serial_port.h"

namespace pom {

constexpr int ReplyWaitMs = 1950;

struct CycleHooks {
    // The no-reply signal.
    std::function<void()> beep;
    // The log could not be opened, written or closed. The worker holds at its
    // next checkpoint (the caller pauses the gate) and writes the line on resume.
    std::function<void(const std::string& message)> logFailed;
};

struct CycleEnv {
    ChannelState& channel;
    SerialPort& port;
    LogState& log;
    SampleState& samples;
    CycleState& cycle;
    Controls& controls;  // crossing to the UI thread in the program
    Chart& chart;        // likewise
    Clock& clock;
    const RegionalFormats& formats;
    RunGate& gate;
    CycleHooks hooks;
    int replyWaitMs = ReplyWaitMs;
    FieldMemory memory{};
};

// Runs cycles while RunFlag is set and the gate lets it.
void MeasurementLoop(CycleEnv& env);

// One cycle, steps 1 to 18; false when the gate says the worker must end.
bool MeasurementCycle(CycleEnv& env);

} // namespace pom
