#include "pause_gate.h"

#include <chrono>

namespace pom {

PauseGate::PauseGate(std::function<void()> notify) : m_notify(std::move(notify)) {}

bool PauseGate::holdWhilePaused(std::unique_lock<std::mutex>& lock)
{
    m_wake.wait(lock, [&] { return m_mode != Mode::Paused; });
    return m_mode == Mode::Running;
}

bool PauseGate::checkpoint()
{
    std::unique_lock lock(m_mutex);
    return holdWhilePaused(lock);
}

bool PauseGate::wait(int ms)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms > 0 ? ms : 0);
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_mode == Mode::Stopping)
            return false;
        if (m_mode == Mode::Paused) {
            // The deadline stays put, so time spent paused counts.
            if (!holdWhilePaused(lock))
                return false;
            continue;
        }
        if (Clock::now() >= deadline)
            return true;
        m_wake.wait_until(lock, deadline);
    }
}

bool PauseGate::enterLogSection()
{
    {
        std::unique_lock lock(m_mutex);
        if (!holdWhilePaused(lock))
            return false;
        m_inLog = true;
    }
    return true;
}

void PauseGate::leaveLogSection()
{
    {
        std::lock_guard lock(m_mutex);
        m_inLog = false;
    }
    changed();
}

void PauseGate::pause()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_mode == Mode::Running)
            m_mode = Mode::Paused;
    }
    changed();
}

void PauseGate::resume()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_mode == Mode::Paused)
            m_mode = Mode::Running;
    }
    changed();
}

void PauseGate::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_mode = Mode::Stopping;
    }
    changed();
}

bool PauseGate::paused() const
{
    std::lock_guard lock(m_mutex);
    return m_mode == Mode::Paused;
}

bool PauseGate::inLogSection() const
{
    std::lock_guard lock(m_mutex);
    return m_inLog;
}

void PauseGate::changed()
{
    m_wake.notify_all();
    if (m_notify)
        m_notify();
}

} // namespace pom
