#pragma once
// The 65-byte command and reply buffers and the text they hold.
#include <array>
#include <cstdint>
#include <string>

namespace pom {

constexpr std::size_t BufferSize = 65;
using Buffer65 = std::array<std::uint8_t, BufferSize>;

// The bytes before the first NUL, all 65 when there is none.
std::string bufferText(const Buffer65& buffer);
// Copies text and a terminating NUL; the text must be at most 64 bytes.
void copyText(Buffer65& buffer, const std::string& text);

} // namespace pom
