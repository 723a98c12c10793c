#pragma once
// "Zapisuj jako": copy the current log to a file the operator picks and go
// on recording there.
#include "controls.h"
#include "dialogs.h"
#include "log_file.h"

namespace pom {

// False when the operator cancelled, and nothing changed. A failed copy
// raises InOutError and also leaves the current log and the caption as they were.
bool SaveLogAs(LogState& log, Dialogs& dialogs, Controls& controls);

} // namespace pom
