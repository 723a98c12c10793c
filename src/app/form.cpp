#include "form.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>

#include "accessibility.h"
#include "chart_view.h"
#include "error_report.h"
#include "form_controls.h"
#include "log_file.h"
#include "print.h"
#include "run_control.h"

namespace pom {

TForm1::TForm1(FormServices services, QWidget* parent)
    : QMainWindow(parent), m_services(services)
{
    setWindowTitle(QStringLiteral("Pomiarownik"));
    createControls();
    createMenus();
    applyAccessibility(*this);
    m_controls = std::make_unique<FormControls>(*this);
    m_runControl = std::make_unique<RunControl>(RunControlEnv{
        m_state, *m_controls, m_chartModel, m_services.dialogs, m_services.port, m_services.clock,
        m_services.formats, [] { QCoreApplication::exit(0); }});
    connectHandlers();
    runHandler(&TForm1::FormCreate);
}

TForm1::~TForm1()
{
    // The worker uses the controls and the chart: it stops before they go.
    m_runControl.reset();
    // The view refers to the model, which goes before the child widgets do.
    delete Chart1;
}

void TForm1::runHandler(void (TForm1::*handler)())
{
    runReported(m_services.dialogs, [this, handler] { (this->*handler)(); });
}

void TForm1::connectHandlers()
{
    connect(OpenComm, &QPushButton::clicked, this, [this] { runHandler(&TForm1::OpenCommClick); });
    connect(Zakocz1, &QAction::triggered, this, [this] { runHandler(&TForm1::Zakocz1Click); });
    // --- The options, the other menu commands and "Zapis ustawień" ---
    connectOptions();
    const auto command = [this](QAction* item, void (TForm1::*handler)()) {
        connect(item, &QAction::triggered, this, [this, handler] { runHandler(handler); });
    };
    command(Otwrz1, &TForm1::Otwrz1Click);
    command(Zapisz1, &TForm1::Zapisz1Click);
    command(Drukuj1, &TForm1::Drukuj1Click);
    command(Oprogramie1, &TForm1::Oprogramie1Click);
    connect(Button1, &QPushButton::clicked, this, [this] { runHandler(&TForm1::Button1Click); });
    // --- end of the options block ---
}

void TForm1::OpenCommClick()
{
    m_runControl->OpenCommClick();
}

void TForm1::Zakocz1Click()
{
    m_runControl->Zakocz1Click();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // No question: the worker is stopped and the program ends.
    m_runControl->windowClosing();
    QMainWindow::closeEvent(event);
}

void TForm1::FormCreate()
{
    m_controls->setEnabled(Ctl::OpenComm, true);
    m_state.SampleCount = 0;
    m_state.RunFlag = -1;
    // System menu and minimise only: no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    CreateDefaultLog(m_state);
    m_controls->setText(Ctl::Form, WindowCaption(m_state.LogFileName));
}

void TForm1::showEvent(QShowEvent* event)
{
    // Centred on the screen at the first show; the design position is ignored.
    if (!m_centred && !event->spontaneous()) {
        m_centred = true;
        if (QScreen* shown = screen()) {
            const QRect area = shown->availableGeometry();
            move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(), area)
                     .topLeft());
        }
    }
    QMainWindow::showEvent(event);
}

} // namespace pom
