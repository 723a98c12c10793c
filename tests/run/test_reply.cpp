// Which replies discovery accepts, which model each names, and the rewrite
// that brings every model to the common value layout.
#include <gtest/gtest.h>

#include "reply.h"

namespace pom {
namespace {

struct ShapeCase {
    const char* reply;
    int model;  // -1 rejected, else the index into DeviceModelTable
};

class ReplyShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ReplyShape, AcceptsAndIdentifiesByTheFirstRuleThatMatches)
{
    const auto& c = GetParam();
    const auto model = IdentifyReply(c.reply);
    if (c.model < 0)
        EXPECT_FALSE(model.has_value()) << c.reply;
    else
        EXPECT_EQ(model, static_cast<std::size_t>(c.model)) << c.reply;
}

INSTANTIATE_TEST_SUITE_P(Table, ReplyShape, ::testing::Values(
    ShapeCase{"+0023.5\r", 0},
    ShapeCase{"1+0023.5\r", 1},
    ShapeCase{"+00235\r", 2},
    ShapeCase{"-00123\r", 2},
    ShapeCase{"+", 2},            // a sign alone is enough
    ShapeCase{"A0023.5", 0},      // a point at 6 whatever stands at 1
    ShapeCase{"12345.", 0},
    ShapeCase{"0023..", 0},       // points at 6 and 7: 6 is tested first
    ShapeCase{"12345", -1},       // 5 characters, no sign
    ShapeCase{"xx?!zz\r", -1},
    ShapeCase{"", -1}));

TEST(DeviceModelTable, RecordsAreTheNamesPaddedWithZerosTo65Bytes)
{
    const auto& table = DeviceModelTable();
    EXPECT_EQ(bufferText(table[0].record), "KVT-4xx");
    EXPECT_EQ(bufferText(table[1].record), "P-410");
    EXPECT_EQ(bufferText(table[2].record), "P-400");
    for (const auto& model : table)
        EXPECT_EQ(model.record[64], 0);
    EXPECT_TRUE(table[1].dropLeadingChar && !table[1].insertDecimalPoint);
    EXPECT_TRUE(table[2].insertDecimalPoint && !table[2].dropLeadingChar);
}

struct RewriteCase {
    const char* received;
    bool insertPoint, dropLeading;
    const char* normalised;  // the reply text afterwards
    const char* value;
};

class Normalise : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(Normalise, RewritesInPlaceAsTheWorkedExamplesShow)
{
    const auto& c = GetParam();
    ChannelState ch;
    copyText(ch.RxBuffer, c.received);
    ch.InsertDecimalPoint = c.insertPoint ? -1 : 0;
    ch.DropLeadingChar = c.dropLeading ? -1 : 0;
    NormaliseReply(ch);
    EXPECT_EQ(bufferText(ch.RxBuffer), c.normalised);
    EXPECT_EQ(ValueText(ch.RxBuffer), c.value);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, Normalise, ::testing::Values(
    RewriteCase{"+0023.5\r", false, false, "+0023.5\r", "+0023.5"},
    RewriteCase{"1+0023.5\r", false, true, "+0023.55\r", "+0023.5"},
    RewriteCase{"+00235\r", true, false, "+0023.5", "+0023.5"},
    RewriteCase{"-00123\r", true, false, "-0012.3", "-0012.3"}));

TEST(ValueText, StopsAtTheFirstNulAndAtSevenCharacters)
{
    Buffer65 rx{};
    copyText(rx, "+0023.5 and more");
    EXPECT_EQ(ValueText(rx), "+0023.5");
    rx[3] = 0;
    EXPECT_EQ(ValueText(rx), "+00");
    rx.fill('7');  // no NUL at all: the text is all 65 bytes
    EXPECT_EQ(ValueText(rx), "7777777");
}

} // namespace
} // namespace pom
