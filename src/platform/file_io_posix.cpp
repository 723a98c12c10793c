// File calls on POSIX: descriptors, with flock for the writer's exclusive hold.
#include "file_io.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "errors.h"

namespace pom::fileio {

namespace {

int openOrRaise(const std::string& name, int flags)
{
    int fd = -1;
    do
        fd = ::open(name.c_str(), flags | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        raiseIoErrorFromErrno(errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        raiseIoError(io::AccessDenied);
    }
    return fd;
}

// Opens for writing under an exclusive lock, so that a second writer, in this
// process or another, is refused instead of mixing its lines into ours. The
// file is cut only once the lock is held: a refused writer must not empty it.
int openForWriting(const std::string& name, int flags, bool truncate)
{
    const int fd = openOrRaise(name, flags);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && (errno == EWOULDBLOCK || errno == EAGAIN)) {
        ::close(fd);
        raiseIoError(io::SharingViolation);
    }
    struct stat info {};
    if (truncate && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(fd, 0) != 0) {
        const int err = errno;
        ::close(fd);
        raiseIoErrorFromErrno(err);
    }
    return fd;
}

} // namespace

int openFile(const std::string& name, OpenMode mode)
{
    switch (mode) {
    case OpenMode::Read: return openOrRaise(name, O_RDONLY);
    case OpenMode::Append: return openForWriting(name, O_WRONLY | O_APPEND, false);
    case OpenMode::Rewrite: break;
    }
    return openForWriting(name, O_WRONLY | O_CREAT, true);
}

// Partial writes are continued and interrupted ones repeated.
void writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR)
                continue;
            raiseIoErrorFromErrno(errno);
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
}

std::size_t readSome(int fd, char* data, std::size_t size)
{
    for (;;) {
        const ssize_t done = ::read(fd, data, size);
        if (done >= 0)
            return static_cast<std::size_t>(done);
        if (errno != EINTR)
            raiseIoErrorFromErrno(errno);
    }
}

void syncFile(int fd)
{
    // Terminals, pipes and devices such as /dev/null cannot be synced; that is not a failure.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        raiseIoErrorFromErrno(errno);
}

int closeFile(int fd)
{
    // Closing releases the lock. After EINTR the descriptor is gone all the same.
    if (::close(fd) != 0 && errno != EINTR)
        return ioCodeFromErrno(errno);
    return 0;
}

bool isSameFile(int fd, const std::string& name)
{
    struct stat open {};
    struct stat named {};
    return ::fstat(fd, &open) == 0 && ::stat(name.c_str(), &named) == 0
        && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

} // namespace pom::fileio
