#pragma once
// DateTime: days since 1899-12-30 00:00 local time, the fraction being the time of day.
#include <cstdint>

namespace pom {

using DateTime = double;

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

DateTime encodeDateTime(const DateTimeParts& parts);
DateTimeParts decodeDateTime(DateTime value);
// The time of day of a DateTime as a fraction of a day (negative dates included).
double timeOfDay(DateTime value);

constexpr double MsPerDay = 86400000.0;

// The clock and sleep as the logic sees them, so tests can run days in milliseconds.
class Clock {
public:
    virtual ~Clock() = default;
    // The local date and time of day, read together.
    virtual DateTime now() = 0;
    // A monotonic count of milliseconds, for waits.
    virtual std::int64_t steadyMs() = 0;
    // Blocks the calling thread.
    virtual void sleepMs(int ms) = 0;
};

class SystemClock final : public Clock {
public:
    DateTime now() override;
    std::int64_t steadyMs() override;
    void sleepMs(int ms) override;
};

} // namespace pom
