// Windows regional pictures, as GetLocaleInfoEx gives them, read into formats.
#include <gtest/gtest.h>

#include "datetime.h"
#include "regional.h"

namespace pom {
namespace {

DateTime at(int y, int mo, int d, int h, int mi, int s)
{
    return encodeDateTime(DateTimeParts{y, mo, d, h, mi, s, 0});
}

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

} // namespace
} // namespace pom
