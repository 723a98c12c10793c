#include "convert.h"

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

} // namespace

double valDouble(const std::string& text, std::int32_t& errorPos)
{
    std::size_t pos = 0;
    const bool negative = skipSpacesAndSign(text, pos);
    const std::size_t start = pos;
    std::size_t digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos)
        ++digits;
    if (pos < text.size() && text[pos] == '.')
        for (++pos; pos < text.size() && isDigit(text[pos]); ++pos)
            ++digits;
    if (digits == 0) {
        errorPos = static_cast<std::int32_t>(start + 1);
        return 0.0;
    }
    const std::size_t mantissaEnd = pos;
    long exponent = 0;
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t e = pos + 1;
        const bool negativeExponent = e < text.size() && text[e] == '-';
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponentStart = e;
        for (; e < text.size() && isDigit(text[e]); ++e)
            if (exponent < 100000)
                exponent = exponent * 10 + (text[e] - '0');
        if (e > exponentStart) {
            pos = e;
            exponent = negativeExponent ? -exponent : exponent;
        } else {
            exponent = 0;
        }
    }
    errorPos = pos == text.size() ? 0 : static_cast<std::int32_t>(pos + 1);
    const std::string_view whole(text);
    const double value = decimalValue(whole.substr(start, pos - start),
                                      whole.substr(start, mantissaEnd - start), exponent);
    return negative ? -value : value;
}

namespace {

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

    bool scanWord(const std::string& word)
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
    if (const auto ms = TimeScanner(text, formats).scan())
        return static_cast<double>(*ms) / MsPerDay;
    throw ConvertError("'" + text + "' is not a valid time");
}

std::string intToStr(std::int64_t value)
{
    return std::to_string(value);
}

} // namespace pom
