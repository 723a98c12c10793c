#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "datetime.h"
#include "errors.h"

namespace pom {
namespace {

DateTimeParts at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return DateTimeParts{y, mo, d, h, mi, s, ms};
}

void expectSame(const DateTimeParts& a, const DateTimeParts& b)
{
    EXPECT_EQ(a.year, b.year);
    EXPECT_EQ(a.month, b.month);
    EXPECT_EQ(a.day, b.day);
    EXPECT_EQ(a.hour, b.hour);
    EXPECT_EQ(a.minute, b.minute);
    EXPECT_EQ(a.second, b.second);
    EXPECT_EQ(a.millisecond, b.millisecond);
}

struct DateCase {
    DateTimeParts parts;
    double value;
};

TEST(DateTime, EncodesDaysSinceTheEpochWithTheTimeAsFraction)
{
    const DateCase cases[] = {
        {at(1899, 12, 30), 0.0},
        {at(1900, 1, 1), 2.0},
        {at(1900, 3, 1), 61.0}, // 1900 is no leap year
        {at(2000, 2, 29), 36585.0},
        {at(2024, 1, 15, 12), 45306.5},
        {at(2024, 1, 15, 6), 45306.25},
        {at(1899, 12, 29, 6), -1.25}, // before the epoch the time still counts forward
        {at(1899, 12, 30, 18), 0.75},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(encodeDateTime(c.parts), c.value) << c.value;
        expectSame(decodeDateTime(c.value), c.parts);
    }
}

TEST(DateTime, RoundTripsToTheMillisecond)
{
    const DateTimeParts cases[] = {
        at(2024, 1, 15, 12, 0, 0), at(2023, 12, 31, 23, 59, 59, 999), at(2016, 2, 29, 0, 0, 0, 1),
        at(1999, 7, 4, 13, 14, 15, 161), at(9999, 12, 31, 23, 59, 59, 999), at(1, 1, 1, 0, 0, 0),
        at(1850, 6, 1, 8, 30, 0), at(2038, 1, 19, 3, 14, 8),
    };
    for (const auto& parts : cases)
        expectSame(decodeDateTime(encodeDateTime(parts)), parts);
}

TEST(DateTime, NoonComputedFromSecondsDecodesAsNoon)
{
    // Arithmetic on times often lands a hair below the exact value.
    const auto parts = decodeDateTime(std::nextafter(45306.5, 0.0));
    EXPECT_EQ(parts.hour, 12);
    EXPECT_EQ(parts.minute, 0);
    EXPECT_EQ(parts.second, 0);
    EXPECT_EQ(parts.millisecond, 0);
}

TEST(DateTime, AFractionRoundingToMidnightMovesToTheNextDay)
{
    expectSame(decodeDateTime(45306.0 + 0.9999999999), at(2024, 1, 16));
    expectSame(decodeDateTime(-1.9999999999), at(1899, 12, 30));
}

TEST(DateTime, TimeOfDay)
{
    EXPECT_DOUBLE_EQ(timeOfDay(45306.25), 0.25);
    EXPECT_DOUBLE_EQ(timeOfDay(-1.25), 0.25);
    EXPECT_DOUBLE_EQ(timeOfDay(3.0), 0.0);
}

TEST(DateTime, RejectsInvalidPartsAndValues)
{
    const DateTimeParts bad[] = {
        at(2023, 2, 29), at(2024, 13, 1), at(2024, 0, 1), at(2024, 4, 31), at(2024, 1, 1, 24),
        at(2024, 1, 1, 0, 60), at(2024, 1, 1, 0, 0, 60), at(2024, 1, 1, 0, 0, 0, 1000), at(0, 1, 1),
    };
    for (const auto& parts : bad)
        EXPECT_THROW(encodeDateTime(parts), ConvertError);
    EXPECT_THROW(decodeDateTime(NAN), ConvertError);
    EXPECT_THROW(decodeDateTime(INFINITY), ConvertError);
    EXPECT_THROW(decodeDateTime(1e300), ConvertError);
}

TEST(SystemClock, NowIsTheLocalWallClockAndSteadyTimeAdvances)
{
    SystemClock clock;
    const auto before = clock.steadyMs();
    const DateTime first = clock.now();
    clock.sleepMs(20);
    const DateTime second = clock.now();
    EXPECT_GE(clock.steadyMs() - before, 20);
    EXPECT_GT(second, first);
    EXPECT_LT((second - first) * MsPerDay, 5000.0);
    // A date between 2020 and 2200.
    EXPECT_GT(first, encodeDateTime(at(2020, 1, 1)));
    EXPECT_LT(first, encodeDateTime(at(2200, 1, 1)));
    clock.sleepMs(-5); // returns at once
}

TEST(SystemClock, NowFollowsTheLocalTimeZone)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    // POSIX form, needing no zone database: local time is UTC + 5:30.
    setenv("TZ", "XYZ-05:30", 1);
    tzset();
    SystemClock clock;
    const DateTime local = clock.now();
    const double utc = 25569.0 + static_cast<double>(std::time(nullptr)) / 86400.0;
    if (saved)
        setenv("TZ", previous.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    EXPECT_NEAR((local - utc) * 24.0, 5.5, 0.01);
}

} // namespace
} // namespace pom
