#include "sim_reply.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

namespace pom::sim {

namespace {

// Sign and four integer digits leave room for no more.
constexpr double LargestReading = 9999.9;

std::string repeatedTo(const std::string& text, std::size_t size)
{
    std::string out;
    while (out.size() < size)
        out += text;
    out.resize(size);
    return out;
}

template <typename T, std::size_t N>
std::optional<T> named(const std::pair<std::string_view, T> (&names)[N], std::string_view name)
{
    for (const auto& [text, value] : names)
        if (text == name)
            return value;
    return std::nullopt;
}

} // namespace

std::optional<Model> modelNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Model> names[] = {
        {"KVT-4xx", Model::Kvt4xx}, {"P-410", Model::P410}, {"P-400", Model::P400}};
    return named(names, name);
}

std::optional<Mode> modeNamed(std::string_view name)
{
    static constexpr std::pair<std::string_view, Mode> names[] = {
        {"normal", Mode::Normal}, {"silent", Mode::Silent}, {"garbage", Mode::Garbage},
        {"short", Mode::Short},   {"long", Mode::Long}};
    return named(names, name);
}

std::string formatReading(Model model, double value)
{
    const long tenths = std::lround(std::clamp(value, -LargestReading, LargestReading) * 10.0);
    const char sign = tenths < 0 ? '-' : '+';
    const long magnitude = std::labs(tenths);
    char text[32];
    if (model == Model::P400)
        std::snprintf(text, sizeof text, "%c%05ld\r", sign, magnitude);
    else
        std::snprintf(text, sizeof text, "%c%04ld.%ld\r", sign, magnitude / 10, magnitude % 10);
    return model == Model::P410 ? "1" + std::string(text) : std::string(text);
}

std::optional<std::string> replyFor(Mode mode, Model model, double value)
{
    switch (mode) {
    case Mode::Silent:
        return std::nullopt;
    case Mode::Garbage:
        // No sign at 1 and no point at 6 or 7: not a reading in any layout.
        return std::string("xx?!zz\r");
    case Mode::Short:
        return formatReading(model, value).substr(0, ShortReplySize);
    case Mode::Long:
        return repeatedTo(formatReading(model, value), LongReplySize);
    case Mode::Normal:
        break;
    }
    return formatReading(model, value);
}

} // namespace pom::sim
