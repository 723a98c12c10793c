#pragma once
// The Dialogs seam with Qt's message boxes and file dialogs.
#include <string>

#include "dialogs.h"

namespace pom {

class QtDialogs final : public Dialogs {
public:
    // title: the application title that heads the error box.
    explicit QtDialogs(std::string applicationTitle);

    void message(const std::string& text, const std::string& title) override;
    void error(const std::string& text) override;
    void applicationError(const std::string& text) override;
    bool confirm(const std::string& text, const std::string& title) override;
    std::optional<std::string> openFileName() override;
    std::optional<std::string> saveFileName() override;
    void beep() override;
    bool printDialog(Printer& printer) override;

private:
    std::string m_applicationTitle;
};

} // namespace pom
