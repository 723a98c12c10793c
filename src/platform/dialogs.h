#pragma once
// Every dialog and message box goes through this seam, so tests can answer them.
#include <optional>
#include <string>

namespace pom {

// The current printer. Only the window's layer knows what it is.
class Printer;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Modal box with an OK button and no icon.
    virtual void message(const std::string& text, const std::string& title) = 0;
    // The error report: error icon, titled with the application title. The
    // text already has the full-stop rule applied.
    virtual void error(const std::string& text) = 0;
    // The last-resort report of an error that escaped during start-up: owned
    // by no window, titled "Application Error", error icon.
    virtual void applicationError(const std::string& text) = 0;
    // Yes/No confirmation; true only for Yes.
    virtual bool confirm(const std::string& text, const std::string& title) = 0;
    // File dialogs; nullopt when cancelled. Names are UTF-8 full paths.
    virtual std::optional<std::string> openFileName() = 0;
    virtual std::optional<std::string> saveFileName() = 0;
    virtual void beep() = 0;
    // The print dialog; true when confirmed, and the printer is then set up
    // as the operator chose. No page range, selection or printing to a file.
    virtual bool printDialog(Printer& printer) = 0;
};

} // namespace pom
