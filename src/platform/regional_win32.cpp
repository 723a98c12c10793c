// The regional formats on Windows: the user's short date and long time
// pictures and AM/PM designators from the regional settings.
#include "regional.h"

#include "win32_api.h"

#include <iterator>
#include <optional>

#include "win32_text.h"

namespace pom {

namespace {

std::optional<std::string> localeText(const wchar_t* locale, LCTYPE item)
{
    wchar_t text[LOCALE_NAME_MAX_LENGTH * 2] = {};
    const int length = GetLocaleInfoEx(locale, item, text, static_cast<int>(std::size(text)));
    if (length <= 0)
        return std::nullopt;
    return win32::utf8FromWide(std::wstring_view(text, static_cast<std::size_t>(length - 1)));
}

std::optional<RegionalFormats> formatsOf(const wchar_t* locale)
{
    const auto date = localeText(locale, LOCALE_SSHORTDATE);
    const auto time = localeText(locale, LOCALE_STIMEFORMAT);
    if (!date || !time)
        return std::nullopt;
    const std::string am = localeText(locale, LOCALE_S1159).value_or("");
    const std::string pm = localeText(locale, LOCALE_S2359).value_or("");
    return regionalFormatsFromPictures(*date, *time, am, pm);
}

} // namespace

RegionalFormats regionalFormatsFromEnvironment()
{
    if (const auto user = formatsOf(LOCALE_NAME_USER_DEFAULT))
        return *user;
    if (const auto invariant = formatsOf(LOCALE_NAME_INVARIANT))
        return *invariant;
    return regionalFormatsFromPictures("MM/dd/yyyy", "HH:mm:ss");
}

} // namespace pom
