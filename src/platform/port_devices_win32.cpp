// Which device a port number means on Windows: the system's own COM<n>. There
// is no folder of links; the device manager renumbers ports instead.
#include "serial_port.h"

namespace pom {

std::string deviceForPortNumber(std::int64_t n, const std::string& /*linksDirectory*/)
{
    if (n < 0)
        return {};
    return "\\\\.\\COM" + std::to_string(n);
}

std::string portLinksDirectory()
{
    return {};
}

} // namespace pom
