#pragma once
// The user's regional short date and long time formats, from LC_TIME (the
// regional settings on Windows).
#include <string>

#include "datetime.h"

namespace pom {

struct RegionalFormats {
    // Short date: the order of the fields and their widths.
    std::string dateOrder = "dmy";  // a permutation of d, m, y
    char dateSeparator = '.';
    bool dayLeadingZero = true;
    bool monthLeadingZero = true;
    bool fourDigitYear = true;
    // Long time.
    char timeSeparator = ':';
    bool hourLeadingZero = true;
    bool twelveHour = false;
    bool designatorFirst = false; // AM/PM before the hours rather than after the seconds
    std::string amDesignator = "AM";
    std::string pmDesignator = "PM";
};

// Reads nl_langinfo(D_FMT/T_FMT/AM_STR/PM_STR) for the locale named by LC_ALL,
// LC_TIME or LANG, without changing the process's own locale. On Windows: the
// user's regional settings (GetLocaleInfoEx).
RegionalFormats regionalFormatsFromEnvironment();
// Builds the formats from Windows pictures, e.g. "dd.MM.yyyy" and "HH:mm:ss".
RegionalFormats regionalFormatsFromPictures(const std::string& shortDate,
                                            const std::string& longTime,
                                            const std::string& am = "AM",
                                            const std::string& pm = "PM");
// Builds the formats from strftime-style patterns, e.g. "%d.%m.%Y" and "%H:%M:%S".
RegionalFormats regionalFormatsFromPatterns(const std::string& dateFormat,
                                            const std::string& timeFormat,
                                            const std::string& am = "AM",
                                            const std::string& pm = "PM");

std::string formatDate(DateTime value, const RegionalFormats& formats);
std::string formatTime(DateTime value, const RegionalFormats& formats);

} // namespace pom
