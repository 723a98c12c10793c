#pragma once
// The interval rule shared by the interval fields' handlers and the cycle.
#include <cstdint>
#include <string>

namespace pom {

struct CycleState;

constexpr std::int32_t MinutesFactor = 60000;
constexpr std::int32_t SecondsFactor = 1000;
constexpr std::int32_t IntervalAllowance = 2000;

// Empty or exactly "0" gives 0 without a conversion; otherwise the strict
// integer times factor in 32-bit signed arithmetic. Raises ConvertError.
std::int32_t IntervalFieldMs(const std::string& text, std::int32_t factor);
// sum - 2000 when the sum is above 2000, else 0.
std::int32_t IntervalWaitFor(std::int32_t minutesMs, std::int32_t secondsMs);

// Stores IntervalMinutesMs or IntervalSecondsMs and recomputes IntervalWait.
// The interval fields' handlers on the UI thread and the cycle on the worker
// both keep these three current, so every read and write of them is atomic.
void StoreIntervalPart(CycleState& cycle, std::int32_t CycleState::*part, std::int32_t ms);
std::int32_t LoadInterval(CycleState& cycle, std::int32_t CycleState::*field);

} // namespace pom
