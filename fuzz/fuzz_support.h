#pragma once
// What the fuzz targets share: a private working directory, the input as a
// file, and a check that stops the run the way a crash would.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace pom::fuzz {

// Makes a fresh directory under the system's temporary folder the working
// directory for the rest of the run, and removes it at exit. The program's
// relative names ("config.kvt") then never touch the caller's files.
void EnterPrivateDirectory();
// The full path of name inside the private directory.
std::filesystem::path PrivatePath(const std::string& name);

// Replaces the file's contents with the bytes, exactly.
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A broken promise of the code under test: reported and aborted, so that
// libFuzzer keeps the input as a crash.
void Require(bool holds, const char* what);

} // namespace pom::fuzz
