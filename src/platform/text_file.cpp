#include "text_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "convert.h"
#include "errors.h"

namespace pom {

namespace {

constexpr std::size_t WriteThreshold = 4096;
constexpr std::size_t ReadChunk = 4096;
constexpr std::size_t IntegerTextLimit = 32;

// The run-time's own codes for an operation on a file in the wrong state.
constexpr int FileNotOpen = 103;
constexpr int NotOpenForInput = 104;
constexpr int NotOpenForOutput = 105;

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

// Hands all bytes to the system: partial writes are continued and
// interrupted ones repeated. Raises on the first real failure.
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

// Up to size bytes; 0 at the end of the file.
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

void syncOrRaise(int fd)
{
    // Terminals, pipes and devices such as /dev/null cannot be synced; that is not a failure.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        raiseIoErrorFromErrno(errno);
}

bool isBlank(int byte)
{
    return byte >= 0 && byte <= 32;
}

} // namespace

TextFile::~TextFile()
{
    if (m_fd < 0)
        return;
    try {
        close();
    } catch (const Error&) {
        // A destructor cannot report; close() has released the descriptor.
    }
}

void TextFile::assign(const std::string& name)
{
    m_name = name;
}

void TextFile::rewrite()
{
    if (isOpen())
        close();
    m_fd = openForWriting(m_name, O_WRONLY | O_CREAT, true);
    m_mode = Mode::Writing;
}

void TextFile::append()
{
    if (isOpen())
        close();
    m_fd = openForWriting(m_name, O_WRONLY | O_APPEND, false);
    m_mode = Mode::Writing;
}

void TextFile::reset()
{
    if (isOpen())
        close();
    m_fd = openOrRaise(m_name, O_RDONLY);
    m_mode = Mode::Reading;
    m_in.clear();
    m_inPos = 0;
    m_inEnd = false;
}

void TextFile::requireMode(Mode mode) const
{
    if (m_mode == Mode::Closed)
        raiseIoError(FileNotOpen);
    if (m_mode != mode)
        raiseIoError(mode == Mode::Reading ? NotOpenForInput : NotOpenForOutput);
}

void TextFile::write(std::string_view bytes)
{
    requireMode(Mode::Writing);
    m_out.append(bytes);
    if (m_out.size() > WriteThreshold)
        writeOut();
}

void TextFile::writeLn(std::string_view bytes)
{
    write(bytes);
    write("\r\n");
}

void TextFile::writeOut()
{
    // What the system refused is reported, not kept: a later close must not
    // slip it in after whatever the caller does about the error.
    std::string pending;
    pending.swap(m_out);
    writeAll(m_fd, pending.data(), pending.size());
}

void TextFile::flush()
{
    requireMode(Mode::Writing);
    writeOut();
    syncOrRaise(m_fd);
}

void TextFile::close()
{
    if (m_mode == Mode::Closed)
        raiseIoError(FileNotOpen);
    const int fd = m_fd;
    const bool writing = m_mode == Mode::Writing;
    int failure = 0;
    try {
        if (writing)
            writeOut();
    } catch (const InOutError& error) {
        failure = error.code();
    }
    m_fd = -1;
    m_mode = Mode::Closed;
    m_out.clear();
    m_in.clear();
    m_inPos = 0;
    m_inEnd = false;
    // Closing releases the lock. After EINTR the descriptor is gone all the same.
    if (::close(fd) != 0 && errno != EINTR && failure == 0)
        failure = ioCodeFromErrno(errno);
    if (failure != 0)
        raiseIoError(failure);
}

int TextFile::peekByte()
{
    if (m_inPos >= m_in.size()) {
        if (m_inEnd)
            return -1;
        m_in.resize(ReadChunk);
        const std::size_t got = readSome(m_fd, m_in.data(), m_in.size());
        m_in.resize(got);
        m_inPos = 0;
        if (got == 0) {
            m_inEnd = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(m_in[m_inPos]);
}

int TextFile::nextByte()
{
    const int byte = peekByte();
    if (byte >= 0)
        ++m_inPos;
    return byte;
}

bool TextFile::eof()
{
    requireMode(Mode::Reading);
    return peekByte() < 0;
}

void TextFile::skipLine()
{
    for (int byte = nextByte(); byte >= 0 && byte != '\n'; byte = nextByte()) {
    }
}

std::string TextFile::readLn(std::size_t capacity)
{
    requireMode(Mode::Reading);
    std::string line;
    for (int byte = peekByte(); byte >= 0 && byte != '\r' && byte != '\n'; byte = peekByte()) {
        if (line.size() >= capacity)
            break;
        line += static_cast<char>(nextByte());
    }
    skipLine();
    return line;
}

std::int32_t TextFile::readIntegerLn()
{
    requireMode(Mode::Reading);
    while (isBlank(peekByte()))
        nextByte();
    if (peekByte() < 0)
        return 0;
    std::string text;
    while (text.size() < IntegerTextLimit && peekByte() > 32)
        text += static_cast<char>(nextByte());
    skipLine();
    // tryStrToInt also takes leading spaces (there are none here) and a bare "x"
    // prefix, which a number in a file may not have.
    const std::size_t afterSign = text[0] == '+' || text[0] == '-' ? 1 : 0;
    const bool bareX = afterSign < text.size() && (text[afterSign] == 'x' || text[afterSign] == 'X');
    const auto value = bareX ? std::nullopt : tryStrToInt(text);
    if (!value)
        raiseIoError(io::InvalidNumericInput);
    return *value;
}

void copyFileOverwrite(const std::string& from, const std::string& to)
{
    const int source = openOrRaise(from, O_RDONLY);
    struct stat sourceInfo {};
    struct stat targetInfo {};
    if (::fstat(source, &sourceInfo) == 0 && ::stat(to.c_str(), &targetInfo) == 0
        && sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
        // Copying a file onto itself: cutting the target would destroy the source.
        ::close(source);
        return;
    }
    int target = -1;
    try {
        target = openForWriting(to, O_WRONLY | O_CREAT, true);
        char chunk[ReadChunk];
        for (std::size_t got; (got = readSome(source, chunk, sizeof chunk)) > 0;)
            writeAll(target, chunk, got);
        syncOrRaise(target);
    } catch (...) {
        ::close(source);
        if (target >= 0)
            ::close(target);
        throw;
    }
    ::close(source);
    const int closed = ::close(target);
    if (closed != 0 && errno != EINTR)
        raiseIoErrorFromErrno(errno);
}

} // namespace pom
