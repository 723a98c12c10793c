#include "buffers.h"

#include <algorithm>
#include <stdexcept>

namespace pom {

std::string bufferText(const Buffer65& buffer)
{
    const auto end = std::find(buffer.begin(), buffer.end(), std::uint8_t{0});
    return std::string(buffer.begin(), end);
}

void copyText(Buffer65& buffer, const std::string& text)
{
    if (text.size() >= BufferSize)
        throw std::length_error("text does not fit the 65-byte buffer");
    std::copy(text.begin(), text.end(), buffer.begin());
    buffer[text.size()] = 0;
}

} // namespace pom
