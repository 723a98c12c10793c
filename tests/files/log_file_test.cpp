#include <gtest/gtest.h>

#include <vector>

#include "errors.h"
#include "log_file.h"
#include "temp_dir.h"

namespace pom {
namespace {

DateTime at(int hour, int minute, int second)
{
    return encodeDateTime({2024, 3, 5, hour, minute, second, 0});
}

Buffer65 reply(const std::string& text)
{
    Buffer65 buffer{};
    copyText(buffer, text);
    return buffer;
}

struct Sample {
    std::int32_t count;
    DateTime time;
    std::string reply;
};

struct LogCase {
    const char* fixture;
    RegionalFormats formats;
    std::vector<Sample> samples;
};

// A discovery's header, then one full AppendLogLine per sample.
void recordRun(LogState& log, const LogCase& c)
{
    CreateDefaultLog(log);
    WriteLogHeader(log, at(8, 0, 0), c.formats);
    for (const Sample& s : c.samples) {
        AppendLogOpen(log);
        AppendLogWrite(log, s.count, s.time, reply(s.reply), c.formats);
        AppendLogClose(log);
        EXPECT_FALSE(log.LogFile.isOpen());
    }
}

TEST(LogFileTest, WritesTheLayoutByteForByte)
{
    const LogCase cases[] = {
        {"log_24h.txt", regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S"),
         {{9, at(12, 34, 56), "+0023.5C\r"}, {10, at(12, 34, 58), "-0001.0\r"},
          {11, at(23, 59, 59), "+23"}}},
        // A 12-hour clock whose designator has a Polish letter: code page 1250 in the file.
        {"log_12h_pl.txt", regionalFormatsFromPatterns("%d.%m.%Y", "%I:%M:%S %p", "rano", "po południu"),
         {{1, at(9, 5, 7), "+0020.0"}, {2, at(13, 2, 3), "+0020.1"}}},
    };
    for (const LogCase& c : cases) {
        SCOPED_TRACE(c.fixture);
        test::TempDir dir;
        test::writeBytes(DefaultLogName, "left over from the last run\r\n");
        LogState log;
        recordRun(log, c);
        EXPECT_EQ(test::readBytes(DefaultLogName),
                  test::readBytes(std::string(POM_FIXTURES_DIR) + "/" + c.fixture));
    }
}

TEST(LogFileTest, OpeningAMissingLogFailsAndCreatesNothing)
{
    test::TempDir dir;
    LogState log;
    log.LogFileName = "gone.txt";
    log.LogFile.assign(log.LogFileName);
    const auto formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    for (auto step : {+[](LogState& l, const RegionalFormats& f) { WriteLogHeader(l, 45000, f); },
                      +[](LogState& l, const RegionalFormats&) { AppendLogOpen(l); }}) {
        try {
            step(log, formats);
            ADD_FAILURE() << "no error";
        } catch (const InOutError& e) {
            EXPECT_EQ(e.code(), io::FileNotFound);
            EXPECT_STREQ(e.what(), "File not found");
        }
        EXPECT_FALSE(log.LogFile.isOpen());
        EXPECT_FALSE(std::filesystem::exists("gone.txt"));
    }
}

#ifndef _WIN32 // /dev/full
TEST(LogFileTest, AFailedFlushIsReportedAndLeavesTheLogClosed)
{
    LogState log;
    log.LogFileName = "/dev/full";
    log.LogFile.assign(log.LogFileName);
    AppendLogOpen(log);
    AppendLogWrite(log, 1, at(1, 2, 3), reply("+0001.0"),
                   regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S"));
    try {
        AppendLogClose(log);
        ADD_FAILURE() << "no error";
    } catch (const InOutError& e) {
        EXPECT_EQ(e.code(), io::DiskFull);
    }
    EXPECT_FALSE(log.LogFile.isOpen());
}
#endif

} // namespace
} // namespace pom
