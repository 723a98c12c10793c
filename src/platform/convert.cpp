#include "convert.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "errors.h"
#include "regional.h"

namespace pom {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::size_t skipSpaces(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    return pos;
}

// Skips leading spaces and one sign; true when the sign is "-".
bool skipSpacesAndSign(std::string_view text, std::size_t& pos)
{
    pos = skipSpaces(text, pos);
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        return text[pos++] == '-';
    return false;
}

// Consumes "$", "x", "X", "0x" or "0X" at pos.
bool skipHexPrefix(std::string_view text, std::size_t& pos)
{
    if (pos < text.size() && (text[pos] == '$' || text[pos] == 'x' || text[pos] == 'X')) {
        ++pos;
        return true;
    }
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        pos += 2;
        return true;
    }
    return false;
}

// The rest of the text as a 32-bit hexadecimal pattern: $FFFFFFFF is -1.
std::optional<std::uint32_t> parseHex(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = hexValue(c);
        if (d < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(d);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

// The rest of the text as a decimal magnitude within what a signed 32-bit
// number with this sign can hold.
std::optional<std::uint32_t> parseDecimal(std::string_view digits, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t value = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

std::optional<std::int32_t> tryStrToInt(std::string_view text)
{
    std::size_t pos = 0;
    const bool negative = skipSpacesAndSign(text, pos);
    const bool hex = skipHexPrefix(text, pos);
    const auto magnitude = hex ? parseHex(text.substr(pos)) : parseDecimal(text.substr(pos), negative);
    if (!magnitude)
        return std::nullopt;
    // Unsigned arithmetic wraps, so -2147483648 and negated hex patterns are exact.
    return static_cast<std::int32_t>(negative ? 0u - *magnitude : *magnitude);
}

std::int32_t strToInt(const std::string& text)
{
    if (const auto value = tryStrToInt(text))
        return *value;
    throw ConvertError("'" + text + "' is not a valid integer value");
}

std::int32_t valInt(const std::string& text, std::int32_t& errorPos)
{
    std::size_t pos = 0;
    const bool negative = skipSpacesAndSign(text, pos);
    const std::size_t digitsStart = pos;
    std::uint32_t value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    const bool complete = pos > digitsStart && pos == text.size();
    errorPos = complete ? 0 : static_cast<std::int32_t>(pos + 1);
    return static_cast<std::int32_t>(negative ? 0u - value : value);
}

namespace {

// The decimal exponent of the leading digit of a mantissa, give or take one;
// decides between infinity and zero when the value does not fit a double.
long magnitudeOf(std::string_view mantissa, long exponent)
{
    const auto point = mantissa.find('.');
    const std::string_view whole = mantissa.substr(0, point);
    const auto firstNonZero = whole.find_first_not_of('0');
    if (firstNonZero != std::string_view::npos)
        return static_cast<long>(whole.size() - firstNonZero) + exponent;
    if (point == std::string_view::npos)
        return std::numeric_limits<long>::min();
    const std::string_view fraction = mantissa.substr(point + 1);
    const auto leading = fraction.find_first_not_of('0');
    if (leading == std::string_view::npos)
        return std::numeric_limits<long>::min();
    return exponent - static_cast<long>(leading);
}

double decimalValue(std::string_view number, std::string_view mantissa, long exponent)
{
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return magnitudeOf(mantissa, exponent) > 0 ? HUGE_VAL : 0.0;
    return value;
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 16> ExactPowersOfTen = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                                     1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr std::size_t ExactDigits = 15; // below 2^53, so exact in a double

// Digits with an optional point among them, and their value as a whole number
// (exact while there are at most ExactDigits of them).
struct Mantissa {
    std::size_t end = 0;
    std::size_t digits = 0;
    std::size_t fractionDigits = 0;
    std::uint64_t whole = 0;
};

// Digits from pos on, added to whole; the position after them.
std::size_t takeDigits(std::string_view text, std::size_t pos, std::uint64_t& whole)
{
    std::uint64_t value = whole;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        value = value * 10 + static_cast<std::uint64_t>(text[pos] - '0');
    whole = value;
    return pos;
}

Mantissa scanMantissa(std::string_view text, std::size_t pos)
{
    Mantissa m;
    const std::size_t start = pos;
    pos = takeDigits(text, pos, m.whole);
    m.digits = pos - start;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fraction = pos + 1;
        pos = takeDigits(text, fraction, m.whole);
        m.fractionDigits = pos - fraction;
        m.digits += m.fractionDigits;
    }
    m.end = pos;
    return m;
}

// An exponent at pos ("e" or "E", a sign, digits) into exponent; the position
// after it, or pos with exponent 0 when there is none.
std::size_t scanExponent(std::string_view text, std::size_t pos, long& exponent)
{
    exponent = 0;
    if (pos >= text.size() || (text[pos] != 'e' && text[pos] != 'E'))
        return pos;
    std::size_t e = pos + 1;
    const bool negativeExponent = e < text.size() && text[e] == '-';
    if (e < text.size() && (text[e] == '+' || text[e] == '-'))
        ++e;
    const std::size_t exponentStart = e;
    for (; e < text.size() && isDigit(text[e]); ++e)
        if (exponent < 100000)
            exponent = exponent * 10 + (text[e] - '0');
    if (e == exponentStart) {
        exponent = 0;
        return pos;
    }
    exponent = negativeExponent ? -exponent : exponent;
    return e;
}

} // namespace

double valDouble(const std::string& text, std::int32_t& errorPos)
{
    std::size_t pos = 0;
    const bool negative = skipSpacesAndSign(text, pos);
    const std::size_t start = pos;
    const Mantissa m = scanMantissa(text, start);
    if (m.digits == 0) {
        errorPos = static_cast<std::int32_t>(start + 1);
        return 0.0;
    }
    long exponent = 0;
    pos = scanExponent(text, m.end, exponent);
    errorPos = pos == text.size() ? 0 : static_cast<std::int32_t>(pos + 1);
    double value = 0.0;
    if (pos == m.end && m.digits <= ExactDigits) {
        // Both operands exact: the one correctly rounded division gives what
        // from_chars would, at a fraction of its cost.
        value = static_cast<double>(m.whole) / ExactPowersOfTen[m.fractionDigits];
    } else {
        const std::string_view whole(text);
        value = decimalValue(whole.substr(start, pos - start), whole.substr(start, m.end - start), exponent);
    }
    return negative ? -value : value;
}

namespace {

bool startsWithDigit(const std::string& word)
{
    return !word.empty() && isDigit(word[0]);
}

// hh:mm:ss exactly, as the log writes it, read without the general scan. Only
// where that scan could not read the same text otherwise: not with a digit or
// a space for the separator, nor with a designator that begins with a digit.
// No value when the text is not of this form or not a valid time.
std::optional<std::int64_t> scanLogTime(std::string_view text, const RegionalFormats& formats)
{
    const char separator = formats.timeSeparator;
    if (text.size() != 8 || text[2] != separator || text[5] != separator || isDigit(separator)
        || separator == ' ' || startsWithDigit(formats.amDesignator) || startsWithDigit(formats.pmDesignator))
        return std::nullopt;
    int parts[3] = {};
    for (std::size_t i = 0; i < 3; ++i) {
        const char tens = text[3 * i];
        const char units = text[3 * i + 1];
        if (!isDigit(tens) || !isDigit(units))
            return std::nullopt;
        parts[i] = (tens - '0') * 10 + (units - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return ((parts[0] * 60 + parts[1]) * 60 + parts[2]) * std::int64_t{1000};
}

class TimeScanner {
public:
    TimeScanner(std::string_view text, const RegionalFormats& formats) : m_text(text), m_formats(formats) {}

    // Hours, minutes and seconds as milliseconds; no value when the text is not a time.
    std::optional<std::int64_t> scan()
    {
        int baseHour = scanDesignator();
        int hour = 0, minute = 0, second = 0;
        if (!scanNumber(hour) || !scanSeparator() || !scanNumber(minute))
            return std::nullopt;
        if (scanSeparator() && !scanNumber(second))
            return std::nullopt;
        if (baseHour < 0)
            baseHour = scanDesignator();
        skipBlanks();
        if (m_pos != m_text.size() || minute > 59 || second > 59)
            return std::nullopt;
        if (baseHour >= 0) {
            if (hour < 1 || hour > 12)
                return std::nullopt;
            hour = hour % 12 + baseHour;
        } else if (hour > 23) {
            return std::nullopt;
        }
        return ((hour * 60 + minute) * 60 + second) * std::int64_t{1000};
    }

private:
    void skipBlanks() { m_pos = skipSpaces(m_text, m_pos); }

    bool scanNumber(int& value)
    {
        skipBlanks();
        const std::size_t start = m_pos;
        value = 0;
        // At most four digits, so that no value can overflow.
        while (m_pos < m_text.size() && m_pos - start < 4 && isDigit(m_text[m_pos]))
            value = value * 10 + (m_text[m_pos++] - '0');
        return m_pos > start;
    }

    bool scanSeparator()
    {
        skipBlanks();
        if (m_pos < m_text.size() && m_text[m_pos] == m_formats.timeSeparator) {
            ++m_pos;
            return true;
        }
        return false;
    }

    bool scanWord(std::string_view word)
    {
        if (word.empty() || m_text.size() - m_pos < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (lowerAscii(m_text[m_pos + i]) != lowerAscii(word[i]))
                return false;
        m_pos += word.size();
        return true;
    }

    // 0 after an AM designator, 12 after PM, -1 when there is none.
    int scanDesignator()
    {
        skipBlanks();
        if (scanWord(m_formats.amDesignator) || scanWord("AM"))
            return 0;
        if (scanWord(m_formats.pmDesignator) || scanWord("PM"))
            return 12;
        return -1;
    }

    std::string_view m_text;
    const RegionalFormats& m_formats;
    std::size_t m_pos = 0;
};

} // namespace

double strToTime(const std::string& text, const RegionalFormats& formats)
{
    auto ms = scanLogTime(text, formats);
    if (!ms)
        ms = TimeScanner(text, formats).scan();
    if (ms)
        return static_cast<double>(*ms) / MsPerDay;
    throw ConvertError("'" + text + "' is not a valid time");
}

std::string intToStr(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace pom
