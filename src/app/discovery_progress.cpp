#include "discovery_progress.h"

#include <QApplication>
#include <QLabel>

#include "chart_view.h"
#include "form.h"

namespace pom {

namespace {
constexpr int LabelInset = 8;  // from the chart's top left corner
constexpr int WidestPort = 255;

// A sibling over the chart, sized once for the widest text, so that a
// shorter one never leaves stale pixels behind.
QLabel* makePortLabel(QWidget& over)
{
    auto* label = new QLabel(portAttemptText(WidestPort), over.parentWidget());
    label->setObjectName(QStringLiteral("DiscoveryPort"));
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setMargin(2);
    label->setAutoFillBackground(true);
    label->setBackgroundRole(QPalette::ToolTipBase);
    label->setForegroundRole(QPalette::ToolTipText);
    label->adjustSize();
    label->move(over.geometry().topLeft() + QPoint(LabelInset, LabelInset));
    label->show();
    label->raise();
    return label;
}

} // namespace

QString portAttemptText(int portNumber)
{
    return QStringLiteral("Sprawdzany port: COM%1").arg(portNumber);
}

QWidget* discoveryLabelPlace(Controls& controls)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<TForm1*>(top);
        if (form && form->isVisible() && &form->controls() == &controls)
            return form->Chart1;
    }
    return nullptr;
}

DiscoveryProgress::DiscoveryProgress(Dialogs& dialogs, QWidget* over)
    : m_dialogs(dialogs), m_over(over), m_busy(true)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

DiscoveryProgress::~DiscoveryProgress()
{
    finish();
}

void DiscoveryProgress::attempt(int portNumber)
{
    if (m_busy && m_over && m_over->parentWidget())
        showLabel(portNumber);
}

void DiscoveryProgress::showLabel(int portNumber)
{
    if (!m_label)
        m_label = makePortLabel(*m_over);
    m_label->setText(portAttemptText(portNumber));
    m_label->repaint();
}

void DiscoveryProgress::finish()
{
    if (!m_busy)
        return;
    m_busy = false;
    delete m_label;
    QApplication::restoreOverrideCursor();
}

void DiscoveryProgress::message(const std::string& text, const std::string& title)
{
    finish();
    m_dialogs.message(text, title);
}

void DiscoveryProgress::error(const std::string& text)
{
    finish();
    m_dialogs.error(text);
}

void DiscoveryProgress::applicationError(const std::string& text)
{
    finish();
    m_dialogs.applicationError(text);
}

bool DiscoveryProgress::confirm(const std::string& text, const std::string& title)
{
    finish();
    return m_dialogs.confirm(text, title);
}

std::optional<std::string> DiscoveryProgress::openFileName()
{
    finish();
    return m_dialogs.openFileName();
}

std::optional<std::string> DiscoveryProgress::saveFileName()
{
    finish();
    return m_dialogs.saveFileName();
}

void DiscoveryProgress::beep()
{
    m_dialogs.beep();
}

bool DiscoveryProgress::printDialog(Printer& printer)
{
    finish();
    return m_dialogs.printDialog(printer);
}

} // namespace pom
