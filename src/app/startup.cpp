#include "startup.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <memory>
#include <typeinfo>

#include "errors.h"
#include "raising_controls.h"
#include "settings.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#if defined(__GNUG__)
#include <cstdlib>
#include <cxxabi.h>
#endif

namespace pom {

namespace {

// A step of its own, so that a failure while the window is built has a location too.
std::unique_ptr<TForm1> createForm(const FormServices& services)
{
    return std::make_unique<TForm1>(services);
}

void showForm(TForm1& form)
{
    form.show();
}

std::uint32_t moduleOffset(const void* address)
{
    std::uintptr_t base = 0;
#if defined(_WIN32)
    HMODULE module = nullptr;
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS
                               | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &module))
        base = reinterpret_cast<std::uintptr_t>(module);
#else
    Dl_info info{};
    if (dladdr(address, &info) != 0)
        base = reinterpret_cast<std::uintptr_t>(info.dli_fbase);
#endif
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(address) - base);
}

} // namespace

void LoadSettingsStep(TForm1& form)
{
    // Outside any handler: an error, a change handler's included, ends start-up.
    RaisingControls controls(form);
    LoadSettings(controls, form.state().IntervalWait);
}

std::string applicationErrorText(const std::string& kind, const std::string& module,
                                 std::uint32_t location, const std::string& message)
{
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(location));
    return "Exception " + kind + " in module " + module + " at " + hex + ".\n"
        + withFullStop(message);
}

std::string errorKind(const std::exception& error)
{
    if (const auto* ours = dynamic_cast<const Error*>(&error))
        return ours->kind();
    const char* name = typeid(error).name();
#if defined(__GNUG__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> readable(
        abi::__cxa_demangle(name, nullptr, nullptr, &status), std::free);
    if (status == 0 && readable)
        return readable.get();
#endif
    return name;
}

std::uint32_t codeLocation(StartupStep step)
{
    return moduleOffset(reinterpret_cast<const void*>(step));
}

int runApplication(const FormServices& services, const StartupOptions& options)
{
    const std::string module = QFileInfo(QString::fromStdString(options.executablePath))
                                   .fileName()
                                   .toStdString();
    std::unique_ptr<TForm1> form;
    // The step under way, for the report's code location.
    const void* step = reinterpret_cast<const void*>(&createForm);
    try {
        form = createForm(services);
        step = reinterpret_cast<const void*>(options.loadSettings);
        options.loadSettings(*form);
        step = reinterpret_cast<const void*>(&showForm);
        showForm(*form);
    } catch (const std::exception& e) {
        form.reset();
        services.dialogs.applicationError(
            applicationErrorText(errorKind(e), module, moduleOffset(step), e.what()));
        return 1;
    }
    const int code = QApplication::exec();
    form.reset();
    return code;
}

} // namespace pom
