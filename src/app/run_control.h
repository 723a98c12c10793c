#pragma once
// The main button and Exit: connect, measure, pause, resume, each press
// acting on the button's caption, and the worker that measures.
#include <QObject>
#include <functional>
#include <memory>

#include "chart.h"
#include "controls.h"
#include "crossing.h"
#include "cycle.h"
#include "dialogs.h"
#include "recorder_state.h"
#include "regional.h"
#include "serial_port.h"
#include "ui_queue.h"
#include "worker.h"

namespace pom {

struct RunControlEnv {
    RecorderState& state;
    Controls& controls;
    Chart& chart;
    Dialogs& dialogs;
    SerialPort& port;
    Clock& clock;
    const RegionalFormats& formats;
    std::function<void()> quit;  // the application's end request
};

class RunControl {
public:
    explicit RunControl(RunControlEnv env);
    ~RunControl();

    void OpenCommClick();
    void Zakocz1Click();
    // The window is closing: stop the worker before any control goes away.
    void windowClosing();

    bool measuring() const { return m_worker.started(); }

private:
    void Connect();
    void StartMeasuring();
    void Pause();
    void Resume();
    void holdForLog(const std::string& message);
    void later(std::function<void()> task);
    CycleEnv& cycleEnv();

    RunControlEnv m_env;
    QObject m_context;  // queued calls die with it
    UiQueue m_ui;
    CrossingControls m_workerControls{m_ui, m_env.controls};
    CrossingChart m_workerChart{m_ui, m_env.chart};
    MeasurementWorker m_worker{m_ui};
    std::unique_ptr<CycleEnv> m_cycleEnv;
    bool m_portOpen = false;
};

} // namespace pom
