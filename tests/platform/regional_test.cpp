#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

#include "datetime.h"
#include "regional.h"

namespace pom {
namespace {

DateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return encodeDateTime(DateTimeParts{y, mo, d, h, mi, s, 0});
}

struct PatternCase {
    const char* dateFormat;
    const char* timeFormat;
    const char* date;      // 2024-03-05 ...
    const char* morning;   // ... 07:08:09
    const char* afternoon; // ... 19:08:09
};

TEST(RegionalFormats, FormatDateAndTimeFollowThePatterns)
{
    const PatternCase cases[] = {
        {"%d.%m.%Y", "%H:%M:%S", "05.03.2024", "07:08:09", "19:08:09"},
        {"%d.%m.%Y", "%T", "05.03.2024", "07:08:09", "19:08:09"},
        {"%m/%d/%y", "%I:%M:%S %p", "03/05/24", "07:08:09 AM", "07:08:09 PM"},
        {"%D", "%r", "03/05/24", "07:08:09 AM", "07:08:09 PM"},
        {"%F", "%R", "2024-03-05", "07:08:09", "19:08:09"},
        {"%Y-%m-%d", "%l:%M:%S %p", "2024-03-05", "7:08:09 AM", "7:08:09 PM"},
        {"%e/%-m/%Y", "%k:%M:%S", "5/3/2024", "7:08:09", "19:08:09"},
        {"%Y.%m.%d.", "%p %I:%M:%S", "2024.03.05", "AM 07:08:09", "PM 07:08:09"},
        {"%d-%m-%Y", "%H.%M.%S", "05-03-2024", "07.08.09", "19.08.09"},
    };
    for (const auto& c : cases) {
        const RegionalFormats formats = regionalFormatsFromPatterns(c.dateFormat, c.timeFormat);
        SCOPED_TRACE(std::string(c.dateFormat) + " " + c.timeFormat);
        EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), c.date);
        EXPECT_EQ(formatTime(at(2024, 3, 5, 7, 8, 9), formats), c.morning);
        EXPECT_EQ(formatTime(at(2024, 3, 5, 19, 8, 9), formats), c.afternoon);
    }
}

TEST(RegionalFormats, TwelveHourClockAroundMidnightAndNoon)
{
    const RegionalFormats formats = regionalFormatsFromPatterns("%m/%d/%Y", "%I:%M:%S %p", "am", "pm");
    EXPECT_EQ(formatTime(at(2024, 1, 1, 0, 0, 0), formats), "12:00:00 am");
    EXPECT_EQ(formatTime(at(2024, 1, 1, 12, 0, 0), formats), "12:00:00 pm");
    EXPECT_EQ(formatTime(at(2024, 1, 1, 23, 59, 59), formats), "11:59:59 pm");
}

TEST(RegionalFormats, PolishLikeTextsHaveTheWidthsReplayReads)
{
    const RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%T", "", "");
    for (const DateTime value : {at(2024, 1, 1, 0, 0, 0), at(2024, 12, 31, 23, 59, 59), at(1999, 9, 9, 9, 9, 9)}) {
        EXPECT_EQ(formatDate(value, formats).size(), 10u);
        EXPECT_EQ(formatTime(value, formats).size(), 8u);
    }
    // A locale without designators keeps usable ones for parsing.
    EXPECT_EQ(formats.amDesignator, "AM");
    EXPECT_EQ(formats.pmDesignator, "PM");
}

TEST(RegionalFormats, NoonIsNotReadAsTheSecondBefore)
{
    const RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    EXPECT_EQ(formatTime(std::nextafter(45306.5, 0.0), formats), "12:00:00");
    EXPECT_EQ(formatTime(45306.0 + 13.0 / 24.0 + 1.0 / 86400.0, formats), "13:00:01");
}

// Windows regional pictures, as GetLocaleInfoEx gives them.
struct PictureCase {
    const char* shortDate;
    const char* longTime;
    const char* am;
    const char* pm;
    const char* date;      // 2024-03-05 ...
    const char* morning;   // ... 07:08:09
    const char* afternoon; // ... 19:08:09
};

