#include "log_file.h"

#include "convert.h"

namespace pom {

void CreateDefaultLog(LogState& log)
{
    log.LogFileName = DefaultLogName;
    log.LogFile.assign(log.LogFileName);
    log.LogFile.rewrite();
    log.LogFile.close();
}

} // namespace pom
