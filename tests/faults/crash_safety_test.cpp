// The recorder killed with SIGKILL at random instants while it records as
// fast as it can: the log is always its header and whole, consecutive lines,
// and holds every line whose close had completed.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "fault_support.h"
#include "sim_process.h"
#include "temp_dir.h"

extern char** environ;

namespace pom {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int Kills = 50;
constexpr int LatestKillUs = 300000;

// The helper as a child whose stdout the test reads.
class KilledRecorder {
public:
    KilledRecorder(const std::string& links, const std::string& work)
    {
        int out[2];
        if (::pipe2(out, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe2");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        std::vector<std::string> argv{POM_CRASH_RECORDER, links, work};
        std::vector<char*> args;
        for (auto& arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        const int error = ::posix_spawn(&m_pid, args[0], &actions, nullptr, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        m_out = out[0];
        if (error != 0)
            throw std::runtime_error("cannot start the crash recorder");
    }
    ~KilledRecorder()
    {
        kill();
        ::close(m_out);
    }
    KilledRecorder(const KilledRecorder&) = delete;
    KilledRecorder& operator=(const KilledRecorder&) = delete;

    bool waitReady()
    {
        const auto deadline = SteadyClock::now() + 5s;
        while (m_said.find("ready\n") == std::string::npos && SteadyClock::now() < deadline)
            if (!readSome(100))
                return false;
        return m_said.find("ready\n") != std::string::npos;
    }
    // Kills it and returns all it said.
    std::string kill()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
            while (readSome(0)) {
            }
        }
        return m_said;
    }

private:
    bool readSome(int timeoutMs)
    {
        pollfd p{m_out, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return timeoutMs > 0;
        char buffer[4096];
        const ssize_t n = ::read(m_out, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        m_said.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t m_pid = -1;
    int m_out = -1;
    std::string m_said;
};

// The last count reported after "ready"; a report of failure fails the test.
int lastReported(const std::string& said)
{
    std::istringstream in(said);
    int last = 0;
    for (std::string line; std::getline(in, line);) {
        EXPECT_FALSE(line.starts_with("failed")) << line;
        if (!line.empty() && line != "ready" && !line.starts_with("failed"))
            last = std::stoi(line);
    }
    return last;
}

TEST(CrashSafety, KilledAtRandomInstantsTheLogHoldsWholeLinesAndEveryClosedOne)
{
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> killAfterUs(0, LatestKillUs);
    int linesInAll = 0;
    for (int i = 0; i < Kills; ++i) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(i + 1));
        test::TempDir links, work;
        test::SimProcess sim(POM_THERMO_SIM, links.path(), {"--delay-ms", "0", "--ramp", "20:0.1"});
        KilledRecorder recorder(links.path(), work.path());
        ASSERT_TRUE(recorder.waitReady());
        std::this_thread::sleep_for(std::chrono::microseconds(killAfterUs(random)));
        const int closed = lastReported(recorder.kill());

        const auto log = test::readLog(work.file("zrx1.txt"));
        EXPECT_TRUE(log.headed);
        EXPECT_EQ(log.fault, "");
        EXPECT_EQ(test::countsProblem(log, 1), "");
        const int lines = static_cast<int>(log.counts.size());
        EXPECT_GE(lines, closed);
        // At most the line under way when the kill came is there unreported.
        EXPECT_LE(lines, closed + 1);
        linesInAll += lines;
    }
    // The kills met a recording in progress, not an idle one.
    EXPECT_GT(linesInAll, Kills);
}

} // namespace
} // namespace pom
