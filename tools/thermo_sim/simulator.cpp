#include "simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace pom::sim {

namespace {

// How long to leave the master alone after it reported a hang-up, instead
// of polling it again at once.
constexpr std::chrono::milliseconds HangupPause{50};

int openRecord(const std::string& path)
{
    if (path.empty())
        return -1;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::system_error(errno, std::generic_category(), "opening " + path);
    return fd;
}

void writeFully(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;  // a line with no room loses the rest, as a real one would
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

Simulator::Simulator(Options options)
    : m_options(std::move(options)), m_link(linkPath(m_options.linksDirectory, m_options.port)),
      m_recordFd(openRecord(m_options.recordFile))
{
}

Simulator::~Simulator()
{
    detach();
    if (m_recordFd >= 0)
        ::close(m_recordFd);
}

void Simulator::say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

void Simulator::attach()
{
    m_pty = openPty();
    placeLink(m_link, m_pty.slavePath);
    say("ready " + m_pty.slavePath);
}

void Simulator::detach()
{
    if (m_pty.master < 0)
        return;
    removeLink(m_link, m_pty.slavePath);
    closePty(m_pty);
    m_due.clear();
    m_heard.clear();
}

void Simulator::run(int stopFd)
{
    attach();
    while (m_running) {
        pollfd fds[3] = {{stopFd, POLLIN, 0}, {-1, POLLIN, 0}, {-1, POLLIN, 0}};
        if (m_stdinOpen)
            fds[1].fd = STDIN_FILENO;
        if (m_pty.master >= 0 && Clock::now() >= m_lineQuietUntil)
            fds[2].fd = m_pty.master;
        const int ready = ::poll(fds, 3, timeoutMs());
        if (ready < 0 && errno != EINTR)
            throw std::system_error(errno, std::generic_category(), "poll");
        if (ready > 0 && fds[0].revents != 0)
            return;
        if (ready > 0 && fds[2].revents != 0)
            readLine();
        if (ready > 0 && fds[1].revents != 0)
            readStdin();
        sendDueReplies();
    }
}

int Simulator::timeoutMs() const
{
    Clock::time_point wake = Clock::time_point::max();
    if (!m_due.empty())
        wake = m_due.front();
    if (m_pty.master >= 0 && m_lineQuietUntil > Clock::now())
        wake = std::min(wake, m_lineQuietUntil);
    if (wake == Clock::time_point::max())
        return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(wake - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void Simulator::readLine()
{
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_pty.master, buffer, sizeof buffer);
        if (n > 0) {
            heard(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // EIO: no slave is open. Ours always is, but do not spin if it is not.
        if (n < 0 && errno == EIO)
            m_lineQuietUntil = Clock::now() + HangupPause;
        return;
    }
}

void Simulator::heard(const char* data, std::size_t size)
{
    if (m_recordFd >= 0)
        writeFully(m_recordFd, data, size);
    for (std::size_t i = 0; i < size; ++i) {
        m_heard.push_back(data[i]);
        if (m_heard.size() > QueryText.size())
            m_heard.erase(0, 1);
        if (m_heard == QueryText) {
            m_heard.clear();
            m_due.push_back(Clock::now() + std::chrono::milliseconds(m_options.delayMs));
        }
    }
}

void Simulator::sendDueReplies()
{
    while (!m_due.empty() && m_due.front() <= Clock::now()) {
        m_due.pop_front();
        // The mode counts as it is when the reply is due, so a test may
        // switch it between a query and its answer.
        if (m_options.mode == Mode::Silent)
            continue;
        const double value = m_options.course.next();
        if (const auto reply = replyFor(m_options.mode, m_options.model, value))
            send(*reply);
    }
}

void Simulator::send(const std::string& reply)
{
    if (m_pty.master >= 0)
        writeFully(m_pty.master, reply.data(), reply.size());
}

void Simulator::readStdin()
{
    char buffer[256];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n <= 0) {
        m_stdinOpen = false;
        m_running = m_options.stay;
        return;
    }
    m_stdinText.append(buffer, static_cast<std::size_t>(n));
    for (auto end = m_stdinText.find('\n'); end != std::string::npos && m_running;
         end = m_stdinText.find('\n')) {
        const std::string line = m_stdinText.substr(0, end);
        m_stdinText.erase(0, end + 1);
        handleCommand(line);
    }
}

void Simulator::handleCommand(std::string_view line)
{
    const auto command = parseCommand(line);
    if (!command) {
        say("error unknown command: " + std::string(line));
        return;
    }
    apply(*command);
}

// Each command is answered on stdout, so a test knows it took effect.
void Simulator::apply(const Command& command)
{
    switch (command.kind) {
    case Command::Kind::SetMode:
        m_options.mode = command.mode;
        say("ok mode");
        break;
    case Command::Kind::Value:
        m_options.course = Course::constant(command.value);
        say("ok value");
        break;
    case Command::Kind::Vanish:
        detach();
        say("ok vanish");
        break;
    case Command::Kind::Return:
        detach();
        attach();
        break;
    case Command::Kind::Quit:
        m_running = false;
        break;
    }
}

} // namespace pom::sim
