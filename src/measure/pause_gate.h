#pragma once
// The real gate between the UI thread and the worker.
#include <condition_variable>
#include <functional>
#include <mutex>

#include "run_gate.h"

namespace pom {

class PauseGate final : public RunGate {
public:
    // notify is called on every change the UI thread may be waiting for.
    explicit PauseGate(std::function<void()> notify = {});

    // Worker side.
    bool checkpoint() override;
    bool wait(int ms) override;
    bool enterLogSection() override;
    void leaveLogSection() override;

    // UI side.
    void pause();
    void resume();
    void stop();
    bool paused() const;
    bool inLogSection() const;

private:
    enum class Mode { Running, Paused, Stopping };
    bool holdWhilePaused(std::unique_lock<std::mutex>& lock);
    void changed();

    std::function<void()> m_notify;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    Mode m_mode = Mode::Running;
    bool m_inLog = false;
};

} // namespace pom
