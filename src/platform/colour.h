#pragma once
#include <cstdint>

namespace pom {

// 0x00BBGGRR, or 0xFF000000 plus a system colour's index.
using Colour = std::uint32_t;

namespace colours {
constexpr Colour Red = 0x0000FF;
constexpr Colour Blue = 0xFF0000;
constexpr Colour Silver = 0xC0C0C0;
constexpr Colour White = 0xFFFFFF;
constexpr Colour WindowText = 0xFF000008;
constexpr Colour BtnFace = 0xFF00000F;
constexpr Colour SeriesDefault = 0x20000000; // a point takes the series' colour
}

} // namespace pom
