// crash_recorder LINKS_DIR WORK_DIR: the recorder's cycle without a window,
// as fast as it goes, for the crash-safety test that kills it. It logs to
// WORK_DIR/zrx1.txt from the thermometer on port 7 and prints on stdout
// "ready", then the count of each line once its close has completed, or
// "failed <text>" should the log ever fail.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "crossing.h"
#include "fault_support.h"
#include "serial_posix.h"
#include "worker.h"

namespace {

using namespace pom;

// As short as a reply from the simulator allows.
constexpr int CrashReplyWaitMs = 5;

void say(const std::string& line)
{
    const std::string text = line + "\n";
    // Unbuffered: whatever was said before the kill is in the pipe.
    [[maybe_unused]] const auto written = ::write(STDOUT_FILENO, text.data(), text.size());
}

// Passes everything to the worker's own gate; the end of the log section is
// the moment the line's close has returned.
class ReportingGate final : public RunGate {
public:
    ReportingGate(RunGate& inner, const SampleState& samples) : m_inner(inner), m_samples(samples) {}
    bool checkpoint() override { return m_inner.checkpoint(); }
    bool wait(int ms) override { return m_inner.wait(ms); }
    bool enterLogSection() override { return m_inner.enterLogSection(); }
    void leaveLogSection() override
    {
        m_inner.leaveLogSection();
        say(std::to_string(m_samples.SampleCount));
    }

private:
    RunGate& m_inner;
    const SampleState& m_samples;
};

int record(const std::string& links, const std::string& work)
{
    std::filesystem::current_path(work);
    test::CycleWorld w;
    CreateDefaultLog(w.log);
    WriteLogHeader(w.log, w.clock.now(), w.formats);
    const auto port = makePosixSerialPort(links);
    if (!OpenPort(w.channel, *port, 7)) {
        say("failed no port 7 in " + links);
        return 1;
    }

    UiQueue ui{{}};
    ui.bindToCurrentThread();
    CrossingControls workerControls(ui, w.controls);
    CrossingChart workerChart(ui, w.chart);
    MeasurementWorker worker(ui);
    ReportingGate gate(worker.gate(), w.samples);
    CycleHooks hooks{{}, [](const std::string& message) { say("failed " + message); }};
    CycleEnv env{w.channel, *port, w.log, w.samples, w.cycle, workerControls, workerChart, w.clock,
                 w.formats, gate, hooks, CrashReplyWaitMs};
    worker.start(env);
    say("ready");
    for (;;)
        ui.drainUntil([] { return false; }, 1000);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: crash_recorder LINKS_DIR WORK_DIR\n", stderr);
        return 2;
    }
    try {
        return record(argv[1], argv[2]);
    } catch (const std::exception& error) {
        say(std::string("failed ") + error.what());
        return 1;
    }
}
