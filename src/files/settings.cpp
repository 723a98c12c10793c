#include "settings.h"

#include "convert.h"
#include "cp1250.h"
#include "errors.h"
#include "text_file.h"

namespace pom {

namespace {

constexpr std::size_t FieldLimit = 32;   // bytes of a line the reader keeps
constexpr std::size_t NumberLimit = 16;  // bytes of an interval line converted
constexpr std::int32_t MinutesMs = 60000;
constexpr std::int32_t SecondsMs = 1000;
const std::string SlidingWord = "plynacy";
const std::string PlottingWord = "kresl";

std::int32_t wrap32(std::int64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

void writeLines(TextFile& file, Controls& controls)
{
    const auto field = [&](Ctl c) { file.writeLn(utf8ToCp1250(controls.text(c))); };
    file.writeLn(SettingsHeader);
    field(Ctl::Edit4);
    field(Ctl::Edit5);
    file.writeLn(controls.checked(Ctl::CheckBox3) ? "1" : "0");
    file.writeLn(controls.checked(Ctl::CheckBox2) ? SlidingWord : "auto");
    file.writeLn(controls.checked(Ctl::CheckBox1) ? PlottingWord : "blank");
    file.writeLn(intToStr(static_cast<std::int32_t>(controls.selectedColour())));
    field(Ctl::Edit10);
    field(Ctl::Edit1);
    field(Ctl::Edit2);
}

// The lenient number of an interval line, times its unit, in 32 bits.
std::int32_t intervalPart(const std::string& line, std::int32_t unitMs)
{
    std::int32_t errorPos = 0; // the run-time reports it; nobody consults it
    return wrap32(std::int64_t{valInt(line.substr(0, NumberLimit), errorPos)} * unitMs);
}

void readLines(TextFile& file, Controls& controls, std::int32_t& intervalWait)
{
    const auto line = [&] { return file.readLn(FieldLimit); };
    const auto field = [&](Ctl c, const std::string& bytes) { controls.setText(c, cp1250ToUtf8(bytes)); };
    file.readLn(0);
    field(Ctl::Edit4, line());
    field(Ctl::Edit5, line());
    controls.setChecked(Ctl::CheckBox3, line().starts_with('1'));
    controls.setChecked(Ctl::CheckBox2, line() == SlidingWord);
    controls.setChecked(Ctl::CheckBox1, line() == PlottingWord);
    controls.setSelectedColour(static_cast<Colour>(file.readIntegerLn()));
    field(Ctl::Edit10, line());
    const std::string minutes = line();
    intervalWait = intervalPart(minutes, MinutesMs);
    field(Ctl::Edit1, minutes);
    const std::string seconds = line();
    intervalWait = wrap32(std::int64_t{intervalWait} + intervalPart(seconds, SecondsMs));
    field(Ctl::Edit2, seconds);
}

} // namespace

void Button1Click(SettingsState& s, Controls& controls)
{
    s.SettingsFileName = SettingsFileDefaultName;
    s.SettingsFile.assign(s.SettingsFileName);
    s.SettingsFile.rewrite();
    try {
        writeLines(s.SettingsFile, controls);
    } catch (...) {
        // Release the file rather than hold it for the rest of the run; the
        // first error is the one the operator sees.
        try {
            s.SettingsFile.close();
        } catch (const Error&) {
        }
        throw;
    }
    s.SettingsFile.close();
}

void LoadSettings(Controls& controls, std::int32_t& intervalWait)
{
    TextFile file; // closed by its destructor when an error ends the load
    file.assign(SettingsFileDefaultName);
    file.reset();
    readLines(file, controls, intervalWait);
    file.close();
}

} // namespace pom
