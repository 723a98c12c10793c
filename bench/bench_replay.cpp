// What "Otwórz" costs for a month of recording at one sample every 2 s: a
// million-line log read into the chart store, against a bare read of the
// same file that only splits its lines at the TABs; plus one refresh of the
// view with all of it in range. Goal: the replay within 3 times the bare read.
//   bench_replay [lines]   (default 1,000,000)
#include <QApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "chart_model.h"
#include "chart_view.h"
#include "fakes.h"
#include "log_file.h"
#include "replay.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point began)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - began).count();
}

// The log as the recorder writes it, a line every 2 s from midnight on: the
// header, the empty line, then the measurements. A million lines keeps the
// counts within 6 digits, the most the replay reads.
void writeLog(const std::string& path, long lines)
{
    std::ofstream out(path, std::ios::binary);
    out << pom::LogHeaderPrefix << "01.07.2024\r\n\r\n";
    char line[64];
    for (long i = 0; i < lines - 2; ++i) {
        const long s = (2 * i) % 86400;
        const int tenths = static_cast<int>(i % 100);
        std::snprintf(line, sizeof line, "%ld\t%02ld:%02ld:%02ld\t+00%02d.%d\r\n", i + 1, s / 3600,
                      s / 60 % 60, s % 60, 20 + tenths / 10, tenths % 10);
        out << line;
    }
}

// Reads every line and splits it at its TABs; returns the field count so
// that nothing is optimised away.
long bareReadAndSplit(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    long fields = 0;
    for (std::string line; std::getline(in, line);) {
        std::string_view rest(line);
        for (std::size_t tab; (tab = rest.find('\t')) != std::string_view::npos;) {
            rest.remove_prefix(tab + 1);
            ++fields;
        }
        ++fields;
    }
    return fields;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;

    QTemporaryDir dir;
    const std::string path = dir.filePath("month.txt").toStdString();
    writeLog(path, lines);

    Clock::time_point began = Clock::now();
    const long fields = bareReadAndSplit(path);
    const double bareMs = msSince(began);

    pom::LogState log;
    pom::SampleState samples;
    pom::test::FakeControls controls;
    pom::test::FakeDialogs dialogs;
    pom::ChartModel chart;
    dialogs.nextOpen = path;
    began = Clock::now();
    pom::Otwrz1Click(log, samples, controls, chart, dialogs, pom::RegionalFormats{});
    const double replayMs = msSince(began);

    pom::ChartView view(chart);
    view.resize(625, 361);
    view.show();
    QCoreApplication::processEvents();
    began = Clock::now();
    view.refresh();
    const double refreshMs = msSince(began);

    std::printf("lines: %ld (%ld fields), points: %zu\n", lines, fields, chart.pointCount());
    std::printf("bare read and split: %.1f ms\n", bareMs);
    std::printf("replay:              %.1f ms\n", replayMs);
    std::printf("ratio:               %.2f (goal: at most 3)\n", replayMs / bareMs);
    std::printf("one refresh after:   %.1f ms\n", refreshMs);
    return 0;
}
