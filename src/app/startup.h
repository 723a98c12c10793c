#pragma once
// The program's start: create the window (FormCreate runs), load the
// settings, show the window and run the event loop.
#include <cstdint>
#include <exception>
#include <string>

#include "form.h"

namespace pom {

// The settings file is read into the option controls here, before the window is first shown.
void LoadSettingsStep(TForm1& form);

using StartupStep = void (*)(TForm1& form);

struct StartupOptions {
    std::string executablePath;  // argv[0]
    StartupStep loadSettings = &LoadSettingsStep;
};

// The process's exit code: the event loop's, or 1 when an error escaped
// before it ran; the window is then never shown.
int runApplication(const FormServices& services, const StartupOptions& options);

// "Exception <kind> in module <module> at <location, 8 hex digits>." LF message.
std::string applicationErrorText(const std::string& kind, const std::string& module,
                                 std::uint32_t location, const std::string& message);
// The error's kind as the report names it.
std::string errorKind(const std::exception& error);
// Where a function lies in the module that holds it: its address less the module's base.
std::uint32_t codeLocation(StartupStep step);

} // namespace pom
