// The regional formats on Windows agree with the system's own formatting of
// the user's short date and long time.
#include <gtest/gtest.h>

#include <string>

#include "datetime.h"
#include "regional.h"
#include "win32_api.h"

namespace pom {
namespace {

SYSTEMTIME toSystemTime(const DateTimeParts& p)
{
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(p.year);
    t.wMonth = static_cast<WORD>(p.month);
    t.wDay = static_cast<WORD>(p.day);
    t.wHour = static_cast<WORD>(p.hour);
    t.wMinute = static_cast<WORD>(p.minute);
    t.wSecond = static_cast<WORD>(p.second);
    return t;
}

std::string narrow(const wchar_t* text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::string systemDateText(const SYSTEMTIME& t)
{
    wchar_t text[128] = {};
    EXPECT_GT(GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &t, nullptr, text, 128, nullptr), 0);
    return narrow(text);
}

std::string systemTimeText(const SYSTEMTIME& t)
{
    wchar_t text[128] = {};
    EXPECT_GT(GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &t, nullptr, text, 128), 0);
    return narrow(text);
}

TEST(RegionalWin32, TheUsersFormatsMatchTheSystemsFormatting)
{
    const RegionalFormats formats = regionalFormatsFromEnvironment();
    // Single and double digits in every field, morning and afternoon, noon and midnight.
    const DateTimeParts moments[] = {
        {2024, 3, 5, 7, 8, 9}, {2024, 12, 31, 23, 59, 59}, {1999, 10, 1, 12, 0, 0},
        {2031, 1, 22, 0, 30, 5}, {2024, 11, 9, 19, 8, 9},
    };
    for (const auto& p : moments) {
        const DateTime value = encodeDateTime(p);
        const SYSTEMTIME t = toSystemTime(p);
        EXPECT_EQ(formatDate(value, formats), systemDateText(t));
        EXPECT_EQ(formatTime(value, formats), systemTimeText(t));
    }
}

} // namespace
} // namespace pom
