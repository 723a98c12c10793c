// The run-time's conversions and the text file's reads on arbitrary bytes.
// A conversion error is the program's own report; the checks below are the
// promises the callers build on.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "convert.h"
#include "cp1250.h"
#include "errors.h"
#include "fuzz_support.h"
#include "regional.h"
#include "text_file.h"

namespace {

using pom::fuzz::Require;

const pom::RegionalFormats Formats24 = pom::regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
const pom::RegionalFormats Formats12 =
    pom::regionalFormatsFromPatterns("%Y-%m-%d", "%p %I.%M.%S", "rano", "po południu");

// An error's message as what() gives it: up to the first NUL of the text.
bool namesText(const pom::Error& e, const std::string& text, const std::string& rest)
{
    const std::string full = "'" + text + "'" + rest;
    return e.what() == full.substr(0, full.find('\0'));
}

void checkIntegers(const std::string& text)
{
    const auto maybe = pom::tryStrToInt(text);
    try {
        const std::int32_t value = pom::strToInt(text);
        Require(maybe == value, "strToInt and tryStrToInt agree");
        Require(pom::strToInt(pom::intToStr(value)) == value, "an integer's text reads back");
    } catch (const pom::ConvertError& e) {
        Require(!maybe, "strToInt and tryStrToInt agree on failure");
        Require(namesText(e, text, " is not a valid integer value"), "the integer message names the text");
    }
    std::int32_t errorPos = -1;
    const std::int32_t lenient = pom::valInt(text, errorPos);
    Require(errorPos >= 0 && static_cast<std::size_t>(errorPos) <= text.size() + 1, "valInt's error position lies in the text");
    if (errorPos == 0 && maybe)
        Require(lenient == *maybe, "a whole decimal number reads the same both ways");
}

// Our decimal reading against the C library's, for a text we read completely.
void checkReal(const std::string& text)
{
    std::int32_t errorPos = -1;
    const double value = pom::valDouble(text, errorPos);
    Require(!std::isnan(value), "valDouble gives a number");
    Require(errorPos >= 0 && static_cast<std::size_t>(errorPos) <= text.size() + 1, "valDouble's error position lies in the text");
    if (errorPos != 0 || text.empty() || text.find('\0') != std::string::npos)
        return;
    const double reference = std::strtod(text.c_str(), nullptr);
    if (std::fabs(reference) < DBL_MIN) // below the normal range we read 0
        Require(std::fabs(value) < DBL_MIN, "a tiny number reads as tiny");
    else
        Require(value == reference, "valDouble agrees with strtod");
}

void checkTime(const std::string& text, const pom::RegionalFormats& formats)
{
    double t = 0;
    try {
        t = pom::strToTime(text, formats);
    } catch (const pom::ConvertError& e) {
        Require(namesText(e, text, " is not a valid time"), "the time message names the text");
        return;
    }
    Require(t >= 0 && t < 1, "a time is a fraction of a day");
    // What the log writes for that time reads back as the same time.
    const std::string written = pom::formatTime(46367 + t, formats);
    Require(pom::strToTime(written, formats) == t, "a written time reads back");
}

void checkCodePage(const std::string& bytes)
{
    Require(pom::utf8ToCp1250(pom::cp1250ToUtf8(bytes)) == bytes, "every byte survives a round trip");
    Require(pom::utf8ToCp1250(bytes).size() <= bytes.size(), "a character takes one byte");
}

// readLn and readIntegerLn in turn over the bytes as a file, with capacities
// from 0 to the replay's 105.
void checkTextFile(const std::string& bytes)
{
    const auto path = pom::fuzz::PrivatePath("lines.txt");
    pom::fuzz::WriteBytes(path, bytes);
    pom::TextFile file;
    file.assign(path.string());
    file.reset();
    constexpr std::size_t Capacities[] = {0, 1, 7, 32, 105};
    std::size_t reads = 0;
    for (; !file.eof(); ++reads) {
        Require(reads <= bytes.size(), "every read moves on");
        if (reads % 3 == 2) {
            try {
                (void)file.readIntegerLn();
            } catch (const pom::InOutError& e) {
                Require(e.code() == pom::io::InvalidNumericInput, "a bad number is invalid numeric input");
            }
            continue;
        }
        const std::size_t capacity = Capacities[reads % std::size(Capacities)];
        const std::string line = file.readLn(capacity);
        Require(line.size() <= capacity, "a line is cut at its capacity");
        Require(line.find_first_of("\r\n") == std::string::npos, "a line holds no line end");
    }
    file.close();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    pom::fuzz::EnterPrivateDirectory();
    const std::string text(pom::fuzz::AsText(data, size));
    checkIntegers(text);
    checkReal(text);
    checkTime(text, Formats24);
    checkTime(text, Formats12);
    checkCodePage(text);
    checkTextFile(text);
    return 0;
}
