// The regional formats on POSIX systems: the C library's LC_TIME data for the
// user's locale.
#include "regional.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace pom {

namespace {

std::string localeName()
{
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return "C";
}

} // namespace

RegionalFormats regionalFormatsFromEnvironment()
{
    // A locale object of our own leaves the process's locale (and other threads) alone.
    locale_t locale = newlocale(LC_TIME_MASK, localeName().c_str(), static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        locale = newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(0));
    if (locale == static_cast<locale_t>(0))
        return regionalFormatsFromPatterns("%m/%d/%y", "%H:%M:%S");
    const RegionalFormats formats = regionalFormatsFromPatterns(
        nl_langinfo_l(D_FMT, locale), nl_langinfo_l(T_FMT, locale),
        nl_langinfo_l(AM_STR, locale), nl_langinfo_l(PM_STR, locale));
    freelocale(locale);
    return formats;
}

} // namespace pom
