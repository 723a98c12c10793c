#include "pty_link.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace pom::sim {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void raise(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

int openMaster()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0)
        raise("posix_openpt");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0
        || ::fcntl(master, F_SETFD, FD_CLOEXEC) != 0
        || ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0) {
        const int error = errno;
        ::close(master);
        errno = error;
        raise("preparing the pseudo-terminal");
    }
    return master;
}

} // namespace

Pty openPty()
{
    Pty pty;
    pty.master = openMaster();
    const char* name = ::ptsname(pty.master);
    if (name != nullptr) {
        pty.slavePath = name;
        pty.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    if (pty.slave < 0) {
        const int error = errno;
        closePty(pty);
        errno = error;
        raise("opening the pseudo-terminal's slave");
    }
    return pty;
}

void closePty(Pty& pty)
{
    // Closing the master hangs up the slave, as pulling out an adapter does.
    if (pty.master >= 0)
        ::close(pty.master);
    if (pty.slave >= 0)
        ::close(pty.slave);
    pty = Pty{};
}

std::string linkPath(const std::string& directory, int port)
{
    return (fs::path(directory) / ("COM" + std::to_string(port))).string();
}

void placeLink(const std::string& link, const std::string& target)
{
    const fs::path path(link);
    fs::create_directories(path.parent_path());
    std::error_code error;
    const auto status = fs::symlink_status(path, error);
    if (fs::exists(status) && !fs::is_symlink(status))
        throw std::runtime_error(link + " exists and is not a link");
    // Made under another name and renamed, so the link is never missing or
    // half made while a recorder looks.
    const fs::path temporary = path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()));
    fs::remove(temporary);
    fs::create_symlink(target, temporary);
    fs::rename(temporary, path);
}

void removeLink(const std::string& link, const std::string& target)
{
    std::error_code error;
    if (fs::read_symlink(link, error) == fs::path(target))
        fs::remove(link, error);
}

} // namespace pom::sim
