#pragma once
// The one program-wide state record. Each library owns the slice it works
// on; the record is their union, so every field is reached by its own name.
#include <cstdint>

#include "channel.h"
#include "cycle_state.h"
#include "log_file.h"
#include "samples.h"
#include "settings_state.h"

namespace pom {

struct RecorderState : ChannelState, LogState, SettingsState, SampleState, CycleState {
    std::uintptr_t WorkerThread = 0;    // nonzero once the worker was started
    std::uint32_t WorkerThreadId = 0;   // written, never consulted
};

} // namespace pom
