#include "interval.h"

#include <atomic>

#include "convert.h"
#include "cycle_state.h"

namespace pom {

namespace {
// 32-bit signed arithmetic that wraps like the original rather than overflowing.
std::int32_t wrap32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}
}

std::int32_t IntervalFieldMs(const std::string& text, std::int32_t factor)
{
    if (text.empty() || text == "0")
        return 0;
    return wrap32(std::int64_t{strToInt(text)} * factor);
}

std::int32_t IntervalWaitFor(std::int32_t minutesMs, std::int32_t secondsMs)
{
    const std::int32_t sum = wrap32(std::int64_t{minutesMs} + secondsMs);
    return sum > IntervalAllowance ? sum - IntervalAllowance : 0;
}

std::int32_t LoadInterval(CycleState& cycle, std::int32_t CycleState::*field)
{
    return std::atomic_ref<std::int32_t>(cycle.*field).load();
}

void StoreIntervalPart(CycleState& cycle, std::int32_t CycleState::*part, std::int32_t ms)
{
    std::atomic_ref<std::int32_t>(cycle.*part).store(ms);
    const std::int32_t wait = IntervalWaitFor(LoadInterval(cycle, &CycleState::IntervalMinutesMs),
                                              LoadInterval(cycle, &CycleState::IntervalSecondsMs));
    std::atomic_ref<std::int32_t>(cycle.IntervalWait).store(wait);
}

} // namespace pom
