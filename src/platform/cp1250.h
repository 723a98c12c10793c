#pragma once
// Files hold single-byte Central European text (Windows code page 1250); the
// program's own strings are UTF-8.
#include <string>
#include <string_view>

namespace pom {

// Characters that code page 1250 lacks become '?'.
std::string utf8ToCp1250(std::string_view utf8);
std::string cp1250ToUtf8(std::string_view bytes);

} // namespace pom
