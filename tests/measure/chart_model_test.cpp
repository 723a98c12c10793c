#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "chart_model.h"
#include "errors.h"

namespace pom {
namespace {

// Insertion as the series defines it, done the slow way.
void naiveInsert(std::vector<ChartPoint>& points, ChartPoint p)
{
    auto it = points.begin();
    while (it != points.end() && it->x <= p.x)
        ++it;
    points.insert(it, p);
}

std::vector<ChartPoint> randomPoints(std::size_t count, int distinctX, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> x(0, distinctX - 1);
    std::uniform_real_distribution<double> y(-50.0, 50.0);
    std::vector<ChartPoint> points(count);
    for (auto& p : points)
        p = {static_cast<double>(x(random)), y(random)};
    return points;
}

void expectSamePoints(const std::vector<ChartPoint>& actual, const std::vector<ChartPoint>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_EQ(actual[i].x, expected[i].x) << i;
        ASSERT_EQ(actual[i].y, expected[i].y) << i;
    }
}

TEST(ChartModelTest, EqualXGoesAfterThePointsAlreadyThere)
{
    ChartModel chart;
    for (const ChartPoint p : {ChartPoint{1, 10}, {3, 30}, {2, 20}, {2, 21}, {1, 11}})
        chart.addPoint(p.x, p.y);
    expectSamePoints(chart.points(), {{1, 10}, {1, 11}, {2, 20}, {2, 21}, {3, 30}});
}

TEST(ChartModelTest, SingleAndBulkInsertionAgreeWithTheSlowRule)
{
    const auto first = randomPoints(3000, 50, 1);
    const auto second = randomPoints(3000, 60, 2);
    std::vector<ChartPoint> expected;
    ChartModel one;
    ChartModel bulk;
    for (const auto& p : first) {
        naiveInsert(expected, p);
        one.addPoint(p.x, p.y);
    }
    bulk.addPoints(first);
    for (const auto& p : second)
        naiveInsert(expected, p);
    bulk.addPoints(second);
    for (const auto& p : second)
        one.addPoint(p.x, p.y);
    // Already in order and not before the last point: the bulk load's fast path.
    auto third = randomPoints(500, 20, 3);
    for (auto& p : third)
        p.x += 59;
    std::stable_sort(third.begin(), third.end(), [](auto a, auto b) { return a.x < b.x; });
    for (const auto& p : third) {
        naiveInsert(expected, p);
        one.addPoint(p.x, p.y);
    }
    bulk.addPoints(third);
    expectSamePoints(one.points(), expected);
    expectSamePoints(bulk.points(), expected);
}

TEST(ChartModelTest, AxisRefusesAnInvertedRangeWithTheChartsMessages)
{
    ChartModel chart;
    chart.setBottomAutomatic(false);
    chart.setBottomMaximum(10);
    chart.setBottomMinimum(10); // equal ends are allowed
    try {
        chart.setBottomMinimum(10.5);
        FAIL() << "no error";
    } catch (const ChartError& e) {
        EXPECT_STREQ(e.what(), "Axis Minimum Value must be <= Maximum");
    }
    try {
        chart.setBottomMaximum(9.5);
        FAIL() << "no error";
    } catch (const ChartError& e) {
        EXPECT_STREQ(e.what(), "Axis Maximum Value must be >= Minimum");
    }
    EXPECT_EQ(chart.bottomRange(), (std::pair{10.0, 10.0}));
}

TEST(ChartModelTest, AutomaticRangeFollowsTheDataAndSwitchingOffKeepsIt)
{
    ChartModel chart;
    EXPECT_EQ(chart.bottomRange(), (std::pair{0.0, 0.0}));
    chart.addPoint(5, 1);
    chart.addPoint(2, 1);
    EXPECT_EQ(chart.bottomRange(), (std::pair{2.0, 5.0}));
    chart.setBottomAutomatic(false);
    chart.addPoint(9, 1);
    EXPECT_EQ(chart.bottomRange(), (std::pair{2.0, 5.0}));
    chart.setBottomAutomatic(true);
    EXPECT_EQ(chart.bottomRange(), (std::pair{2.0, 9.0}));
}

TEST(ChartModelTest, ListenerHearsEveryChangeAndABulkAddOnce)
{
    ChartModel chart;
    int calls = 0;
    chart.setChangeListener([&] { ++calls; });
    chart.addPoints(randomPoints(500, 100, 3));
    EXPECT_EQ(calls, 1);
    chart.addPoint(1, 1);
    chart.setTitle("t");
    chart.setSeriesColour(colours::Blue);
    chart.setSeriesActive(false);
    chart.setBottomAutomatic(false);
    chart.setBottomMaximum(200);
    chart.setBottomMinimum(0);
    EXPECT_EQ(calls, 8);
    EXPECT_EQ(chart.pointCount(), 501u); // hiding removes no points
    chart.clearPoints();
    EXPECT_EQ(calls, 9);
    EXPECT_EQ(chart.pointCount(), 0u);
    EXPECT_FALSE(chart.yRange(-1e9, 1e9));
}

TEST(ChartModelTest, YRangeMatchesAScanAfterInsertionsAnywhere)
{
    ChartModel chart;
    chart.addPoints(randomPoints(20000, 5000, 4));
    for (const auto& p : randomPoints(300, 5000, 5))
        chart.addPoint(p.x + 0.5, p.y * 3); // some new extremes, inserted mid-series
    const auto& points = chart.points();
    std::mt19937 random(6);
    std::uniform_real_distribution<double> edge(-10, 5010);
    for (int i = 0; i < 300; ++i) {
        auto [from, to] = std::pair{edge(random), edge(random)};
        if (from > to)
            std::swap(from, to);
        std::optional<std::pair<double, double>> expected;
        for (const auto& p : points)
            if (p.x >= from && p.x <= to)
                expected = expected ? std::pair{std::min(expected->first, p.y),
                                                std::max(expected->second, p.y)}
                                    : std::pair{p.y, p.y};
        ASSERT_EQ(chart.yRange(from, to), expected) << from << ".." << to;
    }
}

TEST(ChartModelTest, DecimationKeepsEachColumnsExtremesAndTheEdges)
{
    ChartModel chart;
    auto points = randomPoints(100000, 1000000, 7);
    chart.addPoints(points);
    const double from = 100000, to = 900000;
    const int columns = 300;
    const auto shown = chart.decimated(from, to, columns);

    EXPECT_LE(shown.size(), 4u * columns + 2);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end(),
                               [](auto a, auto b) { return a.x < b.x; }));
    EXPECT_LT(shown.front().x, from);
    EXPECT_GT(shown.back().x, to);
    const double width = (to - from) / columns;
    for (int c = 0; c < columns; ++c) {
        const double lo = from + c * width, hi = from + (c + 1) * width;
        double low = 1e9, high = -1e9;
        for (const auto& p : chart.points())
            if (p.x >= lo && p.x < hi)
                low = std::min(low, p.y), high = std::max(high, p.y);
        const auto has = [&](double y) {
            return std::any_of(shown.begin(), shown.end(), [&](auto p) {
                return p.y == y && p.x >= lo && p.x < hi;
            });
        };
        ASSERT_TRUE(has(low) && has(high)) << "column " << c;
    }
}

TEST(ChartModelTest, FewVisiblePointsAreShownAsTheyAre)
{
    ChartModel chart;
    for (int i = 0; i < 10; ++i)
        chart.addPoint(i, i * i);
    expectSamePoints(chart.decimated(2, 6, 100), {{1, 1}, {2, 4}, {3, 9}, {4, 16}, {5, 25},
                                                  {6, 36}, {7, 49}});
    expectSamePoints(chart.decimated(6.2, 6.8, 100), {{6, 36}, {7, 49}});
    EXPECT_TRUE(chart.decimated(5, 4, 100).empty());
}

} // namespace
} // namespace pom
