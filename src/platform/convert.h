#pragma once
// The run-time's conversions, byte strings in, values out.
#include <cstdint>
#include <string>

namespace pom {

struct RegionalFormats;

// Strict: leading spaces, optional sign, decimal digits or hexadecimal after
// "$", "x" or "0x"; must fit 32 bits. Raises ConvertError
// "'<text>' is not a valid integer value" otherwise.
std::int32_t strToInt(const std::string& text);

// Lenient, never fails: leading spaces, optional sign, digits up to the first
// character that does not belong; 0 when there are none. errorPos receives the
// 1-based position of the first rejected character, 0 when all was used.
std::int32_t valInt(const std::string& text, std::int32_t& errorPos);

// Decimal text to double, never fails: leading spaces, sign, digits, an optional
// point and exponent. The value is the longest valid prefix, 0 when there is none.
double valDouble(const std::string& text, std::int32_t& errorPos);

// A time text in the regional format to a fraction of a day. Raises ConvertError
// "'<text>' is not a valid time".
double strToTime(const std::string& text, const RegionalFormats& formats);

std::string intToStr(std::int64_t value);

} // namespace pom
