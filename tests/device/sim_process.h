#pragma once
// The thermometer simulator as a child process: started on a links folder,
// driven through its stdin, ended with the test.
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace pom::test {

class SimProcess {
public:
    // Starts program and waits for its "ready <slave>" line; raises
    // std::runtime_error when it does not come.
    SimProcess(const std::string& program, const std::string& linksDirectory,
               const std::vector<std::string>& options);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    const std::string& slavePath() const { return m_slavePath; }
    // Sends one command line and returns the line that answers it.
    std::string command(const std::string& line);

private:
    std::string readLine(std::chrono::milliseconds timeout);
    void stop();

    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::string m_pending;
    std::string m_slavePath;
};

} // namespace pom::test
