// The simulator's replies, course and command line, which the
// pseudo-terminal tests and the demonstration rely on.
#include <gtest/gtest.h>

#include <stdexcept>

#include "sim_options.h"

namespace pom::sim {
namespace {

TEST(SimReply, EachModelWritesItsOwnLayout)
{
    struct Case {
        Model model;
        double value;
        const char* reply;
    };
    const Case cases[] = {
        {Model::Kvt4xx, 23.5, "+0023.5\r"}, {Model::P410, 23.5, "1+0023.5\r"},
        {Model::P400, 23.5, "+00235\r"},    {Model::Kvt4xx, -12.3, "-0012.3\r"},
        {Model::P410, -12.3, "1-0012.3\r"}, {Model::P400, -12.3, "-00123\r"},
        {Model::Kvt4xx, 0.0, "+0000.0\r"},  {Model::Kvt4xx, -0.04, "+0000.0\r"},
        {Model::P400, 0.05, "+00001\r"},    {Model::Kvt4xx, 1234.56, "+1234.6\r"},
        {Model::Kvt4xx, 12345.0, "+9999.9\r"}, {Model::P400, -20000.0, "-99999\r"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatReading(c.model, c.value), c.reply) << c.value;
}

TEST(SimReply, FaultModesBreakTheReplyAsAsked)
{
    EXPECT_FALSE(replyFor(Mode::Silent, Model::Kvt4xx, 23.5));
    EXPECT_EQ(replyFor(Mode::Normal, Model::P400, 23.5), "+00235\r");
    EXPECT_EQ(replyFor(Mode::Short, Model::P410, 23.5), "1+0");

    const std::string garbage = replyFor(Mode::Garbage, Model::Kvt4xx, 23.5).value();
    ASSERT_GE(garbage.size(), 7u);
    EXPECT_NE(garbage[0], '+');
    EXPECT_NE(garbage[0], '-');
    EXPECT_NE(garbage[5], '.');
    EXPECT_NE(garbage[6], '.');

    const std::string longReply = replyFor(Mode::Long, Model::Kvt4xx, 23.5).value();
    EXPECT_EQ(longReply.size(), 80u);
    EXPECT_EQ(longReply.substr(0, 16), "+0023.5\r+0023.5\r");
}

TEST(SimCourse, MovesOnWithEveryReply)
{
    auto ramp = Course::ramp(20.0, 0.5);
    auto cycle = Course::cycle({1.0, -2.0, 3.0});
    auto constant = Course::constant(7.0);
    const double rampValues[] = {20.0, 20.5, 21.0, 21.5};
    const double cycleValues[] = {1.0, -2.0, 3.0, 1.0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(ramp.next(), rampValues[i]);
        EXPECT_DOUBLE_EQ(cycle.next(), cycleValues[i]);
        EXPECT_DOUBLE_EQ(constant.next(), 7.0);
    }
    EXPECT_THROW(Course::cycle({}), std::invalid_argument);
}

TEST(SimOptions, ReadsTheCommandLine)
{
    auto options = parseOptions({"--port", "0", "--links-dir", "/tmp/l", "--model", "P-400",
                                 "--delay-ms", "5", "--values", "1.5,-2", "--garbage", "--record", "/tmp/r"});
    EXPECT_EQ(options.port, 0);
    EXPECT_EQ(options.linksDirectory, "/tmp/l");
    EXPECT_EQ(options.model, Model::P400);
    EXPECT_EQ(options.delayMs, 5);
    EXPECT_EQ(options.mode, Mode::Garbage);
    EXPECT_EQ(options.recordFile, "/tmp/r");
    EXPECT_DOUBLE_EQ(options.course.next(), 1.5);
    EXPECT_DOUBLE_EQ(options.course.next(), -2.0);
}

TEST(SimOptions, RefusesWhatItCannotUse)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--port", "256"}, {"--port", "-1"}, {"--port", "7x"}, {"--port"},
        {"--model", "KVT-500"}, {"--delay-ms", "-5"}, {"--constant", "warm"},
        {"--constant", "nan"}, {"--ramp", "20"}, {"--ramp", "20:"}, {"--values", "1,,2"},
        {"--bogus"},
    };
    for (const auto& args : cases) {
        auto withLinks = args;
        withLinks.insert(withLinks.begin(), {"--links-dir", "/tmp/l"});
        EXPECT_THROW(parseOptions(withLinks), std::invalid_argument) << args.front();
    }
}

TEST(SimCommands, ReadsOneCommandALine)
{
    EXPECT_EQ(parseCommand("silent\n")->mode, Mode::Silent);
    EXPECT_EQ(parseCommand("  long ")->mode, Mode::Long);
    EXPECT_EQ(parseCommand("normal")->kind, Command::Kind::SetMode);
    EXPECT_EQ(parseCommand("vanish")->kind, Command::Kind::Vanish);
    EXPECT_EQ(parseCommand("return")->kind, Command::Kind::Return);
    EXPECT_EQ(parseCommand("quit\r\n")->kind, Command::Kind::Quit);
    const auto value = parseCommand("value -3.5");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->kind, Command::Kind::Value);
    EXPECT_DOUBLE_EQ(value->value, -3.5);
    for (const char* bad : {"", "value", "value x", "louder", "silent please"})
        EXPECT_FALSE(parseCommand(bad)) << bad;
}

} // namespace
} // namespace pom::sim
