#pragma once
// Owns the measurement worker thread: start, pause, resume and stop, all
// called on the UI thread. The UI thread keeps serving the worker's calls
// while it waits, so neither can block the other for longer than a cycle's
// few milliseconds of work (or one bounded port call, at stop).
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "cycle.h"
#include "pause_gate.h"
#include "ui_queue.h"

namespace pom {

class MeasurementWorker {
public:
    explicit MeasurementWorker(UiQueue& ui);
    ~MeasurementWorker();
    MeasurementWorker(const MeasurementWorker&) = delete;
    MeasurementWorker& operator=(const MeasurementWorker&) = delete;

    // The gate to put into the CycleEnv given to start().
    PauseGate& gate() { return m_gate; }

    // Starts the thread on MeasurementLoop(env); env must outlive the worker.
    // onFailure gets what escaped the loop, if anything ever does.
    void start(CycleEnv& env, std::function<void(const std::string&)> onFailure = {});
    bool started() const { return m_thread.joinable(); }

    // Returns once nothing more will be logged or plotted until resume().
    void pause();
    void resume();
    // Returns once the thread has ended; nothing is sent or logged after.
    void stop();

private:
    void run(CycleEnv& env, const std::function<void(const std::string&)>& onFailure);

    UiQueue& m_ui;
    PauseGate m_gate;
    std::thread m_thread;
    std::atomic<bool> m_finished{false};
};

} // namespace pom
