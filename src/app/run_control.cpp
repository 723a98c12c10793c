#include "run_control.h"

#include <QMetaObject>

#include "discovery.h"
#include "discovery_progress.h"
#include "errors.h"
#include "time_window.h"

namespace pom {

namespace {
const std::string Connect1 = "&Połącz", Connect2 = "&Connect";
const std::string Measure1 = "&Mierz", Measure2 = "&Measure";
const std::string Hold1 = "&Wstrzymaj", Hold2 = "&Hold";
const std::string ResumeCaption = "&Wznów";
}

RunControl::RunControl(RunControlEnv env)
    : m_env(std::move(env)),
      m_ui([this] {
          QMetaObject::invokeMethod(&m_context, [this] { m_ui.drain(); }, Qt::QueuedConnection);
      })
{
    m_ui.bindToCurrentThread();
}

RunControl::~RunControl()
{
    m_worker.stop();
}

void RunControl::OpenCommClick()
{
    const std::string caption = m_env.controls.text(Ctl::OpenComm);
    if (caption == Connect1 || caption == Connect2)
        Connect();
    else if (caption == Measure1 || caption == Measure2)
        StartMeasuring();
    else if (caption == Hold1 || caption == Hold2)
        Pause();
    else
        Resume();
}

void RunControl::Connect()
{
    // The scan holds the window: a busy cursor and the port being tried.
    DiscoveryProgress progress(m_env.dialogs, discoveryLabelPlace(m_env.controls));
    DiscoveryEnv env{m_env.state, m_env.port, m_env.clock, progress, m_env.controls,
                     m_env.state, m_env.formats, [this] { FreezeTimeAxis(m_env.chart); },
                     [&progress](int portNumber) { progress.attempt(portNumber); }};
    // The port stays open from the moment a thermometer answered, even if the
    // header then fails.
    try {
        DiscoverDevice(env);
    } catch (...) {
        m_portOpen = m_env.controls.text(Ctl::OpenComm) == Measure1;
        throw;
    }
    m_portOpen = m_env.controls.text(Ctl::OpenComm) == Measure1;
}

void RunControl::StartMeasuring()
{
    RecorderState& s = m_env.state;
    if (s.PortHandle == 0) {
        m_env.dialogs.message("Niewłaściwa nazwa portu lub jest on aktywny ", "Uwaga !");
        return;
    }
    // Everything the worker reads first is in place before it starts.
    s.StartTime = m_env.clock.now();
    m_env.controls.setText(Ctl::OpenComm, Hold1);
    m_env.controls.setEnabled(Ctl::Plik1, false);
    m_env.controls.setEnabled(Ctl::Otwrz1, false);
    m_env.chart.setTitle("Wykres z dnia " + formatDate(m_env.clock.now(), m_env.formats) + "  " +
                         m_env.controls.text(Ctl::Edit6));
    StartTimeWindow(m_env.chart, m_env.clock);
    m_worker.start(cycleEnv(), [this](const std::string& message) {
        later([this, message] { m_env.dialogs.error(withFullStop(message)); });
    });
    s.WorkerThread = 1;
}

void RunControl::Pause()
{
    m_env.controls.setEnabled(Ctl::Plik1, true);
    m_worker.pause();
    m_env.controls.setText(Ctl::OpenComm, ResumeCaption);
}

void RunControl::Resume()
{
    m_env.controls.setEnabled(Ctl::Plik1, false);
    m_worker.resume();
    m_env.controls.setText(Ctl::OpenComm, Hold1);
}

void RunControl::Zakocz1Click()
{
    if (!m_env.dialogs.confirm("Zakończenie pomiaru i zamknięcie aplikacji?", "Confirm"))
        return;
    m_worker.stop();
    if (m_portOpen) {
        m_env.port.closeHandle(m_env.state.PortHandle);
        m_portOpen = false;
    }
    m_env.quit();
}

void RunControl::windowClosing()
{
    m_worker.stop();
}

// Runs on the UI thread, called by the worker: the line is kept and the
// worker holds as if paused; the operator sees why once this call returns.
void RunControl::holdForLog(const std::string& message)
{
    m_env.controls.setEnabled(Ctl::Plik1, true);
    m_worker.gate().pause();
    m_env.controls.setText(Ctl::OpenComm, ResumeCaption);
    later([this, message] { m_env.dialogs.error(withFullStop(message)); });
}

void RunControl::later(std::function<void()> task)
{
    QMetaObject::invokeMethod(&m_context, std::move(task), Qt::QueuedConnection);
}

CycleEnv& RunControl::cycleEnv()
{
    if (!m_cycleEnv) {
        CycleHooks hooks{
            [this] { m_ui.call([this] { m_env.dialogs.beep(); }); },
            [this](const std::string& message) { m_ui.call([this, message] { holdForLog(message); }); },
        };
        m_cycleEnv.reset(new CycleEnv{m_env.state, m_env.port, m_env.state, m_env.state, m_env.state,
                                      m_workerControls, m_workerChart, m_env.clock, m_env.formats,
                                      m_worker.gate(), std::move(hooks)});
    }
    return *m_cycleEnv;
}

} // namespace pom
