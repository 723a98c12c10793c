// The worker thread against the real gate and UI queue, with this test's
// thread playing the UI thread.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "chart_model.h"
#include "crossing.h"
#include "fakes.h"
#include "time_window.h"
#include "worker.h"

namespace pom {
namespace {

namespace fs = std::filesystem;
using Ms = std::chrono::milliseconds;

class Worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("pom-worker-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
        m_oldDir = fs::current_path();
        fs::current_path(m_dir);
        CreateDefaultLog(log);
        cycle.RunFlag = -1;
        FreezeTimeAxis(chart);
        StartTimeWindow(chart, clock);
        port.add(1, test::answer("+0023.5\r"));
        OpenPort(ch, port, 1);
        ui.bindToCurrentThread();
    }
    void TearDown() override
    {
        worker.stop();
        fs::current_path(m_oldDir);
        fs::remove_all(m_dir);
    }
    std::size_t lines()
    {
        std::ifstream in(log.LogFileName, std::ios::binary);
        std::size_t n = 0;
        for (std::string line; std::getline(in, line);)
            ++n;
        return n;
    }
    // Serves the worker for a while, as the event loop would.
    void serve(Ms time) { ui.drainUntil([] { return false; }, static_cast<int>(time.count())); }

    ChannelState ch;
    test::FakeSerialPort port;
    SystemClock clock;
    test::FakeControls controls;
    LogState log;
    SampleState samples;
    CycleState cycle;
    ChartModel chart;
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    UiQueue ui{{}};
    CrossingControls crossingControls{ui, controls};
    CrossingChart crossingChart{ui, chart};
    MeasurementWorker worker{ui};
    CycleEnv env{ch, port, log, samples, cycle, crossingControls, crossingChart, clock, formats,
                 worker.gate(), CycleHooks{}, 5};

private:
    fs::path m_dir, m_oldDir;
};

TEST_F(Worker, APauseStopsLoggingUntilResumeAndTheCountGoesOn)
{
    worker.start(env);
    serve(Ms(100));
    worker.pause();
    const std::size_t atPause = lines();
    const std::string shown = controls.text(Ctl::Edit3);
    serve(Ms(150));
    EXPECT_GT(atPause, 0u);
    EXPECT_EQ(lines(), atPause);
    EXPECT_EQ(static_cast<std::size_t>(samples.SampleCount), atPause);
    worker.resume();
    serve(Ms(100));
    EXPECT_GT(lines(), atPause);
    EXPECT_EQ(shown, "+0023.5");
}

TEST_F(Worker, StopEndsTheThreadEvenInsideTheLongWaits)
{
    env.replyWaitMs = 60000;
    worker.start(env);
    serve(Ms(20));
    const auto before = std::chrono::steady_clock::now();
    worker.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, Ms(500));
    const int sentBefore = static_cast<int>(port.device(1).written.size());
    serve(Ms(50));
    EXPECT_EQ(static_cast<int>(port.device(1).written.size()), sentBefore);
}

TEST_F(Worker, StopWhilePausedNeedsNoResume)
{
    worker.start(env);
    serve(Ms(50));
    worker.pause();
    const std::size_t atPause = lines();
    worker.stop();
    EXPECT_EQ(lines(), atPause);
}

TEST_F(Worker, TimeSpentPausedCountsTowardsTheWaitInProgress)
{
    controls.setText(Ctl::Edit2, "3");  // a 1000 ms interval wait
    worker.start(env);
    serve(Ms(100));
    ASSERT_EQ(lines(), 1u);
    worker.pause();
    serve(Ms(1200));
    worker.resume();
    serve(Ms(150));  // the wait is over already: the next sample follows at once
    EXPECT_EQ(lines(), 2u);
}

} // namespace
} // namespace pom
