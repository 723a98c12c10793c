// The measurement cycle on a fake port, a fake clock and fake controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "chart_model.h"
#include "cycle.h"
#include "fakes.h"
#include "time_window.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

class Cycle : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pom-cycle-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_oldDir = fs::current_path();
        fs::current_path(m_dir);
        CreateDefaultLog(log);
        cycle.RunFlag = -1;
        cycle.StartTime = clock.now();
        FreezeTimeAxis(chart);
        StartTimeWindow(chart, clock);
    }
    void TearDown() override
    {
        fs::current_path(m_oldDir);
        fs::remove_all(m_dir);
    }
    // A thermometer on port 1, opened as discovery leaves it.
    void connect(test::FakeSerialPort::Responder responder)
    {
        port.add(1, std::move(responder));
        ASSERT_TRUE(OpenPort(ch, port, 1));
    }
    void run(int cycles)
    {
        test::FakeGate gate(clock, cycles);
        gate.trace = trace;
        CycleEnv env{ch, port, log, samples, cycle, controls, chart, clock, formats, gate,
                     CycleHooks{[this] { dialogs.beep(); }, logFailed}};
        MeasurementLoop(env);
    }
    std::vector<std::string> logLines()
    {
        std::ifstream in(log.LogFileName, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    std::string valueOfLine(std::size_t i) { return logLines().at(i).substr(logLines().at(i).rfind('\t') + 1); }

    ChannelState ch;
    test::FakeSerialPort port;
    test::FakeClock clock;  // 2026-12-11 12:00:00
    test::FakeDialogs dialogs;
    test::FakeControls controls;
    LogState log;
    SampleState samples;
    CycleState cycle;
    ChartModel chart;
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    test::Trace* trace = nullptr;
    std::function<void(const std::string&)> logFailed;

private:
    fs::path m_dir, m_oldDir;
};

TEST_F(Cycle, OneCycleTouchesPortLogDisplayChartAndAlarmInItsOrder)
{
    test::Trace t;
    trace = &t;
    port.trace = controls.trace = &t;
    controls.setChecked(Ctl::CheckBox1, true);
    controls.setChecked(Ctl::CheckBox3, true);
    bool logOpenAtDisplay = false;
    controls.onChange = [&](Ctl c) {
        if (c == Ctl::Edit3)
            logOpenAtDisplay = log.LogFile.isOpen();
    };
    connect(test::answer("+0023.5\r"));
    t.events.clear();
    run(1);

    const std::vector<std::string> expected{
        "send 01t?\r", "wait 1950", "read", "text +0023.5",
        "colours 12632256", "hide", "wait 0"};
    EXPECT_EQ(t.events, expected);
    EXPECT_TRUE(logOpenAtDisplay);
    EXPECT_FALSE(log.LogFile.isOpen());
    EXPECT_EQ(samples.SampleCount, 1);
    EXPECT_DOUBLE_EQ(samples.Temperature, 23.5);
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_EQ(logLines()[0], "1\t12:00:01\t+0023.5\r");  // after the 1950 ms reply wait
    EXPECT_EQ(chart.pointCount(), 1u);
}

TEST_F(Cycle, NoReplyBeepsClearsTheBufferAndQueriesAgainAtOnce)
{
    test::Trace t;
    trace = &t;
    port.trace = &t;
    connect({});
    ch.RxBuffer.fill('9');
    controls.setText(Ctl::Edit2, "30");
    t.events.clear();
    run(2);
    const std::vector<std::string> expected{"send 01t?\r", "wait 1950", "send 01t?\r", "wait 1950"};
    EXPECT_EQ(t.events, expected);  // no interval wait, no read
    EXPECT_EQ(dialogs.beeps, 2);
    EXPECT_EQ(ch.RxBuffer, Buffer65{});
    EXPECT_EQ(samples.SampleCount, 0);
    EXPECT_TRUE(logLines().empty());
    EXPECT_EQ(controls.text(Ctl::Edit3), "");
}

TEST_F(Cycle, AShortReplyKeepsTheOldBytesBehindIt)
{
    int query = 0;
    connect([&](const std::vector<std::uint8_t>&) {
        const std::string reply = ++query == 1 ? "+0023.5\r" : "-1";
        return std::vector<std::uint8_t>(reply.begin(), reply.end());
    });
    run(2);
    EXPECT_EQ(valueOfLine(1), "-1023.5\r");
    EXPECT_EQ(controls.text(Ctl::Edit3), "-1023.5");
}

TEST_F(Cycle, ANulAmongTheFirstSevenBytesEndsTheValue)
{
    const std::string reply("+00\0" "23.5\r", 8);
    connect(test::answer(reply));
    run(1);
    EXPECT_EQ(valueOfLine(0), "+00\r");
    EXPECT_DOUBLE_EQ(samples.Temperature, 0.0);
}

TEST_F(Cycle, MoreThan65BytesAreReadAcrossTwoCycles)
{
    int query = 0;
    connect([&](const std::vector<std::uint8_t>&) {
        std::string reply = ++query == 1 ? "+0021.0" + std::string(58, 'x') + "+0022.0" + std::string(8, 'y')
                                         : "+0023.5\r";
        return std::vector<std::uint8_t>(reply.begin(), reply.end());
    });
    run(2);
    EXPECT_EQ(valueOfLine(0), "+0021.0\r");
    EXPECT_EQ(valueOfLine(1), "+0022.0\r");  // the 15 left over come first
}

struct IntervalCase {
    const char* minutes;
    const char* seconds;
    int wait;
};

class Interval : public Cycle, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(Interval, IsRecomputedFromTheFieldsBeforeEachWait)
{
    test::Trace t;
    trace = &t;
    controls.setText(Ctl::Edit1, GetParam().minutes);
    controls.setText(Ctl::Edit2, GetParam().seconds);
    connect(test::answer("+0023.5\r"));
    run(1);
    EXPECT_EQ(t.events.back(), "wait " + std::to_string(GetParam().wait));
    EXPECT_EQ(cycle.IntervalWait, GetParam().wait);
}

INSTANTIATE_TEST_SUITE_P(Table, Interval, ::testing::Values(
    IntervalCase{"0", "0", 0},
    IntervalCase{"0", "2", 0},       // 2000 is not above 2000
    IntervalCase{"0", "3", 1000},
    IntervalCase{"1", "0", 58000},
    IntervalCase{"", "5", 3000},     // empty is 0 without a conversion
    IntervalCase{"00", "3", 1000},
    IntervalCase{" 5", "0", 298000},
    IntervalCase{"-1", "0", 0},
    IntervalCase{"abc", "4", 2000},  // a typo keeps the last value (0 here)
    IntervalCase{"$A", "0", 598000}));

TEST_F(Cycle, ALogThatCannotBeOpenedHoldsTheLineAndWritesItOnResume)
{
    connect(test::answer("+0023.5\r"));
    run(1);
    fs::remove(log.LogFileName);
    std::vector<std::string> reported;
    logFailed = [&](const std::string& message) {
        reported.push_back(message);
        std::ofstream(log.LogFileName, std::ios::app);  // the operator mends it
    };
    run(2);  // the second checkpoint is the resume
    EXPECT_EQ(reported, std::vector<std::string>{"File not found"});
    ASSERT_EQ(logLines().size(), 1u);
    EXPECT_EQ(logLines()[0].substr(0, 2), "2\t");
    EXPECT_EQ(controls.text(Ctl::Edit3), "+0023.5");  // display and chart went on
    EXPECT_EQ(chart.pointCount(), 0u);               // plotting is off
}

TEST_F(Cycle, AnExitWhileHeldForTheLogEndsTheLoop)
{
    connect(test::answer("+0023.5\r"));
    fs::remove(log.LogFileName);
    int reports = 0;
    logFailed = [&](const std::string&) { ++reports; };
    run(1);  // the one checkpoint is used by the loop; the hold then ends it
    EXPECT_EQ(reports, 1);
    EXPECT_EQ(samples.SampleCount, 1);
}

} // namespace
} // namespace pom
