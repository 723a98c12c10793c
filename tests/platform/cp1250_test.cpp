#include <gtest/gtest.h>

#include "cp1250.h"

namespace pom {
namespace {

TEST(Cp1250, PolishLettersMapToTheirBytes)
{
    const std::pair<const char*, unsigned char> letters[] = {
        {"ą", 0xB9}, {"ć", 0xE6}, {"ę", 0xEA}, {"ł", 0xB3}, {"ń", 0xF1}, {"ó", 0xF3},
        {"ś", 0x9C}, {"ź", 0x9F}, {"ż", 0xBF}, {"Ą", 0xA5}, {"Ć", 0xC6}, {"Ę", 0xCA},
        {"Ł", 0xA3}, {"Ń", 0xD1}, {"Ó", 0xD3}, {"Ś", 0x8C}, {"Ź", 0x8F}, {"Ż", 0xAF},
    };
    for (const auto& [utf8, byte] : letters) {
        EXPECT_EQ(utf8ToCp1250(utf8), std::string(1, static_cast<char>(byte))) << utf8;
        EXPECT_EQ(cp1250ToUtf8(std::string(1, static_cast<char>(byte))), utf8) << utf8;
    }
    EXPECT_EQ(utf8ToCp1250("Zapis ustawień"), "Zapis ustawie\xF1");
    EXPECT_EQ(cp1250ToUtf8("&Wzn\xF3w"), "&Wznów");
}

TEST(Cp1250, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(all)), all);
    // The undefined bytes become the C1 controls of the same number.
    EXPECT_EQ(cp1250ToUtf8("\x81\x98"), "\u0081\u0098");
    EXPECT_EQ(cp1250ToUtf8("\x80\xA0\xFF"), "€\u00A0˙");
}

TEST(Cp1250, MissingCharactersAndBrokenUtf8BecomeQuestionMarks)
{
    const std::pair<std::string, std::string> cases[] = {
        {"日本", "??"},             // not in the code page
        {"😀x", "?x"},              // four-byte sequence, not in the code page
        {"\u0080", "?"},           // a C1 control the code page does not use
        {"a\xFF" "b", "a?b"},       // invalid lead byte
        {"\xC5", "?"},              // cut short at the end
        {"\xC5" "a", "?a"},         // cut short before an ASCII byte
        {"\xC0\xAF", "??"},         // overlong "/"
        {"\xE0\x80\xAF", "?"},      // overlong three-byte form
        {"\xED\xA0\x80", "?"},      // a surrogate
        {"\xF4\x90\x80\x80", "?"},  // beyond U+10FFFF
        {"\x80", "?"},              // stray continuation byte
    };
    for (const auto& [utf8, bytes] : cases)
        EXPECT_EQ(utf8ToCp1250(utf8), bytes);
}

} // namespace
} // namespace pom
