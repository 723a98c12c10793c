#pragma once
// Finding the thermometer: try ports 1..255, 0, 1..255 and keep the first
// whose reply has the shape of a reading.
#include <functional>

#include "channel.h"
#include "controls.h"
#include "datetime.h"
#include "dialogs.h"
#include "log_file.h"
#include "regional.h"

namespace pom {

constexpr int DiscoveryAttempts = 511;
constexpr int PreSendWaitMs = 85;
constexpr int DiscoveryReplyWaitMs = 1000;

struct DiscoveryEnv {
    ChannelState& channel;
    SerialPort& port;
    Clock& clock;
    Dialogs& dialogs;
    Controls& controls;
    LogState& log;
    const RegionalFormats& formats;
    std::function<void()> freezeTimeAxis;
    std::function<void(int portNumber)> onAttempt = {};  // optional progress
};

// Runs the scan, tells the operator the outcome and, on success, sets the
// caption "&Mierz" and writes the log header into the default log.
void DiscoverDevice(DiscoveryEnv& env);

} // namespace pom
