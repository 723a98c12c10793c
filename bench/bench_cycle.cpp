// The cost of one measuring cycle with a reply (from the read to the interval
// recomputation) with a million points on the chart, and the cycle's period
// at a 5 s interval against send + 1950 ms + work + the interval wait.
// The thermometer is the simulator on a pseudo-terminal; the chart is shown.
#include <QApplication>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <vector>

#include "chart_model.h"
#include "chart_view.h"
#include "crossing.h"
#include "fakes.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "temp_dir.h"
#include "time_window.h"
#include "worker.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

double msSince(SteadyClock::time_point origin, SteadyClock::time_point t)
{
    return std::chrono::duration<double, std::milli>(t - origin).count();
}

// When each cycle wrote its query and started reading; the rest passes through.
class TimedPort final : public pom::SerialPort {
public:
    explicit TimedPort(pom::SerialPort& port) : m_port(port) {}
    std::vector<SteadyClock::time_point> writes, reads;

    pom::SerialHandle createFile(const std::string& n) override { return m_port.createFile(n); }
    bool setupComm(pom::SerialHandle h, std::uint32_t i, std::uint32_t o) override { return m_port.setupComm(h, i, o); }
    bool getCommState(pom::SerialHandle h, pom::Dcb& d) override { return m_port.getCommState(h, d); }
    bool setCommState(pom::SerialHandle h, const pom::Dcb& d) override { return m_port.setCommState(h, d); }
    bool setCommMask(pom::SerialHandle h, std::uint32_t m) override { return m_port.setCommMask(h, m); }
    bool flushFileBuffers(pom::SerialHandle h) override { return m_port.flushFileBuffers(h); }
    bool writeFile(pom::SerialHandle h, const std::uint8_t* d, std::uint32_t c, std::uint32_t& w) override
    {
        writes.push_back(SteadyClock::now());
        return m_port.writeFile(h, d, c, w);
    }
    bool waitCommEvent(pom::SerialHandle h, std::uint32_t& m) override { return m_port.waitCommEvent(h, m); }
    bool clearCommError(pom::SerialHandle h, std::uint32_t& e, pom::ComStat& s) override
    {
        reads.push_back(SteadyClock::now());
        return m_port.clearCommError(h, e, s);
    }
    bool readFile(pom::SerialHandle h, std::uint8_t* d, std::uint32_t c, std::uint32_t& r) override { return m_port.readFile(h, d, c, r); }
    bool closeHandle(pom::SerialHandle h) override { return m_port.closeHandle(h); }

private:
    pom::SerialPort& m_port;
};

// When each wait began: the reply wait ends the send, the interval wait ends the work.
class TimedGate final : public pom::RunGate {
public:
    explicit TimedGate(pom::RunGate& gate) : m_gate(gate) {}
    std::vector<std::pair<int, SteadyClock::time_point>> waits;

    bool checkpoint() override { return m_gate.checkpoint(); }
    bool wait(int ms) override
    {
        waits.emplace_back(ms, SteadyClock::now());
        return m_gate.wait(ms);
    }
    bool enterLogSection() override { return m_gate.enterLogSection(); }
    void leaveLogSection() override { m_gate.leaveLogSection(); }

private:
    pom::RunGate& m_gate;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    pom::test::TempDir workDir, links;
    std::filesystem::current_path(workDir.path());

    pom::test::SimProcess sim(POM_THERMO_SIM, links.path(), {"--delay-ms", "20", "--ramp", "20:0.1"});
    auto system = pom::makePosixSerialPort(links.path());
    TimedPort port(*system);
    pom::ChannelState ch;
    if (!pom::OpenPort(ch, port, 7)) {
        std::fprintf(stderr, "the simulator's port did not open\n");
        return 1;
    }

    pom::SystemClock clock;
    pom::ChartModel chart;
    pom::ChartView view(chart);
    view.resize(625, 361);
    view.show();
    // A month at one sample every 2.6 s, ending now, all in the growing window.
    const double now = clock.now();
    std::vector<pom::ChartPoint> points(1'000'000);
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {now - 30.0 + 30.0 * static_cast<double>(i) / static_cast<double>(points.size()), 20.0 + static_cast<double>(i % 100) / 10};
    chart.addPoints(points);
    pom::FreezeTimeAxis(chart);
    pom::CycleState cycle;
    cycle.RunFlag = -1;
    cycle.StartTime = points.front().x;
    chart.setBottomMaximum(now + 0.0001);
    chart.setBottomMinimum(cycle.StartTime);

    pom::test::FakeControls controls;
    controls.setChecked(pom::Ctl::CheckBox1, true);
    controls.setChecked(pom::Ctl::CheckBox3, true);
    controls.setText(pom::Ctl::Edit2, "5");
    pom::LogState log;
    pom::CreateDefaultLog(log);
    pom::SampleState samples;
    const auto formats = pom::regionalFormatsFromEnvironment();

    QObject context;
    pom::UiQueue ui([&] { QMetaObject::invokeMethod(&context, [&] { ui.drain(); }, Qt::QueuedConnection); });
    ui.bindToCurrentThread();
    pom::CrossingControls workerControls(ui, controls);
    pom::CrossingChart workerChart(ui, chart);
    pom::MeasurementWorker worker(ui);
    TimedGate gate(worker.gate());
    pom::CycleEnv env{ch, port, log, samples, cycle, workerControls, workerChart, clock, formats, gate, {}};

    const int cycles = argc > 1 ? std::atoi(argv[1]) : 7;
    worker.start(env);
    while (port.writes.size() < static_cast<std::size_t>(cycles) + 1)
        app.processEvents(QEventLoop::WaitForMoreEvents, 50);
    worker.stop();

    // Cycle k: write k, reply wait k, read k, interval wait k, write k+1.
    std::vector<double> work, error;
    const auto origin = port.writes.front();
    for (int k = 1; k < cycles; ++k) {  // the first cycle warms up
        const auto sendDone = gate.waits[2 * k].second;
        const auto workDone = gate.waits[2 * k + 1].second;
        const int intervalWait = gate.waits[2 * k + 1].first;
        const double send = msSince(port.writes[k], sendDone);
        const double w = msSince(port.reads[k], workDone);
        const double period = msSince(port.writes[k], port.writes[k + 1]);
        work.push_back(w);
        error.push_back(period - (send + 1950.0 + w + intervalWait));
        std::printf("cycle %d: period %.1f ms, send %.2f ms, work %.3f ms, wait %d ms (t=%.0f)\n", k,
                    period, send, w, intervalWait, msSince(origin, port.writes[k]));
    }
    double worst = 0;
    for (double e : error)
        worst = std::max(worst, std::abs(e));
    std::printf("points on the chart: %zu\n", chart.pointCount());
    std::printf("median work of a cycle with a reply: %.3f ms (goal <= 5 ms)\n", median(work));
    std::printf("period error against the formula: median %.2f ms, worst %.2f ms (goal <= 10 ms)\n",
                median(error), worst);
    return 0;
}
