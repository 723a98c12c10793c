#pragma once
#include <cstdint>

#include "datetime.h"

namespace pom {

// The cycle's fields of the recorder state.
struct CycleState {
    std::int32_t RunFlag = 0;  // -1 true, 0 false
    DateTime StartTime = 0.0;
    std::int32_t IntervalMinutesMs = 0;
    std::int32_t IntervalSecondsMs = 0;
    std::int32_t IntervalWait = 0;
};

} // namespace pom