TEST(RegionalPictures, FormatDateAndTimeFollowThePictures)
{
    const PictureCase cases[] = {
        {"dd.MM.yyyy", "HH:mm:ss", "", "", "05.03.2024", "07:08:09", "19:08:09"},   // pl-PL
        {"d.MM.yyyy", "H:mm:ss", "", "", "5.03.2024", "7:08:09", "19:08:09"},       // Wine's pl-PL
        {"M/d/yyyy", "h:mm:ss tt", "AM", "PM", "3/5/2024", "7:08:09 AM", "7:08:09 PM"}, // en-US
        {"yyyy-MM-dd", "HH:mm:ss", "", "", "2024-03-05", "07:08:09", "19:08:09"},   // sv-SE
        {"dd/MM/yy", "hh:mm:ss tt", "a.m.", "p.m.", "05/03/24", "07:08:09 a.m.", "07:08:09 p.m."},
        {"d.M.yyyy", "H.mm.ss", "", "", "5.3.2024", "7.08.09", "19.08.09"},         // fi-FI
        {"yyyy/M/d", "tt h:mm:ss", "\xEC\x98\xA4\xEC\xA0\x84", "\xEC\x98\xA4\xED\x9B\x84", "2024/3/5",
         "\xEC\x98\xA4\xEC\xA0\x84 7:08:09", "\xEC\x98\xA4\xED\x9B\x84 7:08:09"},   // ko-KR
        {"dd'.'MM'.'yyyy", "HH':'mm':'ss", "", "", "05.03.2024", "07:08:09", "19:08:09"}, // quoted separators
        {"gg dd-MM-yyyy", "HH:mm:ss", "", "", "05-03-2024", "07:08:09", "19:08:09"}, // the era is left out
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.shortDate) + " / " + c.longTime);
        const RegionalFormats formats = regionalFormatsFromPictures(c.shortDate, c.longTime, c.am, c.pm);
        EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), c.date);
        EXPECT_EQ(formatTime(at(2024, 3, 5, 7, 8, 9), formats), c.morning);
        EXPECT_EQ(formatTime(at(2024, 3, 5, 19, 8, 9), formats), c.afternoon);
    }
}

TEST(RegionalPictures, MalformedPicturesKeepUsableFormats)
{
    // An unclosed quote, a lone quote pair and stray percent signs must not
    // derail the fields around them.
    for (const char* date : {"dd.MM.yyyy'", "dd.MM.yyyy''", "dd.MM.yyyy %", "''dd.MM.yyyy"}) {
        const RegionalFormats formats = regionalFormatsFromPictures(date, "HH:mm:ss%");
        EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), "05.03.2024") << date;
        EXPECT_EQ(formatTime(at(2024, 3, 5, 7, 8, 9), formats), "07:08:09") << date;
    }
    const RegionalFormats empty = regionalFormatsFromPictures("", "");
    EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), empty).size(), 10u);
    EXPECT_EQ(formatTime(at(2024, 3, 5, 7, 8, 9), empty).size(), 8u);
}

#ifndef _WIN32 // C library locales; Windows reads its regional settings (tests/win)
// Sets LC_ALL, LC_TIME and LANG for one test and puts them back afterwards.
class LocaleEnvironment : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (auto& [name, value, wasSet] : m_saved) {
            const char* current = std::getenv(name);
            wasSet = current != nullptr;
            value = wasSet ? current : "";
            unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (auto& [name, value, wasSet] : m_saved) {
            if (wasSet)
                setenv(name, value.c_str(), 1);
            else
                unsetenv(name);
        }
    }

    struct Saved {
        const char* name;
        std::string value;
        bool wasSet;
    };
    Saved m_saved[3] = {{"LC_ALL", "", false}, {"LC_TIME", "", false}, {"LANG", "", false}};
};

bool localeInstalled(const char* name)
{
    const locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return false;
    freelocale(locale);
    return true;
}

TEST_F(LocaleEnvironment, PolishLocaleGivesDayMonthYearAnd24Hours)
{
    if (!localeInstalled("pl_PL.UTF-8"))
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    setenv("LC_TIME", "pl_PL.UTF-8", 1);
    setenv("LANG", "C", 1);
    const RegionalFormats formats = regionalFormatsFromEnvironment();
    EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), "05.03.2024");
    EXPECT_EQ(formatTime(at(2024, 3, 5, 7, 8, 9), formats), "07:08:09");
    EXPECT_FALSE(formats.twelveHour);
}

TEST_F(LocaleEnvironment, LcAllOverridesTheOthersAndDoesNotTouchTheProcessLocale)
{
    if (!localeInstalled("pl_PL.UTF-8"))
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    const std::string before = setlocale(LC_TIME, nullptr);
    setenv("LC_ALL", "C", 1);
    setenv("LC_TIME", "pl_PL.UTF-8", 1);
    const RegionalFormats formats = regionalFormatsFromEnvironment();
    EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), "03/05/24");
    EXPECT_EQ(setlocale(LC_TIME, nullptr), before);
}

TEST_F(LocaleEnvironment, UnknownOrMissingLocaleFallsBackToC)
{
    for (const char* name : {"xx_NOWHERE.UTF-8", ""}) {
        setenv("LANG", name, 1);
        const RegionalFormats formats = regionalFormatsFromEnvironment();
        EXPECT_EQ(formatDate(at(2024, 3, 5, 7, 8, 9), formats), "03/05/24") << name;
        EXPECT_EQ(formatTime(at(2024, 3, 5, 19, 8, 9), formats), "19:08:09") << name;
    }
}
#endif

} // namespace
} // namespace pom
