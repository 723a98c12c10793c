#pragma once
// What the simulated thermometer puts on the line for one query.
#include <optional>
#include <string>
#include <string_view>

namespace pom::sim {

enum class Model { Kvt4xx, P410, P400 };

// How it answers: properly, not at all, or in one of the broken ways a test
// needs to see handled.
enum class Mode { Normal, Silent, Garbage, Short, Long };

inline constexpr std::string_view QueryText = "01t?\r";
inline constexpr std::size_t ShortReplySize = 3;
// More than the recorder's 65-byte reply buffer.
inline constexpr std::size_t LongReplySize = 80;

std::optional<Model> modelNamed(std::string_view name);
std::optional<Mode> modeNamed(std::string_view name);

// "+0023.5" CR for KVT-4xx, "1+0023.5" CR for P-410, "+00235" CR for P-400.
std::string formatReading(Model model, double value);
// Nothing when silent.
std::optional<std::string> replyFor(Mode mode, Model model, double value);

} // namespace pom::sim
