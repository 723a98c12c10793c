// A thousand random pauses and resumes, then an exit, against the simulator
// on a real pseudo-terminal. Run under ThreadSanitizer by ./test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "chart_model.h"
#include "crossing.h"
#include "fakes.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "time_window.h"
#include "worker.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> logLines(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class PauseStress : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDir = fs::current_path();
        fs::current_path(m_work.path());
        CreateDefaultLog(log);
        cycle.RunFlag = -1;
        sim = std::make_unique<test::SimProcess>(POM_THERMO_SIM, m_links.path(),
                                                 std::vector<std::string>{"--delay-ms", "1", "--ramp", "20:0.1"});
        port = makePosixSerialPort(m_links.path());
        ASSERT_TRUE(OpenPort(ch, *port, 7));
        FreezeTimeAxis(chart);
        StartTimeWindow(chart, clock);
        ui.bindToCurrentThread();
    }
    void TearDown() override { fs::current_path(m_oldDir); }
    void serve(int ms) { ui.drainUntil([] { return false; }, ms); }

    test::TempDir m_work, m_links;
    std::unique_ptr<test::SimProcess> sim;
    std::unique_ptr<SerialPort> port;
    ChannelState ch;
    SystemClock clock;
    test::FakeControls controls;
    LogState log;
    SampleState samples;
    CycleState cycle;
    ChartModel chart;
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    UiQueue ui{{}};

private:
    fs::path m_oldDir;
};

TEST_F(PauseStress, NothingIsLoggedWhilePausedAndNoLineIsLostOrRepeated)
{
    controls.setChecked(Ctl::CheckBox1, true);
    controls.setChecked(Ctl::CheckBox3, true);
    CrossingControls workerControls(ui, controls);
    CrossingChart workerChart(ui, chart);
    auto worker = std::make_unique<MeasurementWorker>(ui);
    CycleEnv env{ch, *port, log, samples, cycle, workerControls, workerChart, clock, formats,
                 worker->gate(), CycleHooks{}, 15};
    worker->start(env);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> running(0, 12), paused(0, 4);
    int loggedWhilePaused = 0;
    for (int i = 0; i < 1000; ++i) {
        serve(running(random));
        worker->pause();
        const auto atPause = logLines(log.LogFileName).size();
        serve(paused(random));
        if (logLines(log.LogFileName).size() != atPause)
            ++loggedWhilePaused;
        worker->resume();
    }
    serve(50);
    worker->stop();
    const auto lines = logLines(log.LogFileName);
    worker.reset();

    EXPECT_EQ(loggedWhilePaused, 0);
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(static_cast<std::size_t>(samples.SampleCount), lines.size());
    EXPECT_EQ(chart.pointCount(), lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        ASSERT_EQ(lines[i].substr(0, lines[i].find('\t')), std::to_string(i + 1)) << "line " << i;
}

} // namespace
} // namespace pom
