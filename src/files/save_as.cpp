#include "save_as.h"

namespace pom {

bool SaveLogAs(LogState& log, Dialogs& dialogs, Controls& controls)
{
    const auto chosen = dialogs.saveFileName();
    if (!chosen)
        return false;
    // Switching only after a good copy: never record into a file that may not exist.
    copyFileOverwrite(log.LogFileName, *chosen);
    log.LogFileName = *chosen;
    log.LogFile.assign(log.LogFileName);
    controls.setText(Ctl::Form, WindowCaption(log.LogFileName));
    return true;
}

} // namespace pom
