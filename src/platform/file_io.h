#pragma once
// The operating system's file calls under TextFile: POSIX descriptors, or C
// run-time descriptors over Win32 handles on Windows. Every failure raises
// InOutError with the platform's code.
#include <cstddef>
#include <string>

namespace pom::fileio {

enum class OpenMode {
    Read,    // an existing file
    Append,  // an existing file, written at its end
    Rewrite, // created, or an existing one cut to zero bytes
};

// Writers hold the file exclusively: a second writer, in this process or
// another, is refused with code 32; readers are let in. A refused writer
// cuts nothing. A directory is refused with code 5.
int openFile(const std::string& name, OpenMode mode);
// Hands all bytes to the system.
void writeAll(int fd, const char* data, std::size_t size);
// Up to size bytes; 0 at the end of the file.
std::size_t readSome(int fd, char* data, std::size_t size);
// Forces written bytes to disk; a device that cannot be synced is no failure.
void syncFile(int fd);
// Releases the descriptor whatever happens; 0, or the code of the failure.
int closeFile(int fd);
// Whether name is the very file open as fd (through any path or link).
bool isSameFile(int fd, const std::string& name);

} // namespace pom::fileio
