// What one sample costs on screen: the point goes into the chart store, the
// view refreshes its decimated copy and the chart is painted, at 1,000 and at
// 1,000,000 points. Also the peak resident memory with a million points.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "chart_model.h"
#include "chart_view.h"

namespace {

constexpr double TwoSeconds = 2.0 / 86400.0;
constexpr pom::DateTime Start = 45474.375; // 2024-07-01 09:00
constexpr int Rounds = 200;
constexpr int Warmup = 10;
constexpr std::size_t Chunk = 10000;

double temperature(std::size_t i)
{
    return 21.0 + 3.0 * std::sin(static_cast<double>(i) / 700.0);
}

// Recording so far, loaded in chunks as a replay would.
void fill(pom::ChartModel& model, std::size_t count)
{
    for (std::size_t first = 0; first < count; first += Chunk) {
        std::vector<pom::ChartPoint> points;
        for (std::size_t i = first; i < std::min(count, first + Chunk); ++i)
            points.push_back({Start + static_cast<double>(i) * TwoSeconds, temperature(i)});
        model.addPoints(points);
    }
}

// Milliseconds for one addPoint + refresh + paint, averaged over Rounds.
double appendAndRepaintMs(std::size_t count)
{
    pom::ChartModel model;
    pom::ChartView view(model);
    view.resize(625, 361);
    view.show();
    fill(model, count);
    // The growing window: everything recorded is visible.
    model.setBottomAutomatic(false);
    model.setBottomMaximum(Start + 2.5 * static_cast<double>(count + Rounds + Warmup) * TwoSeconds);
    model.setBottomMinimum(Start);
    QCoreApplication::processEvents();

    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    using Clock = std::chrono::steady_clock;
    Clock::time_point began;
    for (int round = 0; round < Warmup + Rounds; ++round) {
        if (round == Warmup)
            began = Clock::now();
        const std::size_t i = count + static_cast<std::size_t>(round);
        model.addPoint(Start + static_cast<double>(i) * TwoSeconds, temperature(i));
        view.refresh();
        QPainter painter(&image);
        view.render(&painter);
    }
    const std::chrono::duration<double, std::milli> spent = Clock::now() - began;
    return spent.count() / Rounds;
}

std::string peakResident()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return line.substr(6);
    return " unknown";
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const double small = appendAndRepaintMs(1000);
    const double large = appendAndRepaintMs(1000000);
    std::printf("append + repaint at 1,000 points:     %.3f ms\n", small);
    std::printf("append + repaint at 1,000,000 points: %.3f ms\n", large);
    std::printf("ratio: %.2f\n", large / small);
    std::printf("peak resident memory (VmHWM):%s\n", peakResident().c_str());
    return 0;
}
