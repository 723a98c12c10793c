#include "fault_support.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "log_file.h"
#include "time_window.h"

namespace pom::test {

namespace {

namespace fs = std::filesystem;

const std::string LineEnd = "\r\n";
const std::string FillerName = "filler";

[[noreturn]] void raise(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Count, TAB, the 8-character time, TAB, at most 7 characters of value.
bool parseLine(const std::string& line, LogContents& log)
{
    static const std::regex shape("([1-9][0-9]*)\t[0-9]{2}:[0-9]{2}:[0-9]{2}\t([^\n]{0,7})");
    std::smatch match;
    if (!std::regex_match(line, match, shape))
        return false;
    log.counts.push_back(std::stoi(match[1]));
    log.values.push_back(match[2]);
    return true;
}

} // namespace

CycleWorld::CycleWorld()
{
    cycle.RunFlag = -1;
    FreezeTimeAxis(chart);
    StartTimeWindow(chart, clock);
}

bool SleepGate::wait(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return true;
}

LogContents readLog(const std::string& path)
{
    LogContents log;
    const std::string bytes = fileBytes(path);
    std::size_t at = 0;
    if (bytes.starts_with(LogHeaderPrefix)) {
        const auto end = bytes.find(LineEnd + LineEnd);
        if (end == std::string::npos) {
            log.fault = "the header is not followed by an empty line";
            return log;
        }
        log.headed = true;
        at = end + 2 * LineEnd.size();
    }
    while (at < bytes.size()) {
        const auto end = bytes.find(LineEnd, at);
        const std::string line = bytes.substr(at, end == std::string::npos ? end : end - at);
        if (end == std::string::npos || !parseLine(line, log)) {
            log.fault = (end == std::string::npos ? "unfinished line: '" : "malformed line: '") + line + "'";
            return log;
        }
        at = end + LineEnd.size();
    }
    return log;
}

std::string countsProblem(const LogContents& log, int first)
{
    for (std::size_t i = 0; i < log.counts.size(); ++i) {
        const int expected = first + static_cast<int>(i);
        if (log.counts[i] != expected)
            return "line " + std::to_string(i + 1) + " has count " + std::to_string(log.counts[i])
                   + ", expected " + std::to_string(expected);
    }
    return {};
}

bool ScratchMount::available()
{
    return ::geteuid() == 0;
}

ScratchMount::ScratchMount(int sizeKiB) : m_options("size=" + std::to_string(sizeKiB) + "k")
{
    std::string pattern = (fs::temp_directory_path() / "pom-mount-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        raise("mkdtemp");
    m_path = pattern;
    if (::mount("tmpfs", m_path.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, m_options.c_str()) != 0) {
        const int error = errno;
        ::rmdir(m_path.c_str());
        errno = error;
        raise("mounting a tmpfs on " + m_path);
    }
}

ScratchMount::~ScratchMount()
{
    ::umount2(m_path.c_str(), MNT_DETACH);
    ::rmdir(m_path.c_str());
}

void ScratchMount::remount(bool readOnly)
{
    const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
    if (::mount("tmpfs", m_path.c_str(), "tmpfs", flags, m_options.c_str()) != 0)
        raise(std::string("remounting ") + (readOnly ? "read-only" : "writable"));
}

void ScratchMount::fill()
{
    const std::string name = m_path + "/" + FillerName;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        raise("creating " + name);
    const std::string block(4096, 'f');
    for (;;) {
        const ssize_t n = ::write(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
    }
    const int error = errno;
    ::close(fd);
    if (error != ENOSPC) {
        errno = error;
        raise("filling " + m_path);
    }
}

void ScratchMount::unfill()
{
    fs::remove(m_path + "/" + FillerName);
}

LockHolder::LockHolder(const std::string& path)
{
    int isReady[2];
    int toRelease[2];
    if (::pipe2(isReady, O_CLOEXEC) != 0 || ::pipe2(toRelease, O_CLOEXEC) != 0)
        raise("pipe2");
    m_pid = ::fork();
    if (m_pid < 0)
        raise("fork");
    if (m_pid == 0) {
        // Only async-signal-safe calls here: the parent has threads.
        ::close(isReady[0]);
        ::close(toRelease[1]);
        const int fd = ::open(path.c_str(), O_RDWR);
        const char status = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
        [[maybe_unused]] ssize_t ignored = ::write(isReady[1], &status, 1);
        char byte = 0;
        ignored = ::read(toRelease[0], &byte, 1);
        ::_exit(0);
    }
    ::close(isReady[1]);
    ::close(toRelease[0]);
    m_release = toRelease[1];
    char status = 'n';
    const bool told = ::read(isReady[0], &status, 1) == 1;
    ::close(isReady[0]);
    if (!told || status != 'y') {
        release();
        throw std::runtime_error("the lock holder could not lock " + path);
    }
}

LockHolder::~LockHolder()
{
    release();
}

void LockHolder::release()
{
    if (m_release >= 0)
        ::close(m_release);
    m_release = -1;
    if (m_pid > 0)
        ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

} // namespace pom::test
