#include "error_report.h"

#include <exception>

#include "errors.h"

namespace pom {

void runReported(Dialogs& dialogs, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        // pom::Error is a std::exception; both report their message alone.
        dialogs.error(withFullStop(e.what()));
    }
}

} // namespace pom
