#pragma once
// The worker's only way to the window: each call runs on the UI thread while
// the worker waits for it, so reads see the current state and updates appear
// in the cycle's order. The UI thread drains the queue from its event loop,
// and also while it waits for the worker, so the two can never deadlock.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace pom {

class UiQueue {
public:
    // wake is called from the worker, with no lock held, after a task was
    // queued: it asks the UI thread to call drain() soon.
    explicit UiQueue(std::function<void()> wake);

    // Binds the queue to the calling thread as its UI thread.
    void bindToCurrentThread();

    // Runs task on the UI thread and returns what it threw, rethrown here.
    void call(const std::function<void()>& task);

    // UI thread: runs every queued task.
    void drain();
    // UI thread: drains until done() holds or timeoutMs passed; returns done().
    bool drainUntil(const std::function<bool()>& done, int timeoutMs);
    // Wakes a drainUntil so it looks at its condition again.
    void notify();

private:
    struct Task {
        const std::function<void()>* body;
        std::exception_ptr error;
        bool finished = false;
    };
    bool onUiThread() const;

    std::function<void()> m_wake;
    std::atomic<std::thread::id> m_uiThread{std::this_thread::get_id()};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::shared_ptr<Task>> m_tasks;
};

} // namespace pom
