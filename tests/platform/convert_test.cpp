#include <gtest/gtest.h>

#include <cmath>

#include "convert.h"
#include "errors.h"
#include "regional.h"

namespace pom {
namespace {

struct IntCase {
    const char* text;
    std::int32_t value;
};

TEST(StrToInt, AcceptsDecimalAndHexadecimalForms)
{
    const IntCase cases[] = {
        {"5", 5}, {" 5", 5}, {"   -12", -12}, {"+7", 7}, {"007", 7}, {"0", 0},
        {"$FF", 255}, {"$ff", 255}, {"0x10", 16}, {"0X10", 16}, {"x1F", 31}, {"X1f", 31},
        {"-$10", -16}, {"+0x10", 16}, {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN},
        {"$000000010", 16}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"-16777201", -16777201},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(StrToInt, RejectsEverythingElseWithTheTextInTheMessage)
{
    const char* cases[] = {
        "", " ", "-", "+", "5 ", "1.5", "2147483648", "-2147483649", "$", "0x", "x",
        "$100000000", "$FG", "12a", "\t5", "- 5", "--5", "0x-5", "99999999999999999999",
    };
    for (const char* text : cases) {
        try {
            strToInt(text);
            ADD_FAILURE() << '"' << text << "\" was accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
            EXPECT_EQ(error.kind(), "EConvertError");
        }
        EXPECT_FALSE(tryStrToInt(text).has_value()) << '"' << text << '"';
    }
}

struct ValIntCase {
    const char* text;
    std::int32_t value;
    std::int32_t errorPos;
};

TEST(ValInt, ReadsDigitsUpToTheFirstStrangerAndNeverFails)
{
    const ValIntCase cases[] = {
        {"30", 30, 0}, {"  -5", -5, 0}, {"+12", 12, 0}, {"", 0, 1}, {"abc", 0, 1},
        {"12abc", 12, 3}, {"1 5", 1, 2}, {"-", 0, 2}, {"  ", 0, 3}, {"1.5", 1, 2},
        {"$FF", 0, 1}, {"2147483647", INT32_MAX, 0}, {"-2147483648", INT32_MIN, 0},
        {"4294967297", 1, 0}, // wraps in 32 bits
    };
    for (const auto& c : cases) {
        std::int32_t pos = -7;
        EXPECT_EQ(valInt(c.text, pos), c.value) << '"' << c.text << '"';
        EXPECT_EQ(pos, c.errorPos) << '"' << c.text << '"';
    }
}

TEST(ValInt, LongRunsOfDigitsDoNotOverflowIntoUndefinedBehaviour)
{
    std::int32_t pos = 0;
    const std::string digits(200, '9');
    valInt(digits, pos);
    EXPECT_EQ(pos, 0);
}

struct ValDoubleCase {
    const char* text;
    double value;
    std::int32_t errorPos;
};

TEST(ValDouble, TakesTheLongestValidPrefix)
{
    const ValDoubleCase cases[] = {
        {"23.4", 23.4, 0}, {"23.4\r", 23.4, 5}, {"+0023.5", 23.5, 0}, {"-0012.3", -12.3, 0},
        {" 0023.5", 23.5, 0}, {"abc", 0.0, 1}, {"", 0.0, 1}, {"1e", 1.0, 2}, {"1e+", 1.0, 2},
        {".5", 0.5, 0}, {"5.", 5.0, 0}, {".", 0.0, 1}, {"-.", 0.0, 2}, {"1.5e2", 150.0, 0},
        {"2E-1x", 0.2, 5}, {"12,5", 12.0, 3}, {"--1", 0.0, 2}, {"0023.5", 23.5, 0},
    };
    for (const auto& c : cases) {
        std::int32_t pos = -7;
        EXPECT_DOUBLE_EQ(valDouble(c.text, pos), c.value) << '"' << c.text << '"';
        EXPECT_EQ(pos, c.errorPos) << '"' << c.text << '"';
    }
}

TEST(ValDouble, ValuesBeyondADoubleSaturate)
{
    std::int32_t pos = 0;
    EXPECT_EQ(valDouble("1e999", pos), HUGE_VAL);
    EXPECT_EQ(valDouble("-1e999", pos), -HUGE_VAL);
    EXPECT_EQ(valDouble("1e-999", pos), 0.0);
    EXPECT_EQ(valDouble("0.0000e99999999999999", pos), 0.0);
}

double seconds(int h, int m, int s)
{
    return ((h * 60 + m) * 60 + s) / 86400.0;
}

struct TimeCase {
    const char* text;
    double value;
};

TEST(StrToTime, AcceptsRegionalTimes)
{
    const RegionalFormats formats; // ':' separator, 24-hour clock
    const TimeCase cases[] = {
        {"12:00:00", seconds(12, 0, 0)}, {"23:59:58", seconds(23, 59, 58)},
        {"00:00:01", seconds(0, 0, 1)}, {"7:05", seconds(7, 5, 0)}, {" 7 : 05 : 09 ", seconds(7, 5, 9)},
        {"12:00 AM", 0.0}, {"12:30:00 pm", seconds(12, 30, 0)}, {"1:15:00 PM", seconds(13, 15, 0)},
        {"AM 11:59:59", seconds(11, 59, 59)}, {"PM 03:00:00", seconds(15, 0, 0)},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(strToTime(c.text, formats), c.value) << '"' << c.text << '"';
}

TEST(StrToTime, RejectsOtherTextsWithTheTextInTheMessage)
{
    const RegionalFormats formats;
    const char* cases[] = {
        "", "        ", "12", "12:", "12:00:", "24:00:00", "12:60:00", "12:00:60", "0:00 AM",
        "13:00 PM", "12:00:00x", "12.00.00", "12:00:00 AM PM", "AM 1:00 PM", "3:00:00\t12",
        "-1:00:00",
    };
    for (const char* text : cases) {
        try {
            strToTime(text, formats);
            ADD_FAILURE() << '"' << text << "\" was accepted";
        } catch (const ConvertError& error) {
            EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid time");
        }
    }
}

TEST(StrToTime, UsesTheRegionalSeparatorAndDesignators)
{
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H.%M.%S", "rano", "wiecz");
    EXPECT_DOUBLE_EQ(strToTime("10.20.30", formats), seconds(10, 20, 30));
    EXPECT_DOUBLE_EQ(strToTime("10.20 WIECZ", formats), seconds(22, 20, 0));
    EXPECT_DOUBLE_EQ(strToTime("12.00 rano", formats), 0.0);
    EXPECT_DOUBLE_EQ(strToTime("12.00 am", formats), 0.0);
    EXPECT_THROW(strToTime("10:20:30", formats), ConvertError);
}

TEST(IntToStr, WritesPlainDecimal)
{
    EXPECT_EQ(intToStr(0), "0");
    EXPECT_EQ(intToStr(57), "57");
    EXPECT_EQ(intToStr(-16777201), "-16777201");
    EXPECT_EQ(intToStr(INT32_MIN), "-2147483648");
}

} // namespace
} // namespace pom
