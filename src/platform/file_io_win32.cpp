// File calls on Windows: Win32 handles behind C run-time descriptors, so that
// TextFile keeps one int per file. The share mode is the writer's hold: while
// we write, others may read the file but not write it.
#include "file_io.h"

#include "win32_api.h"
#include <io.h>

#include <fcntl.h>
#include <limits>

#include "errors.h"
#include "win32_text.h"

namespace pom::fileio {

namespace {

// The run-time's I/O codes are the system's own error codes, except for a
// full disk and the malformed names, which have texts of their own.
int codeFromError(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return io::GeneralFailure;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return io::DiskFull;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_DIRECTORY: return io::InvalidFilename;
    default: return error <= static_cast<DWORD>(std::numeric_limits<int>::max()) ? static_cast<int>(error)
                                                                               : io::GeneralFailure;
    }
}

[[noreturn]] void raiseLastError()
{
    raiseIoError(codeFromError(GetLastError()));
}

HANDLE handleOf(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

bool isDiskFile(HANDLE h)
{
    return GetFileType(h) == FILE_TYPE_DISK;
}

std::wstring widePath(const std::string& name)
{
    auto wide = win32::wideFromUtf8(name);
    if (!wide)
        raiseIoError(io::InvalidFilename);
    return *wide;
}

HANDLE createHandle(const std::string& name, OpenMode mode)
{
    const bool reading = mode == OpenMode::Read;
    // A reader lets writers in, as flock does on POSIX; a writer lets only readers in.
    const DWORD share = reading ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const HANDLE h = CreateFileW(widePath(name).c_str(), reading ? GENERIC_READ : GENERIC_WRITE, share,
                                 nullptr, mode == OpenMode::Rewrite ? OPEN_ALWAYS : OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        raiseLastError();
    return h;
}

// The file is cut or wound to its end only once it is held: a refused
// writer never got this far.
bool placeForWriting(HANDLE h, OpenMode mode)
{
    if (mode == OpenMode::Read || !isDiskFile(h))
        return true;
    if (mode == OpenMode::Rewrite)
        return SetEndOfFile(h) != 0;
    return SetFilePointerEx(h, LARGE_INTEGER{}, nullptr, FILE_END) != 0;
}

} // namespace

int openFile(const std::string& name, OpenMode mode)
{
    const HANDLE h = createHandle(name, mode);
    if (!placeForWriting(h, mode)) {
        const DWORD error = GetLastError();
        CloseHandle(h);
        raiseIoError(codeFromError(error));
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), mode == OpenMode::Read ? _O_RDONLY : 0);
    if (fd < 0) {
        CloseHandle(h);
        raiseIoError(io::TooManyOpenFiles);
    }
    return fd;
}

void writeAll(int fd, const char* data, std::size_t size)
{
    const HANDLE h = handleOf(fd);
    while (size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD done = 0;
        if (WriteFile(h, data, chunk, &done, nullptr) == 0)
            raiseLastError();
        // A write that takes nothing and reports no error has run out of room.
        if (done == 0)
            raiseIoError(io::DiskFull);
        data += done;
        size -= done;
    }
}

std::size_t readSome(int fd, char* data, std::size_t size)
{
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD done = 0;
    if (ReadFile(handleOf(fd), data, chunk, &done, nullptr) != 0)
        return done;
    const DWORD error = GetLastError();
    // The writing end of a pipe has closed: that is its end.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
        return 0;
    raiseIoError(codeFromError(error));
}

void syncFile(int fd)
{
    // Devices such as NUL, consoles and pipes cannot be synced; that is not a failure.
    const HANDLE h = handleOf(fd);
    if (isDiskFile(h) && FlushFileBuffers(h) == 0)
        raiseLastError();
}

int closeFile(int fd)
{
    // _close closes the handle under the descriptor, which ends the hold.
    return _close(fd) == 0 ? 0 : codeFromError(GetLastError());
}

bool isSameFile(int fd, const std::string& name)
{
    const auto wide = win32::wideFromUtf8(name);
    if (!wide)
        return false;
    // No access asked for, so the open conflicts with nobody's share mode.
    const HANDLE other = CreateFileW(wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (other == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION open{};
    BY_HANDLE_FILE_INFORMATION named{};
    const bool same = GetFileInformationByHandle(handleOf(fd), &open) != 0
        && GetFileInformationByHandle(other, &named) != 0
        && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber
        && open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
    CloseHandle(other);
    return same;
}

} // namespace pom::fileio
