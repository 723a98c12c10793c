#pragma once
// What the operator sees while discovery holds the window: a busy cursor and
// a small label over the chart naming the port being tried. Discovery blocks
// the window's thread, so the label is repainted at once rather than through
// the event loop. Both go before discovery's first box, so the box shows the
// normal cursor, and at the latest when this object goes, whatever was thrown.
#include <QPointer>

#include "controls.h"
#include "dialogs.h"

class QLabel;
class QWidget;

namespace pom {

class DiscoveryProgress final : public Dialogs {
public:
    // over: the widget the label covers; nullptr shows the cursor alone.
    DiscoveryProgress(Dialogs& dialogs, QWidget* over);
    ~DiscoveryProgress() override;
    DiscoveryProgress(const DiscoveryProgress&) = delete;
    DiscoveryProgress& operator=(const DiscoveryProgress&) = delete;

    void attempt(int portNumber);
    void finish();

    // Each ends the busy look, then asks the real dialogs.
    void message(const std::string& text, const std::string& title) override;
    void error(const std::string& text) override;
    void applicationError(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName() override;
    std::optional<std::string> saveFileName() override;
    void beep() override;
    bool printDialog(Printer& printer) override;

private:
    void showLabel(int portNumber);

    Dialogs& m_dialogs;
    QPointer<QWidget> m_over;
    QPointer<QLabel> m_label;
    bool m_busy = false;
};

// The label's text for port n.
QString portAttemptText(int portNumber);

// The chart of the shown window whose controls these are; nullptr when the
// controls are not a window's (tests) or the window is not on screen.
QWidget* discoveryLabelPlace(Controls& controls);

} // namespace pom
