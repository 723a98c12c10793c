#include "text_file.h"

#include <algorithm>
#include <cstring>

#include "convert.h"
#include "errors.h"
#include "file_io.h"

namespace pom {

namespace {

constexpr std::size_t WriteThreshold = 4096;
constexpr std::size_t ReadChunk = 4096;
// Lines are found in the read-ahead with memchr, so a large block costs one
// system call for thousands of log lines.
constexpr std::size_t ReadBlock = 65536;
constexpr std::size_t IntegerTextLimit = 32;

// The run-time's own codes for an operation on a file in the wrong state.
constexpr int FileNotOpen = 103;
constexpr int NotOpenForInput = 104;
constexpr int NotOpenForOutput = 105;

bool isBlank(int byte)
{
    return byte >= 0 && byte <= 32;
}

// The offset of the first such byte, or size when there is none.
std::size_t offsetOf(const char* from, std::size_t size, char byte)
{
    const void* found = std::memchr(from, byte, size);
    return found ? static_cast<std::size_t>(static_cast<const char*>(found) - from) : size;
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
    m_fd = fileio::openFile(m_name, fileio::OpenMode::Rewrite);
    m_mode = Mode::Writing;
}

void TextFile::append()
{
    if (isOpen())
        close();
    m_fd = fileio::openFile(m_name, fileio::OpenMode::Append);
    m_mode = Mode::Writing;
}

void TextFile::reset()
{
    if (isOpen())
        close();
    m_fd = fileio::openFile(m_name, fileio::OpenMode::Read);
    m_mode = Mode::Reading;
    m_in.clear();
    m_inSize = 0;
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
    fileio::writeAll(m_fd, pending.data(), pending.size());
}

void TextFile::flush()
{
    requireMode(Mode::Writing);
    writeOut();
    fileio::syncFile(m_fd);
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
    m_inSize = 0;
    m_inPos = 0;
    m_inEnd = false;
    // Closing releases the writer's hold.
    const int closed = fileio::closeFile(fd);
    if (failure == 0)
        failure = closed;
    if (failure != 0)
        raiseIoError(failure);
}

bool TextFile::fillIn()
{
    if (m_inPos < m_inSize)
        return true;
    if (m_inEnd)
        return false;
    m_in.resize(ReadBlock);
    // Counted only once read: after a failed read no old bytes are handed out again.
    m_inSize = fileio::readSome(m_fd, m_in.data(), m_in.size());
    m_inPos = 0;
    m_inEnd = m_inSize == 0;
    return !m_inEnd;
}

int TextFile::peekByte()
{
    return fillIn() ? static_cast<unsigned char>(m_in[m_inPos]) : -1;
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
    while (fillIn()) {
        const std::size_t ahead = m_inSize - m_inPos;
        const std::size_t toLf = offsetOf(m_in.data() + m_inPos, ahead, '\n');
        if (toLf < ahead) {
            m_inPos += toLf + 1;
            return;
        }
        m_inPos = m_inSize;
    }
}

std::string TextFile::readLn(std::size_t capacity)
{
    std::string line;
    readLn(line, capacity);
    return line;
}

void TextFile::readLn(std::string& line, std::size_t capacity)
{
    requireMode(Mode::Reading);
    line.clear();
    while (fillIn()) {
        const char* from = m_in.data() + m_inPos;
        const std::size_t ahead = m_inSize - m_inPos;
        const std::size_t toLf = offsetOf(from, ahead, '\n');
        const std::size_t room = capacity - line.size();
        const std::size_t span = std::min(toLf, room);
        const std::size_t kept = offsetOf(from, span, '\r');
        line.append(from, kept);
        if (toLf < ahead) {
            m_inPos += toLf + 1;
            return;
        }
        m_inPos = m_inSize;
        if (kept < span || kept == room) { // at a CR or full: the rest of the line goes
            skipLine();
            return;
        }
    }
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
    const int source = fileio::openFile(from, fileio::OpenMode::Read);
    if (fileio::isSameFile(source, to)) {
        // Copying a file onto itself: cutting the target would destroy the source.
        fileio::closeFile(source);
        return;
    }
    int target = -1;
    try {
        target = fileio::openFile(to, fileio::OpenMode::Rewrite);
        char chunk[ReadChunk];
        for (std::size_t got; (got = fileio::readSome(source, chunk, sizeof chunk)) > 0;)
            fileio::writeAll(target, chunk, got);
        fileio::syncFile(target);
    } catch (...) {
        fileio::closeFile(source);
        if (target >= 0)
            fileio::closeFile(target);
        throw;
    }
    fileio::closeFile(source);
    if (const int failure = fileio::closeFile(target); failure != 0)
        raiseIoError(failure);
}

} // namespace pom
