#include "cp1250.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace pom {

namespace {

// Code points of bytes 0x80 to 0xFF. The five bytes that the code page leaves
// undefined (81, 83, 88, 90, 98) map to the C1 controls of the same number, so
// that any file's bytes survive a round trip.
constexpr std::array<char16_t, 128> HighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // F8
};

constexpr char Replacement = '?';

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The position of the first byte from pos on that is not ASCII, or the size.
// Eight bytes are tested at once while none of them has its high bit set.
std::size_t asciiEnd(std::string_view text, std::size_t pos)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080u;
    for (std::uint64_t word = 0; pos + sizeof word <= text.size(); pos += sizeof word) {
        std::memcpy(&word, text.data() + pos, sizeof word);
        if ((word & HighBits) != 0)
            break;
    }
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) < 0x80)
        ++pos;
    return pos;
}

// ASCII is the same in both encodings: each run of it is copied at once.
std::size_t appendAsciiRun(std::string& out, std::string_view text, std::size_t pos)
{
    const std::size_t end = asciiEnd(text, pos);
    out.append(text.substr(pos, end - pos));
    return end;
}

bool isContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at pos and advances past it. Overlong forms,
// surrogates, values past U+10FFFF and cut sequences give no value; then pos
// moves past the bytes that could have begun a valid sequence (at least one).
bool decodeUtf8(std::string_view text, std::size_t& pos, char32_t& cp)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) {
        cp = lead;
        return true;
    }
    int length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 1; min = 0x80; cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 2; min = 0x800; cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 3; min = 0x10000; cp = lead & 0x07;
    } else {
        return false;
    }
    for (int i = 0; i < length; ++i) {
        if (pos >= text.size() || !isContinuation(static_cast<unsigned char>(text[pos])))
            return false;
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    return cp >= min && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

char toCp1250(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < HighHalf.size(); ++i)
        if (HighHalf[i] == cp)
            return static_cast<char>(0x80 + i);
    return Replacement;
}

} // namespace

std::string utf8ToCp1250(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = appendAsciiRun(out, utf8, 0); pos < utf8.size();
         pos = appendAsciiRun(out, utf8, pos)) {
        char32_t cp = 0;
        out += decodeUtf8(utf8, pos, cp) ? toCp1250(cp) : Replacement;
    }
    return out;
}

std::string cp1250ToUtf8(std::string_view bytes)
{
    if (asciiEnd(bytes, 0) == bytes.size())
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3);
    for (std::size_t pos = appendAsciiRun(out, bytes, 0); pos < bytes.size();
         pos = appendAsciiRun(out, bytes, pos))
        appendUtf8(out, HighHalf[static_cast<unsigned char>(bytes[pos++]) - 0x80]);
    return out;
}

} // namespace pom
