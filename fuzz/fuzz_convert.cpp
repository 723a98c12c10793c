// The run-time's conversions and the text file's reads on arbitrary bytes.
// A conversion error is the program's own report; the checks below are the
// promises the callers build on.
#include <algorithm>
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

// The text file's reads as its rules state them, on the bytes in memory:
// a line ends at LF, is cut at a CR and at its capacity; an integer skips
// blanks across lines, takes up to 32 bytes above code 32 and then the rest
// of its line.
class ReferenceFile {
public:
    explicit ReferenceFile(std::string_view bytes) : m_bytes(bytes) {}
    bool eof() const { return m_pos >= m_bytes.size(); }

    std::string readLn(std::size_t capacity)
    {
        const std::size_t lf = std::min(m_bytes.find('\n', m_pos), m_bytes.size());
        std::string_view line = m_bytes.substr(m_pos, lf - m_pos);
        line = line.substr(0, std::min(line.find('\r'), capacity));
        m_pos = std::min(lf + 1, m_bytes.size());
        return std::string(line);
    }

    void skipInteger()
    {
        while (!eof() && static_cast<unsigned char>(m_bytes[m_pos]) <= 32)
            ++m_pos;
        if (eof())
            return;
        for (std::size_t taken = 0; taken < 32 && !eof() && static_cast<unsigned char>(m_bytes[m_pos]) > 32; ++taken)
            ++m_pos;
        readLn(0);
    }

private:
    std::string_view m_bytes;
    std::size_t m_pos = 0;
};

// readLn and readIntegerLn in turn over the bytes as a file, with capacities
// from 0 to the replay's 105, against the reference. A first line of
// prefixLength bytes places the bytes where the file's read-ahead blocks meet.
void checkTextFile(const std::string& bytes, std::size_t prefixLength)
{
    const std::string prefix = prefixLength == 0 ? std::string() : std::string(prefixLength - 1, 'p') + '\n';
    const auto path = pom::fuzz::PrivatePath("lines.txt");
    pom::fuzz::WriteBytes(path, prefix + bytes);
    pom::TextFile file;
    file.assign(path.string());
    file.reset();
    if (prefixLength > 0)
        Require(file.readLn(0).empty(), "a line read with no room is empty");
    ReferenceFile reference(bytes);
    constexpr std::size_t Capacities[] = {0, 1, 7, 32, 105, 4096};
    for (std::size_t reads = 0; !reference.eof(); ++reads) {
        Require(!file.eof(), "the file ends where its bytes do");
        if (reads % 3 == 2) {
            try {
                (void)file.readIntegerLn();
            } catch (const pom::InOutError& e) {
                Require(e.code() == pom::io::InvalidNumericInput, "a bad number is invalid numeric input");
            }
            reference.skipInteger();
            continue;
        }
        const std::size_t capacity = Capacities[reads % std::size(Capacities)];
        Require(file.readLn(capacity) == reference.readLn(capacity), "a line reads as the rules say");
    }
    Require(file.eof(), "the file ends where its bytes do");
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
    constexpr std::size_t ReadAheadBlock = 65536;
    checkTextFile(text, 0);
    checkTextFile(text, ReadAheadBlock - text.size() / 2);
    return 0;
}
