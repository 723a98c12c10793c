// "Otwórz", "Zapisuj jako" and "Zapis ustawień" on the window.
#include <QApplication>
#include <QCursor>

#include "form.h"
#include "replay.h"
#include "save_as.h"
#include "settings.h"

namespace pom {

namespace {

// The window does not respond while a log is read: once a file has been
// chosen the cursor says so, until this goes.
class BusyOnceChosen final : public Dialogs {
public:
    explicit BusyOnceChosen(Dialogs& dialogs) : m_dialogs(dialogs) {}
    ~BusyOnceChosen() override
    {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }
    BusyOnceChosen(const BusyOnceChosen&) = delete;
    BusyOnceChosen& operator=(const BusyOnceChosen&) = delete;

    std::optional<std::string> openFileName() override
    {
        auto chosen = m_dialogs.openFileName();
        if (chosen && !m_busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            m_busy = true;
        }
        return chosen;
    }

    void message(const std::string& text, const std::string& title) override
    {
        m_dialogs.message(text, title);
    }
    void error(const std::string& text) override { m_dialogs.error(text); }
    void applicationError(const std::string& text) override { m_dialogs.applicationError(text); }
    bool confirm(const std::string& text, const std::string& title) override
    {
        return m_dialogs.confirm(text, title);
    }
    std::optional<std::string> saveFileName() override { return m_dialogs.saveFileName(); }
    void beep() override { m_dialogs.beep(); }
    bool printDialog(Printer& printer) override { return m_dialogs.printDialog(printer); }

private:
    Dialogs& m_dialogs;
    bool m_busy = false;
};

} // namespace

void TForm1::Otwrz1Click()
{
    BusyOnceChosen dialogs(m_services.dialogs);
    pom::Otwrz1Click(m_state, m_state, *m_controls, m_chartModel, dialogs, m_services.formats);
}

void TForm1::Zapisz1Click()
{
    SaveLogAs(m_state, m_services.dialogs, *m_controls);
}

void TForm1::Button1Click()
{
    pom::Button1Click(m_state, *m_controls);
}

} // namespace pom
