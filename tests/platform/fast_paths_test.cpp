// The quick ways through line reading and the conversions must give exactly
// what the plain ways give: lines across read blocks, ASCII runs beside other
// bytes, short decimals, and times in the log's own form.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>
#ifndef _WIN32
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

#include "convert.h"
#include "cp1250.h"
#include "errors.h"
#include "regional.h"
#include "text_file.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

// ---- TextFile::readLn ----

// What readLn gives, line by line, worked out one byte at a time: the bytes
// before the first CR or LF, at most capacity of them, up to the next LF.
std::vector<std::string> expectedLines(const std::string& bytes, std::size_t capacity)
{
    std::vector<std::string> lines;
    for (std::size_t pos = 0; pos < bytes.size();) {
        std::string line;
        bool atCr = false;
        for (; pos < bytes.size() && bytes[pos] != '\n'; ++pos) {
            atCr = atCr || bytes[pos] == '\r';
            if (!atCr && line.size() < capacity)
                line += bytes[pos];
        }
        lines.push_back(line);
        if (pos < bytes.size())
            ++pos; // the LF
    }
    return lines;
}

class FastPathsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Other builds may run the same tests at the same time.
        m_dir = fs::temp_directory_path() / ("pom_fast_paths_" + std::to_string(std::random_device()()));
        ASSERT_TRUE(fs::create_directory(m_dir));
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string put(const std::string& bytes) const
    {
        const std::string name = (m_dir / "lines.txt").string();
        std::ofstream(name, std::ios::binary) << bytes;
        return name;
    }

    fs::path m_dir;
};

std::vector<std::string> readAll(const std::string& name, std::size_t capacity)
{
    TextFile file;
    file.assign(name);
    file.reset();
    std::vector<std::string> lines;
    std::string line = "left over";
    while (!file.eof()) {
        file.readLn(line, capacity);
        lines.push_back(line);
    }
    EXPECT_EQ(file.readLn(capacity), "");
    file.close();
    return lines;
}

// A first line that ends, with each kind of end, a little before, at or after
// the edge of a read block (4 KiB and 64 KiB), then a line longer than two
// blocks and a last line without its end; the capacity falls on the edge too.
TEST_F(FastPathsFile, LinesAcrossReadBlocksAreReadAsByteByByte)
{
    const char* ends[] = {"\r\n", "\n", "\rafter CR\r\n", "\n\n"};
    for (std::size_t block : {std::size_t{4096}, std::size_t{65536}})
        for (std::size_t length = block - 2; length <= block + 2; ++length)
            for (const char* end : ends) {
                const std::string bytes = std::string(length, 'p') + end + "second\r\n" +
                                          std::string(140000, 'q') + end + "tail";
                const std::string name = put(bytes);
                for (std::size_t capacity : {std::size_t{0}, std::size_t{105}, block - 1, block, block + 1}) {
                    const auto expected = expectedLines(bytes, capacity);
                    const auto got = readAll(name, capacity);
                    ASSERT_EQ(got.size(), expected.size()) << length << " capacity " << capacity;
                    for (std::size_t i = 0; i < got.size(); ++i)
                        ASSERT_EQ(got[i], expected[i]) << "line " << i + 1 << " of " << length
                                                       << ", capacity " << capacity;
                }
            }
}

TEST_F(FastPathsFile, ReadIntegerLnStillFollowsLineReads)
{
    TextFile file;
    file.assign(put("skipped\r\n" + std::string(70000, ' ') + "-42 rest\r\n7\n"));
    file.reset();
    EXPECT_EQ(file.readLn(3), "ski");
    EXPECT_EQ(file.readIntegerLn(), -42);
    EXPECT_EQ(file.readLn(10), "7");
    EXPECT_TRUE(file.eof());
    file.close();
}

