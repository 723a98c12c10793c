#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace pom::fuzz {

namespace {

std::filesystem::path& privateDirectory()
{
    static std::filesystem::path path;
    return path;
}

void removePrivateDirectory()
{
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(privateDirectory(), ignored);
}

} // namespace

void EnterPrivateDirectory()
{
    if (!privateDirectory().empty())
        return;
    std::string pattern = (std::filesystem::temp_directory_path() / "pom_fuzz_XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("pom fuzz: mkdtemp");
        std::abort();
    }
    privateDirectory() = pattern;
    std::filesystem::current_path(privateDirectory());
    std::atexit(removePrivateDirectory);
}

std::filesystem::path PrivatePath(const std::string& name)
{
    return privateDirectory() / name;
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "pom fuzz: cannot write %s\n", path.c_str());
        std::abort();
    }
}

void Require(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "pom fuzz: broken promise: %s\n", what);
    std::abort();
}

} // namespace pom::fuzz
