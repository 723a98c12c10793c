#pragma once
// The simulator's command line and the commands it reads from stdin.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim_course.h"
#include "sim_reply.h"

namespace pom::sim {

struct Options {
    int port = 7;
    std::string linksDirectory;  // the recorder's own links folder unless given
    Model model = Model::Kvt4xx;
    int delayMs = 100;
    Course course = Course::constant(23.5);
    Mode mode = Mode::Normal;
    std::string recordFile;  // empty: nothing recorded
    bool stay = false;       // keep running at the end of stdin
    bool help = false;
};

inline constexpr int LargestPortNumber = 255;

// Raises std::invalid_argument with a message for the operator.
Options parseOptions(const std::vector<std::string>& args);
std::string usage();

struct Command {
    enum class Kind { SetMode, Value, Vanish, Return, Quit };
    Kind kind = Kind::SetMode;
    Mode mode = Mode::Normal;
    double value = 0.0;
};

// One line from stdin; nothing when it is not a command.
std::optional<Command> parseCommand(std::string_view line);

// A finite decimal number, "." as the point whatever the locale.
std::optional<double> parseNumber(std::string_view text);

} // namespace pom::sim
