#include "worker.h"

#include <exception>

namespace pom {

namespace {
constexpr int PauseSettleMs = 3000;
constexpr int StopSettleMs = 15000;
}

MeasurementWorker::MeasurementWorker(UiQueue& ui) : m_ui(ui), m_gate([&ui] { ui.notify(); }) {}

MeasurementWorker::~MeasurementWorker()
{
    stop();
}

void MeasurementWorker::start(CycleEnv& env, std::function<void(const std::string&)> onFailure)
{
    if (started())
        return;
    m_thread = std::thread([this, &env, onFailure = std::move(onFailure)] { run(env, onFailure); });
}

void MeasurementWorker::run(CycleEnv& env, const std::function<void(const std::string&)>& onFailure)
{
    try {
        MeasurementLoop(env);
    } catch (const std::exception& error) {
        if (onFailure)
            onFailure(error.what());
    }
    m_finished = true;
    m_ui.notify();
}

void MeasurementWorker::pause()
{
    m_gate.pause();
    m_ui.drainUntil([this] { return m_finished || !m_gate.inLogSection(); }, PauseSettleMs);
}

void MeasurementWorker::resume()
{
    m_gate.resume();
}

void MeasurementWorker::stop()
{
    if (!started())
        return;
    m_gate.stop();
    // Keep serving its calls until it has gone: joining while it waits for the
    // UI thread would deadlock.
    while (!m_ui.drainUntil([this] { return m_finished.load(); }, StopSettleMs)) {
    }
    m_thread.join();
}

} // namespace pom
