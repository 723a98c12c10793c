#include "datetime.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <thread>

#include "errors.h"

namespace pom {

namespace {

constexpr std::int64_t MsInDay = 86400000;

// Days since 1970-01-01 in the proleptic Gregorian calendar (H. Hinnant's algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(std::int64_t z, DateTimeParts& parts)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    parts.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    parts.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    parts.year = static_cast<int>(yoe + era * 400 + (parts.month <= 2));
}

// constexpr, so that DateTimes built during static initialisation elsewhere are right.
constexpr std::int64_t EpochOffset = daysFromCivil(1899, 12, 30);

bool isLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

bool isValid(const DateTimeParts& p)
{
    return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1
        && p.day <= daysInMonth(p.year, p.month) && p.hour >= 0 && p.hour < 24 && p.minute >= 0
        && p.minute < 60 && p.second >= 0 && p.second < 60 && p.millisecond >= 0
        && p.millisecond < 1000;
}

} // namespace

DateTime encodeDateTime(const DateTimeParts& parts)
{
    if (!isValid(parts))
        throw ConvertError("Invalid argument to date encode");
    const auto days = static_cast<double>(daysFromCivil(parts.year, parts.month, parts.day) - EpochOffset);
    const double ms = ((parts.hour * 60.0 + parts.minute) * 60.0 + parts.second) * 1000.0 + parts.millisecond;
    // Before the epoch the day is counted back and the time of day still forward:
    // -1.25 is 1899-12-29 06:00.
    return days >= 0 ? days + ms / MsPerDay : days - ms / MsPerDay;
}

double timeOfDay(DateTime value)
{
    return std::fabs(value - std::trunc(value));
}

DateTimeParts decodeDateTime(DateTime value)
{
    // 0001-01-01 to 9999-12-31, the range encodeDateTime produces.
    if (!(value > -693594.0 && value < 2958466.0))
        throw ConvertError("Invalid argument to date decode");
    auto days = static_cast<std::int64_t>(std::trunc(value));
    // Rounding to the millisecond keeps 12:00:00 from reading as 11:59:59.999.
    auto ms = std::llround(timeOfDay(value) * MsPerDay);
    if (ms >= MsInDay) {
        ms -= MsInDay;
        ++days;
    }
    DateTimeParts parts;
    civilFromDays(days + EpochOffset, parts);
    parts.hour = static_cast<int>(ms / 3600000);
    parts.minute = static_cast<int>(ms / 60000 % 60);
    parts.second = static_cast<int>(ms / 1000 % 60);
    parts.millisecond = static_cast<int>(ms % 1000);
    return parts;
}

DateTime SystemClock::now()
{
    const auto stamp = std::chrono::system_clock::now();
    const auto sinceEpoch = std::chrono::duration_cast<std::chrono::milliseconds>(stamp.time_since_epoch());
    auto seconds = static_cast<std::time_t>(sinceEpoch.count() / 1000);
    auto ms = static_cast<int>(sinceEpoch.count() % 1000);
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    DateTimeParts parts;
    parts.year = local.tm_year + 1900;
    parts.month = local.tm_mon + 1;
    parts.day = local.tm_mday;
    parts.hour = local.tm_hour;
    parts.minute = local.tm_min;
    parts.second = local.tm_sec > 59 ? 59 : local.tm_sec; // a leap second reads as :59
    parts.millisecond = ms;
    return encodeDateTime(parts);
}

std::int64_t SystemClock::steadyMs()
{
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
}

void SystemClock::sleepMs(int ms)
{
    if (ms > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace pom
