// thermo-sim: a simulated serial thermometer on a pseudo-terminal.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "simulator.h"

namespace {

int g_stopWrite = -1;

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_stopWrite, &byte, 1);
}

// A signal only writes a byte into a pipe; the loop sees it and ends
// normally, which removes the link.
int stopPipe()
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    g_stopWrite = fds[1];
    struct sigaction action{};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return fds[0];
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const auto options = pom::sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc));
        if (options.help) {
            std::fputs(pom::sim::usage().c_str(), stdout);
            return 0;
        }
        pom::sim::Simulator simulator(options);
        simulator.run(stopPipe());
        return 0;
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "thermo-sim: %s\n%s", error.what(), pom::sim::usage().c_str());
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "thermo-sim: %s\n", error.what());
        return 1;
    }
}
