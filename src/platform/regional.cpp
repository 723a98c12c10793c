#include "regional.h"

namespace pom {

namespace {

// Replaces the composite conversions by their parts.
std::string expandPattern(const std::string& pattern)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            out += pattern[i];
            continue;
        }
        const char c = pattern[++i];
        switch (c) {
        case 'F': out += "%Y-%m-%d"; break;
        case 'D': out += "%m/%d/%y"; break;
        case 'T': out += "%H:%M:%S"; break;
        case 'R': out += "%H:%M"; break;
        case 'r': out += "%I:%M:%S %p"; break;
        default: out += '%'; out += c; break;
        }
    }
    return out;
}

// One strftime conversion: its letter and whether it pads with zeros.
struct Field {
    char letter = 0;
    bool zeroPadded = true;
    std::size_t end = 0; // index just past the conversion
};

// Reads the conversion at pattern[pos] == '%', with glibc's "-", "_" and "0" flags.
Field readField(const std::string& pattern, std::size_t pos)
{
    Field field;
    std::size_t i = pos + 1;
    while (i < pattern.size() && (pattern[i] == '-' || pattern[i] == '_' || pattern[i] == '0')) {
        field.zeroPadded = pattern[i] == '0';
        ++i;
    }
    // E and O modifiers select alternative numerals; the field is the same.
    if (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O'))
        ++i;
    if (i < pattern.size()) {
        field.letter = pattern[i];
        field.end = i + 1;
    } else {
        field.end = i;
    }
    // %e, %k and %l pad with a space, which reads as no leading zero.
    if (field.letter == 'e' || field.letter == 'k' || field.letter == 'l')
        field.zeroPadded = false;
    return field;
}

// 'd', 'm' or 'y' for a date conversion, 0 for anything else.
char dateKey(char letter)
{
    switch (letter) {
    case 'd': case 'e': return 'd';
    case 'm': return 'm';
    case 'y': case 'Y': return 'y';
    default: return 0;
    }
}

void applyDateField(const Field& field, RegionalFormats& formats, std::string& order)
{
    const char key = dateKey(field.letter);
    if (key == 0 || order.find(key) != std::string::npos)
        return;
    order += key;
    if (key == 'd')
        formats.dayLeadingZero = field.zeroPadded;
    else if (key == 'm')
        formats.monthLeadingZero = field.zeroPadded;
    else
        formats.fourDigitYear = field.letter == 'Y';
}

void parseDate(const std::string& pattern, RegionalFormats& formats)
{
    std::string order;
    char separator = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] != '%') {
            if (separator == 0 && !order.empty() && pattern[i] != ' ')
                separator = pattern[i];
            ++i;
            continue;
        }
        const Field field = readField(pattern, i);
        applyDateField(field, formats, order);
        i = field.end;
    }
    if (order.size() == 3)
        formats.dateOrder = order;
    if (separator != 0)
        formats.dateSeparator = separator;
}

void parseTime(const std::string& pattern, RegionalFormats& formats)
{
    bool seenHour = false;
    bool seenDesignator = false;
    char separator = 0;
    for (std::size_t i = 0; i < pattern.size();) {
        if (pattern[i] != '%') {
            if (separator == 0 && seenHour && pattern[i] != ' ')
                separator = pattern[i];
            ++i;
            continue;
        }
        const Field field = readField(pattern, i);
        switch (field.letter) {
        case 'H': case 'k': case 'I': case 'l':
            if (!seenHour) {
                seenHour = true;
                formats.hourLeadingZero = field.zeroPadded;
                formats.twelveHour = field.letter == 'I' || field.letter == 'l';
                formats.designatorFirst = seenDesignator;
            }
            break;
        case 'p': case 'P':
            seenDesignator = true;
            break;
        default: break;
        }
        i = field.end;
    }
    if (separator != 0)
        formats.timeSeparator = separator;
}

} // namespace

RegionalFormats regionalFormatsFromPatterns(const std::string& dateFormat,
                                            const std::string& timeFormat,
                                            const std::string& am,
                                            const std::string& pm)
{
    RegionalFormats formats;
    parseDate(expandPattern(dateFormat), formats);
    parseTime(expandPattern(timeFormat), formats);
    // Locales with a 24-hour clock often have no designators at all.
    if (!am.empty())
        formats.amDesignator = am;
    if (!pm.empty())
        formats.pmDesignator = pm;
    return formats;
}

namespace {

std::string number(int value, bool twoDigits)
{
    std::string text = std::to_string(value);
    if (twoDigits && text.size() < 2)
        text.insert(0, 2 - text.size(), '0');
    return text;
}

} // namespace

std::string formatDate(DateTime value, const RegionalFormats& formats)
{
    const DateTimeParts parts = decodeDateTime(value);
    std::string text;
    for (char field : formats.dateOrder) {
        if (!text.empty())
            text += formats.dateSeparator;
        if (field == 'd')
            text += number(parts.day, formats.dayLeadingZero);
        else if (field == 'm')
            text += number(parts.month, formats.monthLeadingZero);
        else
            text += formats.fourDigitYear ? std::to_string(parts.year) : number(parts.year % 100, true);
    }
    return text;
}

std::string formatTime(DateTime value, const RegionalFormats& formats)
{
    const DateTimeParts parts = decodeDateTime(value);
    int hour = parts.hour;
    if (formats.twelveHour)
        hour = hour % 12 == 0 ? 12 : hour % 12;
    std::string text = number(hour, formats.hourLeadingZero);
    text += formats.timeSeparator;
    text += number(parts.minute, true);
    text += formats.timeSeparator;
    text += number(parts.second, true);
    if (!formats.twelveHour)
        return text;
    const std::string& designator = parts.hour < 12 ? formats.amDesignator : formats.pmDesignator;
    return formats.designatorFirst ? designator + " " + text : text + " " + designator;
}

} // namespace pom