#ifndef _WIN32
// A line whose LF has arrived is handed over at once: the reader must not
// wait for more bytes than the line needs, as on a pipe or a terminal.
TEST_F(FastPathsFile, ALineFromAPipeComesWithoutWaitingForMore)
{
    const std::string name = (m_dir / "pipe").string();
    ASSERT_EQ(mkfifo(name.c_str(), 0600), 0);
    std::mutex mutex;
    std::condition_variable cv;
    bool firstRead = false;
    bool waitedOut = false;
    std::thread writer([&] {
        const int fd = ::open(name.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "first\r\n", 7), 7);
        {
            std::unique_lock lock(mutex);
            waitedOut = !cv.wait_for(lock, std::chrono::seconds(10), [&] { return firstRead; });
        }
        ASSERT_EQ(::write(fd, "second", 6), 6);
        ::close(fd);
    });
    TextFile file;
    file.assign(name);
    file.reset();
    const std::string first = file.readLn(105);
    {
        std::lock_guard lock(mutex);
        firstRead = true;
    }
    cv.notify_one();
    EXPECT_EQ(file.readLn(105), "second");
    EXPECT_TRUE(file.eof());
    file.close();
    writer.join();
    EXPECT_EQ(first, "first");
    EXPECT_FALSE(waitedOut) << "the first line waited for the rest of the stream";
}
#endif

#ifdef __linux__
// Reading this process's memory at address 0 fails with EIO. After a failed
// read there is nothing to hand out: no line and no "more data".
TEST_F(FastPathsFile, AFailedReadLeavesNoBytesBehind)
{
    TextFile file;
    file.assign("/proc/self/mem");
    file.reset();
    const auto codeOf = [](auto operation) {
        try {
            operation();
        } catch (const InOutError& error) {
            return error.code();
        }
        return 0;
    };
    EXPECT_EQ(codeOf([&] { file.readLn(105); }), io::GeneralFailure);
    EXPECT_EQ(codeOf([&] { file.eof(); }), io::GeneralFailure);
    EXPECT_EQ(codeOf([&] { file.readLn(105); }), io::GeneralFailure);
    file.close();
}
#endif

// ---- code page 1250 ----

// Every text converted at once equals its bytes converted one at a time.
TEST(FastPathsCp1250, AsciiRunsBesideOtherBytesConvertAsSingleBytes)
{
    const std::string pieces[] = {"", "a", "1234567", "12345678", "123456789", "\t12:00:00\t",
                                  "\xB9", "\x80", "\xFF", "\xB3\xF3", "Zapis ustawie\xF1"};
    for (const std::string& a : pieces)
        for (const std::string& b : pieces)
            for (const std::string& c : pieces) {
                const std::string bytes = a + b + c;
                std::string oneByOne;
                for (char byte : bytes)
                    oneByOne += cp1250ToUtf8(std::string(1, byte));
                const std::string utf8 = cp1250ToUtf8(bytes);
                ASSERT_EQ(utf8, oneByOne) << bytes;
                ASSERT_EQ(utf8ToCp1250(utf8), bytes) << bytes;
            }
}

TEST(FastPathsCp1250, BrokenUtf8BetweenAsciiRunsGivesOneMarkEach)
{
    const std::pair<std::string, std::string> cases[] = {
        {"abcdefgh\xC5(ijklmnop", "abcdefgh?(ijklmnop"},
        {"abcdefg\xE2\x82" "12345678", "abcdefg?12345678"},
        {"12345678\x80\x80" "abcdefgh\xC5\x82", "12345678??abcdefgh\xB3"},
    };
    for (const auto& [utf8, bytes] : cases)
        EXPECT_EQ(utf8ToCp1250(utf8), bytes) << utf8;
}

// ---- valDouble ----

// The value from_chars gives for the number's text, with the sign applied.
double reference(const std::string& number, bool negative)
{
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return negative ? -value : value;
}

