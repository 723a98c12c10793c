#pragma once
#include <cstdint>

namespace pom {

// The sample fields of the recorder state: written by the cycle and by replay.
struct SampleState {
    std::int32_t SampleCount = 0;
    double Temperature = 0.0;
    std::int32_t ConvertErrorPos = 0;
};

} // namespace pom
