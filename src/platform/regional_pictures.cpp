// Windows date and time pictures ("dd.MM.yyyy", "h:mm:ss tt") read as the
// strftime patterns they stand for, so both systems share one parser.
#include "regional.h"

#include <string_view>

namespace pom {

namespace {

// The strftime conversion for a run of count equal picture letters; empty
// for letters without one (the era).
std::string conversionFor(char letter, std::size_t count)
{
    const bool one = count == 1;
    switch (letter) {
    case 'd': return count >= 3 ? (count == 3 ? "%a" : "%A") : (one ? "%-d" : "%d");
    case 'M': return count >= 3 ? (count == 3 ? "%b" : "%B") : (one ? "%-m" : "%m");
    case 'y': return count >= 3 ? "%Y" : "%y";
    case 'H': return one ? "%-H" : "%H";
    case 'h': return one ? "%-I" : "%I";
    case 'm': return one ? "%-M" : "%M";
    case 's': return one ? "%-S" : "%S";
    case 't': return "%p";
    default: return {};
    }
}

bool isPictureLetter(char c)
{
    return std::string_view("dMyHhmstg").find(c) != std::string_view::npos;
}

// Text in single quotes is literal; two quotes stand for one.
std::size_t copyQuoted(const std::string& picture, std::size_t pos, std::string& out)
{
    std::size_t i = pos + 1;
    if (i < picture.size() && picture[i] == '\'') {
        out += '\'';
        return i + 1;
    }
    for (; i < picture.size(); ++i) {
        if (picture[i] == '\'' && (i + 1 >= picture.size() || picture[i + 1] != '\''))
            return i + 1;
        if (picture[i] == '\'')
            ++i;
        out += picture[i] == '%' ? std::string("%%") : std::string(1, picture[i]);
    }
    return i;
}

std::string patternFromPicture(const std::string& picture)
{
    std::string out;
    for (std::size_t i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') {
            i = copyQuoted(picture, i, out);
        } else if (isPictureLetter(c)) {
            std::size_t end = i;
            while (end < picture.size() && picture[end] == c)
                ++end;
            out += conversionFor(c, end - i);
            i = end;
        } else {
            out += c == '%' ? std::string("%%") : std::string(1, c);
            ++i;
        }
    }
    return out;
}

} // namespace

RegionalFormats regionalFormatsFromPictures(const std::string& shortDate,
                                            const std::string& longTime,
                                            const std::string& am,
                                            const std::string& pm)
{
    return regionalFormatsFromPatterns(patternFromPicture(shortDate), patternFromPicture(longTime), am,
                                       pm);
}

} // namespace pom
