// The measurement cycle against a thermometer that misbehaves on a real
// pseudo-terminal: silent, garbage, short and long replies, and a device
// that vanishes and comes back under the same name.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>

#include "cycle.h"
#include "fault_support.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace pom {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// Long enough for the simulator's 20 ms reply, short enough for a quick test.
constexpr int QuickReplyWaitMs = 300;

class SerialFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDir = fs::current_path();
        fs::current_path(m_work.path());
        CreateDefaultLog(m_w.log);
    }
    void TearDown() override { fs::current_path(m_oldDir); }

    void start(std::vector<std::string> options)
    {
        options.insert(options.end(), {"--delay-ms", "20"});
        m_sim = std::make_unique<test::SimProcess>(POM_THERMO_SIM, m_links.path(), options);
        ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    }
    void tell(const std::string& command)
    {
        ASSERT_TRUE(m_sim->command(command).starts_with("ok")) << command;
    }
    std::chrono::milliseconds timedCycle()
    {
        const auto started = SteadyClock::now();
        EXPECT_TRUE(MeasurementCycle(m_env));
        return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - started);
    }
    test::LogContents log() const { return test::readLog(m_w.log.LogFileName); }

    test::TempDir m_work, m_links;
    std::unique_ptr<test::SimProcess> m_sim;
    std::unique_ptr<SerialPort> m_port = makePosixSerialPort(m_links.path());
    test::CycleWorld m_w;
    ChannelState& m_ch = m_w.channel;
    test::SleepGate m_gate;
    int m_beeps = 0;
    CycleEnv m_env{m_ch, *m_port, m_w.log, m_w.samples, m_w.cycle, m_w.controls, m_w.chart,
                   m_w.clock, m_w.formats, m_gate, CycleHooks{[this] { ++m_beeps; }, {}}, QuickReplyWaitMs};

private:
    fs::path m_oldDir;
};

// One cycle of a script: what the simulator is told first, then what the
// cycle logs (nothing: a cycle without reply) and the temperature it makes.
struct Step {
    std::vector<std::string> commands;
    std::optional<std::string> value;
    double temperature = 0.0;
};

struct Script {
    const char* name;
    std::vector<Step> steps;
};

const Script Scripts[] = {
    {"silent", {{{"silent"}, std::nullopt}, {{}, std::nullopt}, {{}, std::nullopt}}},
    {"garbage", {{{"garbage"}, "xx?!zz\r", 0.0}}},
    {"short_keeps_the_old_tail", {{{"value -7.1"}, "-0007.1", -7.1}, {{"value 45.6", "short"}, "+0007.1", 7.1}}},
    {"short_after_silence", {{{"silent"}, std::nullopt}, {{"short"}, "+00", 0.0}}},
    {"long_is_read_across_two_cycles",
     {{{"value 11.1", "long"}, "+0011.1", 11.1},
      {{"value 22.2", "normal"}, "0011.1\r", 11.1},
      {{}, "+0022.2", 22.2}}},
};

// Names the case in test output instead of its bytes.
void PrintTo(const Script& script, std::ostream* out)
{
    *out << script.name;
}

class BrokenReplies : public SerialFaults, public ::testing::WithParamInterface<Script> {};

TEST_P(BrokenReplies, AreLoggedAsTheCycleReadsThem)
{
    start({"--constant", "23.5"});
    std::vector<std::string> logged;
    for (const Step& step : GetParam().steps) {
        for (const auto& command : step.commands)
            tell(command);
        const int beepsBefore = m_beeps;
        const std::string shownBefore = m_w.controls.text(Ctl::Edit3);
        MeasurementCycle(m_env);
        if (step.value) {
            logged.push_back(*step.value);
            EXPECT_EQ(m_beeps, beepsBefore);
            EXPECT_EQ(m_w.controls.text(Ctl::Edit3), *step.value);
            EXPECT_DOUBLE_EQ(m_w.samples.Temperature, step.temperature);
        } else {
            EXPECT_EQ(m_beeps, beepsBefore + 1);
            EXPECT_EQ(m_w.controls.text(Ctl::Edit3), shownBefore);
            EXPECT_EQ(m_ch.RxBuffer, Buffer65{});
        }
        EXPECT_EQ(m_w.samples.SampleCount, static_cast<int>(logged.size()));
    }
    const auto contents = log();
    EXPECT_EQ(contents.fault, "");
    EXPECT_EQ(test::countsProblem(contents, 1), "");
    EXPECT_EQ(contents.values, logged);
}

INSTANTIATE_TEST_SUITE_P(Thermometer, BrokenReplies, ::testing::ValuesIn(Scripts),
                         [](const auto& script) { return std::string(script.param.name); });

// The line as the reopened descriptor has it: raw 2400 8N1, no flow control.
void expectRawLine(const std::string& device)
{
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0) << device;
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(::cfgetospeed(&t), B2400);
    EXPECT_EQ(t.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL), 0u);
}

TEST_F(SerialFaults, VanishedPortIsACycleWithoutReplyEveryTwoSecondsUntilTheSameNameReturns)
{
    start({"--ramp", "20:0.1"});
    m_env.replyWaitMs = ReplyWaitMs;
    const SerialHandle handle = m_ch.PortHandle;
    MeasurementCycle(m_env);
    ASSERT_EQ(log().counts.size(), 1u);

    tell("vanish");
    for (int i = 1; i <= 3; ++i) {
        const auto took = timedCycle();
        EXPECT_EQ(m_beeps, i);
        EXPECT_GE(took, 1900ms);
        EXPECT_LT(took, 2300ms);
    }
    EXPECT_EQ(log().counts.size(), 1u);

    const std::string ready = m_sim->command("return");
    ASSERT_TRUE(ready.starts_with("ready /")) << ready;
    // The lost port is looked for once a second, so the first cycle may
    // only find it at its read.
    for (int i = 0; i < 3 && log().counts.size() < 2; ++i)
        MeasurementCycle(m_env);

    EXPECT_EQ(m_ch.PortHandle, handle);
    const auto contents = log();
    ASSERT_EQ(contents.counts.size(), 2u);
    EXPECT_EQ(test::countsProblem(contents, 1), "");
    EXPECT_EQ(contents.values, (std::vector<std::string>{"+0020.0", "+0020.1"}));
    Dcb dcb;
    ASSERT_TRUE(m_port->getCommState(handle, dcb));
    EXPECT_EQ(dcb.BaudRate, 2400u);
    EXPECT_EQ(dcb.ByteSize, 8u);
    EXPECT_EQ(dcb.Parity, 0u);
    EXPECT_EQ(dcb.StopBits, 0u);
    // Root passes the port's exclusive flag by and can look at the line itself.
    if (::geteuid() == 0)
        expectRawLine(ready.substr(6));
}

} // namespace
} // namespace pom
