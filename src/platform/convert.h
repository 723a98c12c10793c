#pragma once
// The run-time's conversions, byte strings in, values out.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pom {

struct RegionalFormats;

// Strict: leading spaces, optional sign, decimal digits or hexadecimal after
// "$", "x" or "0x"; must fit 32 bits. Raises ConvertError
// "'<text>' is not a valid integer value" otherwise.
std::int32_t strToInt(const std::string& text);
// The same rules without raising: no value when strToInt would fail.
std::optional<std::int32_t> tryStrToInt(std::string_view text);

// Lenient, never fails: leading spaces, optional sign, digits up to the first
// character that does not belong; 0 when there are none. errorPos receives the
// 1-based position of the first rejected character, 0 when all was used (with
// no digits at all, the position where the first digit was expected).
// Overflow wraps around in 32 bits.
std::int32_t valInt(const std::string& text, std::int32_t& errorPos);

// Decimal text to double, never fails: leading spaces, sign, digits, an optional
// point and exponent. The value is the longest valid prefix, 0 when there is none;
// errorPos as for valInt. The decimal point is always ".", whatever the locale.
double valDouble(const std::string& text, std::int32_t& errorPos);

// A time text in the regional format to a fraction of a day: hours, the time
// separator, minutes, optionally the separator and seconds, spaces around the
// parts, an optional AM/PM designator before or after (then hours 1 to 12).
// Raises ConvertError "'<text>' is not a valid time".
double strToTime(const std::string& text, const RegionalFormats& formats);

std::string intToStr(std::int64_t value);

} // namespace pom
