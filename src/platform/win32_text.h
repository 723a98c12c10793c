#pragma once
// Text at the Win32 boundary: the program's strings are UTF-8, the system's
// wide (UTF-16).
#include <optional>
#include <string>
#include <string_view>

namespace pom::win32 {

// Empty optional when the bytes are not valid UTF-8.
std::optional<std::wstring> wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);

} // namespace pom::win32
