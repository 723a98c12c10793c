#pragma once
// A fresh working directory for one test, removed afterwards; the log's
// default name is relative, so the tests run inside it.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace pom::test {

// Names are UTF-8 on every system; Windows would read a narrow path in its
// ANSI code page.
inline std::filesystem::path utf8Path(const std::string& name)
{
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

inline std::string utf8Name(const std::filesystem::path& path)
{
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

class TempDir {
public:
    TempDir() : m_previous(std::filesystem::current_path())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pom_files_XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
        std::filesystem::current_path(m_path);
    }
    ~TempDir()
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_path);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // A full path inside the directory; name is UTF-8.
    std::string file(const std::string& name) const { return utf8Name(m_path / utf8Path(name)); }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::string& name)
{
    std::ifstream in(utf8Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& name, const std::string& bytes)
{
    std::ofstream(utf8Path(name), std::ios::binary) << bytes;
}

} // namespace pom::test
