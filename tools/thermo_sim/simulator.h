#pragma once
// The simulated thermometer's event loop: the line, stdin commands, replies
// due after their delay.
#include <chrono>
#include <deque>
#include <string>

#include "pty_link.h"
#include "sim_options.h"

namespace pom::sim {

class Simulator {
public:
    explicit Simulator(Options options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Runs until quit, the end of stdin (unless --stay) or a byte on stopFd.
    // Raises on a failure to set up the line.
    void run(int stopFd);

private:
    using Clock = std::chrono::steady_clock;

    void attach();
    void detach();
    void readLine();
    void readStdin();
    void handleCommand(std::string_view line);
    void apply(const Command& command);
    void heard(const char* data, std::size_t size);
    void sendDueReplies();
    void send(const std::string& reply);
    int timeoutMs() const;
    void say(const std::string& line);

    Options m_options;
    Pty m_pty;
    std::string m_link;
    std::string m_heard;  // the last bytes, to spot a query however it arrives
    std::deque<Clock::time_point> m_due;
    std::string m_stdinText;
    int m_recordFd = -1;
    bool m_stdinOpen = true;
    bool m_running = true;
    Clock::time_point m_lineQuietUntil{};
};

} // namespace pom::sim
