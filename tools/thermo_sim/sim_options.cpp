#include "sim_options.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

#include "serial_port.h"

namespace pom::sim {

namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

double numberOrThrow(std::string_view text, std::string_view what)
{
    const auto value = parseNumber(text);
    if (!value)
        throw std::invalid_argument(std::string(what) + ": not a number: '" + std::string(text) + "'");
    return *value;
}

int wholeNumber(std::string_view text, int lowest, int highest, std::string_view what)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || value < lowest || value > highest)
        throw std::invalid_argument(std::string(what) + ": expected a whole number from "
                                    + std::to_string(lowest) + " to " + std::to_string(highest)
                                    + ", got '" + std::string(text) + "'");
    return value;
}

Course rampFrom(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        throw std::invalid_argument("--ramp: expected START:STEP, got '" + std::string(text) + "'");
    return Course::ramp(numberOrThrow(text.substr(0, colon), "--ramp"),
                        numberOrThrow(text.substr(colon + 1), "--ramp"));
}

Course valuesFrom(std::string_view text)
{
    std::vector<double> values;
    for (;;) {
        const auto comma = text.find(',');
        values.push_back(numberOrThrow(text.substr(0, comma), "--values"));
        if (comma == std::string_view::npos)
            return Course::cycle(std::move(values));
        text.remove_prefix(comma + 1);
    }
}

// Options that take no value; false when name is not one of them.
bool applySwitch(Options& options, std::string_view name)
{
    const auto mode = name.starts_with("--") ? modeNamed(name.substr(2)) : std::nullopt;
    if (mode)
        options.mode = *mode;
    else if (name == "--help" || name == "-h")
        options.help = true;
    else if (name == "--stay")
        options.stay = true;
    else
        return false;
    return true;
}

void applyValued(Options& options, std::string_view name, std::string_view value)
{
    if (name == "--port")
        options.port = wholeNumber(value, 0, LargestPortNumber, name);
    else if (name == "--links-dir")
        options.linksDirectory = std::string(value);
    else if (name == "--delay-ms")
        options.delayMs = wholeNumber(value, 0, 60000, name);
    else if (name == "--model") {
        const auto model = modelNamed(value);
        if (!model)
            throw std::invalid_argument("--model: expected KVT-4xx, P-410 or P-400, got '"
                                        + std::string(value) + "'");
        options.model = *model;
    } else if (name == "--constant")
        options.course = Course::constant(numberOrThrow(value, name));
    else if (name == "--ramp")
        options.course = rampFrom(value);
    else if (name == "--values")
        options.course = valuesFrom(value);
    else if (name == "--record")
        options.recordFile = std::string(value);
    else
        throw std::invalid_argument("unknown option '" + std::string(name) + "'");
}

} // namespace

std::optional<double> parseNumber(std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

Options parseOptions(const std::vector<std::string>& args)
{
    Options options;
    options.linksDirectory = portLinksDirectory();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view name = args[i];
        if (applySwitch(options, name))
            continue;
        if (i + 1 >= args.size())
            throw std::invalid_argument("option '" + std::string(name) + "' needs a value");
        applyValued(options, name, args[++i]);
    }
    if (options.linksDirectory.empty())
        throw std::invalid_argument("no links folder: set HOME or give --links-dir");
    return options;
}

std::string usage()
{
    return "usage: thermo-sim [--port N] [--links-dir DIR] [--model KVT-4xx|P-410|P-400]\n"
           "                  [--delay-ms MS] [--constant V | --ramp START:STEP | --values V1,V2,...]\n"
           "                  [--silent | --garbage | --short | --long] [--record FILE] [--stay]\n"
           "A thermometer on a pseudo-terminal, linked as COM<N> in the links folder.\n"
           "Commands on stdin, one a line: normal, silent, garbage, short, long, value V,\n"
           "vanish, return, quit. The end of stdin ends it unless --stay is given.\n";
}

std::optional<Command> parseCommand(std::string_view line)
{
    line = trimmed(line);
    if (const auto mode = modeNamed(line))
        return Command{Command::Kind::SetMode, *mode, 0.0};
    if (line == "vanish")
        return Command{Command::Kind::Vanish};
    if (line == "return")
        return Command{Command::Kind::Return};
    if (line == "quit")
        return Command{Command::Kind::Quit};
    if (line.starts_with("value ")) {
        if (const auto value = parseNumber(line.substr(6)))
            return Command{Command::Kind::Value, Mode::Normal, *value};
    }
    return std::nullopt;
}

} // namespace pom::sim
