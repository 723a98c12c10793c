// Which device a port number means on POSIX systems: a link of the user's
// ports folder, or a serial device by its number range.
#include "serial_port.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pom {

namespace {

struct DeviceRange {
    std::int64_t first;
    std::int64_t last;
    const char* prefix;
};

constexpr DeviceRange SystemRanges[] = {
    {1, 32, "/dev/ttyS"},
    {33, 64, "/dev/ttyUSB"},
    {65, 96, "/dev/ttyACM"},
};

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// A link counts even when it dangles: a vanished adapter must not make the
// number fall back to some other device.
bool entryExists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

std::string deviceForPortNumber(std::int64_t n, const std::string& linksDirectory)
{
    if (n < 0)
        return {};
    if (!linksDirectory.empty()) {
        const auto link = std::filesystem::path(linksDirectory) / ("COM" + std::to_string(n));
        if (entryExists(link))
            return link.string();
    }
    for (const auto& range : SystemRanges) {
        if (n >= range.first && n <= range.last)
            return range.prefix + std::to_string(n - range.first);
    }
    return {};
}

std::string portLinksDirectory()
{
    // The XDG rules ignore a relative XDG_DATA_HOME.
    const std::string dataHome = environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == '/')
        return dataHome + "/pomiarownik/ports";
    const std::string home = environment("HOME");
    if (home.empty())
        return {};
    return home + "/.local/share/pomiarownik/ports";
}

} // namespace pom
