#include <gtest/gtest.h>

#include "chart_model.h"
#include "fakes.h"
#include "time_window.h"

namespace pom {
namespace {

constexpr double Second = 1.0 / 86400.0;
constexpr double Tolerance = 1e-9; // well below a millisecond

class TimeWindowTest : public ::testing::Test {
protected:
    void SetUp() override { restart(); }

    // A fresh run that starts at the clock's current moment.
    void restart()
    {
        m_chart = ChartModel();
        m_controls = test::FakeControls();
        m_memory = {};
        m_start = m_clock.now();
        m_controls.setText(Ctl::Edit10, "100");
        FreezeTimeAxis(m_chart);
        StartTimeWindow(m_chart, m_clock);
    }

    // One cycle's window and plot steps at start + seconds.
    void sampleAt(double seconds, double temperature = 20.0)
    {
        m_clock.set(m_start + seconds * Second);
        UpdateTimeWindow(m_chart, m_controls, m_clock, m_start, m_memory);
        PlotSample(m_chart, m_controls, m_clock, temperature);
    }

    void expectWindow(double fromSeconds, double toSeconds)
    {
        EXPECT_NEAR(m_chart.bottomMinimum(), m_start + fromSeconds * Second, Tolerance);
        EXPECT_NEAR(m_chart.bottomMaximum(), m_start + toSeconds * Second, Tolerance);
    }

    void sliding(const std::string& length)
    {
        m_controls.setChecked(Ctl::CheckBox2, true);
        m_controls.setText(Ctl::Edit10, length);
    }

    test::FakeClock m_clock;
    test::FakeControls m_controls;
    ChartModel m_chart;
    FieldMemory m_memory;
    DateTime m_start = 0;
};

TEST_F(TimeWindowTest, StartOpensAnInitialSpanWithAutomaticScalingOff)
{
    EXPECT_FALSE(m_chart.bottomAutomatic());
    expectWindow(0, 8.64);
}

TEST_F(TimeWindowTest, GrowingWindowStretchesWhenASampleReachesItsEdge)
{
    sampleAt(3);
    sampleAt(8);
    expectWindow(0, 8.64);
    sampleAt(10);
    expectWindow(0, 25);
    sampleAt(24.9);
    expectWindow(0, 25);
    sampleAt(25);
    expectWindow(0, 62.5);
    EXPECT_FALSE(m_memory.Edit10); // the length field is never read here
}

TEST_F(TimeWindowTest, SlidingWindowStaysUntilFullThenFollowsTheSamples)
{
    struct Case {
        const char* length;
        double windowSeconds;
    };
    for (const Case c : {Case{"100", 6048.0}, Case{"1", 60.48}}) {
        SCOPED_TRACE(c.length);
        restart();
        sliding(c.length);
        sampleAt(c.windowSeconds / 2);
        expectWindow(0, c.windowSeconds);
        sampleAt(c.windowSeconds + 10);
        expectWindow(10, c.windowSeconds + 10);
        sampleAt(c.windowSeconds + 12);
        expectWindow(12, c.windowSeconds + 12);
    }
}

TEST_F(TimeWindowTest, SwitchingFromSlidingToGrowingGoesBackToTheStart)
{
    sliding("1");
    sampleAt(100);
    expectWindow(100 - 60.48, 100);
    m_controls.setChecked(Ctl::CheckBox2, false);
    sampleAt(102);
    expectWindow(0, 102 + 1.5 * 102);
}

TEST_F(TimeWindowTest, SwitchingFromGrowingToSlidingKeepsTheStartUntilFull)
{
    sampleAt(10);
    expectWindow(0, 25);
    sliding("1");
    sampleAt(20);
    expectWindow(0, 60.48);
    sampleAt(70);
    expectWindow(70 - 60.48, 70);
}

TEST_F(TimeWindowTest, PlottingOffStillMovesTheWindowAndAddsNoPoint)
{
    sampleAt(10, 21.5);
    expectWindow(0, 25);
    EXPECT_EQ(m_chart.pointCount(), 0u);

    m_controls.setChecked(Ctl::CheckBox1, true);
    sampleAt(30, 22.5);
    ASSERT_EQ(m_chart.pointCount(), 1u);
    EXPECT_DOUBLE_EQ(m_chart.points()[0].x, m_start + 30 * Second);
    EXPECT_DOUBLE_EQ(m_chart.points()[0].y, 22.5);
}

TEST_F(TimeWindowTest, ClockSetBackInsertsInXOrderAndLeavesTheGrowingWindow)
{
    m_controls.setChecked(Ctl::CheckBox1, true);
    sampleAt(10, 1);
    sampleAt(20, 2);
    expectWindow(0, 25);
    sampleAt(15, 3);
    expectWindow(0, 25);
    ASSERT_EQ(m_chart.pointCount(), 3u);
    EXPECT_EQ(m_chart.points()[1].y, 3);
    EXPECT_EQ(m_chart.points()[2].y, 2);
}

TEST_F(TimeWindowTest, InvalidWindowLengthKeepsTheLastValidOneOrSkips)
{
    for (const char* bad : {"abc", "0", "-5", "", "1.5"}) {
        SCOPED_TRACE(bad);
        restart();
        sliding(bad);
        EXPECT_NO_THROW(sampleAt(100));
        expectWindow(0, 8.64); // never valid: the update is skipped

        sliding("1");
        sampleAt(100);
        sliding(bad);
        sampleAt(200);
        expectWindow(200 - 60.48, 200); // the last valid length goes on
    }
}

} // namespace
} // namespace pom
