#include "ui_queue.h"

#include <chrono>

namespace pom {

UiQueue::UiQueue(std::function<void()> wake) : m_wake(std::move(wake)) {}

void UiQueue::bindToCurrentThread()
{
    m_uiThread = std::this_thread::get_id();
}

bool UiQueue::onUiThread() const
{
    return std::this_thread::get_id() == m_uiThread;
}

void UiQueue::call(const std::function<void()>& task)
{
    if (onUiThread()) {
        task();
        return;
    }
    auto entry = std::make_shared<Task>(Task{&task, nullptr, false});
    {
        std::lock_guard lock(m_mutex);
        m_tasks.push_back(entry);
    }
    m_changed.notify_all();
    if (m_wake)
        m_wake();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return entry->finished; });
    if (entry->error)
        std::rethrow_exception(entry->error);
}

void UiQueue::drain()
{
    std::unique_lock lock(m_mutex);
    while (!m_tasks.empty()) {
        auto entry = m_tasks.front();
        m_tasks.pop_front();
        lock.unlock();
        try {
            (*entry->body)();
        } catch (...) {
            entry->error = std::current_exception();
        }
        lock.lock();
        entry->finished = true;
        m_changed.notify_all();
    }
}

bool UiQueue::drainUntil(const std::function<bool()>& done, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        drain();
        if (done())
            return true;
        std::unique_lock lock(m_mutex);
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        // Short slices: the worker's own state changes notify too, but a
        // missed wake-up then costs only a couple of milliseconds.
        m_changed.wait_for(lock, std::chrono::milliseconds(2), [&] { return !m_tasks.empty(); });
    }
    drain();
    return done();
}

void UiQueue::notify()
{
    m_changed.notify_all();
}

} // namespace pom