TEST(FastPathsValDouble, ShortDecimalsRoundAsFromChars)
{
    struct Case {
        const char* text;
        const char* number; // the part that makes the value
        bool negative;
        std::int32_t errorPos;
    };
    const Case cases[] = {
        {"0023.5", "0023.5", false, 0}, {"-0012.3", "0012.3", true, 0}, {" 0023.5", "0023.5", false, 0},
        {"1.", "1.", false, 0}, {".5", ".5", false, 0}, {"0.1", "0.1", false, 0},
        {"123456789012345", "123456789012345", false, 0},
        {"1234567890123456", "1234567890123456", false, 0},
        {"9007199254740993", "9007199254740993", false, 0},
        {"0.00000000000001", "0.00000000000001", false, 0},
        {"0.000000000000001", "0.000000000000001", false, 0},
        {"12345678.9012345", "12345678.9012345", false, 0},
        {"000000000000000000001.5", "000000000000000000001.5", false, 0},
        {"+7.25x", "7.25", false, 6}, {"1e5", "1e5", false, 0}, {"2.5e", "2.5", false, 4},
        {"-0.0", "0.0", true, 0}, {"0023,5", "0023", false, 5},
    };
    for (const Case& c : cases) {
        std::int32_t pos = -1;
        const double value = valDouble(c.text, pos);
        EXPECT_EQ(value, reference(c.number, c.negative)) << c.text;
        EXPECT_EQ(std::signbit(value), c.negative) << c.text;
        EXPECT_EQ(pos, c.errorPos) << c.text;
    }
}

TEST(FastPathsValDouble, EveryLogValueAndRandomMantissasRoundAsFromChars)
{
    char text[8];
    std::int32_t pos = 0;
    for (int n = 0; n <= 99999; ++n) {
        std::snprintf(text, sizeof text, "%04d.%d", n / 10, n % 10);
        ASSERT_EQ(valDouble(text, pos), reference(text, false)) << text;
    }
    std::mt19937_64 random(1250);
    for (int i = 0; i < 20000; ++i) {
        std::string number = std::to_string(random() % 1000000000000000000u);
        number.resize(1 + random() % number.size());
        number.insert(random() % (number.size() + 1), ".");
        ASSERT_EQ(valDouble(number, pos), reference(number, false)) << number;
    }
}

// ---- strToTime ----

double timeOfDay(int h, int m, int s)
{
    return static_cast<double>(((h * 60 + m) * 60 + s) * std::int64_t{1000}) / MsPerDay;
}

// Texts in the log's hh:mm:ss form, under formats for which that form must
// still be read by the general rules.
TEST(FastPathsStrToTime, TheLogsFormKeepsTheGeneralRules)
{
    const RegionalFormats plain;
    const RegionalFormats dots = regionalFormatsFromPatterns("%d.%m.%Y", "%H.%M.%S");
    RegionalFormats digitDesignator;
    digitDesignator.amDesignator = "1";
    RegionalFormats spaceSeparator;
    spaceSeparator.timeSeparator = ' ';
    RegionalFormats digitSeparator;
    digitSeparator.timeSeparator = '1';
    struct Case {
        const char* text;
        const RegionalFormats* formats;
        double value; // below 0: not a valid time
    };
    const Case cases[] = {
        {"00:00:00", &plain, 0.0}, {"23:59:59", &plain, timeOfDay(23, 59, 59)},
        {"09:05:07", &plain, timeOfDay(9, 5, 7)}, {"24:00:00", &plain, -1}, {"12:60:00", &plain, -1},
        {"12:00:60", &plain, -1}, {"1a:00:00", &plain, -1}, {"12:0 :00", &plain, timeOfDay(12, 0, 0)},
        {"12.34.56", &plain, -1}, {"12.34.56", &dots, timeOfDay(12, 34, 56)}, {"12:34:56", &dots, -1},
        {"11:00:00", &digitDesignator, timeOfDay(1, 0, 0)},
        {"12 34 56", &spaceSeparator, -1},
        {"12134156", &digitSeparator, -1},
    };
    for (const Case& c : cases) {
        if (c.value < 0) {
            EXPECT_THROW(strToTime(c.text, *c.formats), ConvertError) << c.text;
            continue;
        }
        EXPECT_EQ(strToTime(c.text, *c.formats), c.value) << c.text;
    }
}

} // namespace
} // namespace pom
