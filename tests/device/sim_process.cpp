#include "sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace pom::test {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds AnswerTimeout{5000};
constexpr std::chrono::milliseconds ExitTimeout{2000};

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

bool exitedWithin(pid_t pid, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

pid_t spawn(const std::vector<std::string>& argv, int stdinFd, int stdoutFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    std::vector<char*> args;
    for (const auto& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

} // namespace

SimProcess::SimProcess(const std::string& program, const std::string& linksDirectory,
                       const std::vector<std::string>& options)
{
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2");
    std::vector<std::string> argv{program, "--links-dir", linksDirectory};
    argv.insert(argv.end(), options.begin(), options.end());
    m_pid = spawn(argv, in[0], out[1]);
    ::close(in[0]);
    ::close(out[1]);
    m_stdin = in[1];
    m_stdout = out[0];
    const std::string ready = readLine(AnswerTimeout);
    if (!ready.starts_with("ready /")) {
        stop();
        throw std::runtime_error("the simulator did not get ready: '" + ready + "'");
    }
    m_slavePath = ready.substr(6);
}

SimProcess::~SimProcess()
{
    stop();
}

void SimProcess::stop()
{
    if (m_stdin >= 0)
        ::close(m_stdin);  // the end of stdin ends it, link removed
    m_stdin = -1;
    if (m_pid > 0 && !exitedWithin(m_pid, ExitTimeout)) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
    if (m_stdout >= 0)
        ::close(m_stdout);
    m_stdout = -1;
}

std::string SimProcess::command(const std::string& line)
{
    const std::string text = line + "\n";
    if (::write(m_stdin, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        throw std::runtime_error("cannot write to the simulator");
    return readLine(AnswerTimeout);
}

std::string SimProcess::readLine(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto end = m_pending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_pending.substr(0, end);
            m_pending.erase(0, end + 1);
            return line;
        }
        pollfd p{m_stdout, POLLIN, 0};
        if (::poll(&p, 1, msLeft(deadline)) <= 0)
            return "(no answer)";
        char buffer[256];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n <= 0)
            return "(ended)";
        m_pending.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace pom::test
