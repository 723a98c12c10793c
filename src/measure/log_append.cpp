#include "log_append.h"

#include <filesystem>
#include <system_error>

#include "errors.h"

namespace pom {

namespace {

std::optional<std::uintmax_t> fileSize(const std::string& name)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(std::filesystem::path(name), ec);
    if (ec)
        return std::nullopt;
    return size;
}

} // namespace

LogAppend::~LogAppend()
{
    if (m_log.LogFile.isOpen()) {
        try {
            m_log.LogFile.close();
        } catch (const Error&) {
        }
    }
}

template <typename F> void LogAppend::attempt(F&& step)
{
    if (failed())
        return;
    try {
        step();
    } catch (const Error& error) {
        m_error = error.what();
        cutBack();
    }
}

void LogAppend::open()
{
    m_sizeBefore = fileSize(m_log.LogFileName);
    attempt([&] {
        m_log.LogFile.assign(m_log.LogFileName);
        m_log.LogFile.append();
    });
}

void LogAppend::write(const std::string& line)
{
    m_line = line;
    attempt([&] { m_log.LogFile.writeLn(m_line); });
}

void LogAppend::close()
{
    attempt([&] {
        m_log.LogFile.flush();
        m_log.LogFile.close();
    });
}

void LogAppend::retry()
{
    m_error.reset();
    open();
    attempt([&] { m_log.LogFile.writeLn(m_line); });
    close();
}

// Releases the file and removes whatever part of the line reached it.
void LogAppend::cutBack()
{
    if (m_log.LogFile.isOpen()) {
        try {
            m_log.LogFile.close();
        } catch (const Error&) {
        }
    }
    const auto now = fileSize(m_log.LogFileName);
    if (m_sizeBefore && now && *now > *m_sizeBefore) {
        std::error_code ec;
        std::filesystem::resize_file(std::filesystem::path(m_log.LogFileName), *m_sizeBefore, ec);
    }
}

} // namespace pom
