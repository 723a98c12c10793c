#pragma once
// What the fault tests share: a gate that really waits, a strict reader of
// the measurement log, a small tmpfs of the test's own, and a second program
// holding a file's lock.
#include <sys/types.h>

#include <string>
#include <vector>

#include "channel.h"
#include "chart_model.h"
#include "cycle_state.h"
#include "datetime.h"
#include "fakes.h"
#include "log_file.h"
#include "regional.h"
#include "run_gate.h"
#include "samples.h"

namespace pom::test {

// Never holds; a wait is a real sleep, so replies have time to arrive.
class SleepGate final : public RunGate {
public:
    bool checkpoint() override { return true; }
    bool wait(int ms) override;
    bool enterLogSection() override { return true; }
    void leaveLogSection() override {}
};

// The recorder's state and the stand-ins for its window that a cycle works
// on, ready to record: RunFlag set, the chart's first time window open.
struct CycleWorld {
    CycleWorld();
    ChannelState channel;
    LogState log;
    SampleState samples;
    CycleState cycle;
    FakeControls controls;
    ChartModel chart;
    SystemClock clock;
    RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
};

// A log as found on disk.
struct LogContents {
    bool headed = false;  // the header line and the empty line come first
    std::vector<int> counts;
    std::vector<std::string> values;
    // The first thing that is not a whole, well-formed measurement line
    // ending in CR LF; empty when there is none.
    std::string fault;
};

LogContents readLog(const std::string& path);
// Empty when the counts run first, first + 1, ... without gap or repeat;
// otherwise where they do not.
std::string countsProblem(const LogContents& log, int first);

// A tmpfs of sizeKiB mounted on a fresh folder, unmounted at the end. Needs
// root: available() says whether it can be made.
class ScratchMount {
public:
    explicit ScratchMount(int sizeKiB);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    static bool available();
    const std::string& path() const { return m_path; }
    void remount(bool readOnly);
    // Writes a filler file until the system reports the disk full.
    void fill();
    void unfill();

private:
    std::string m_path;
    std::string m_options;
};

// Another process holding an exclusive flock on a file until released.
class LockHolder {
public:
    explicit LockHolder(const std::string& path);
    ~LockHolder();
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
    void release();

private:
    pid_t m_pid = -1;
    int m_release = -1;
};

} // namespace pom::test
