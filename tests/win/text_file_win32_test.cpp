// TextFile on Windows: share modes instead of flock, wide file names, and the
// system's own error codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "errors.h"
#include "text_file.h"
#include "win32_api.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

class TextFileWin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "pom_win32_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::wstring wide(const std::string& name) const { return (m_dir / name).wstring(); }
    // name is UTF-8, and stays so: a path would read it in the ANSI code page.
    std::string path(const std::string& name) const { return m_dir.string() + "\\" + name; }

    // Another program's handle on the file.
    HANDLE openOther(const std::string& name, DWORD access, DWORD share) const
    {
        return CreateFileW(wide(name).c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }

    void put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
    }
    std::string contents(const std::string& name) const
    {
        std::ifstream in(m_dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_dir;
};

template <typename Operation>
int ioCodeOf(Operation operation)
{
    try {
        operation();
    } catch (const InOutError& error) {
        return error.code();
    }
    return 0;
}

TEST_F(TextFileWin32, WhileWeWriteOthersMayReadButNotWrite)
{
    put("zrx1.txt", "");
    TextFile log;
    log.assign(path("zrx1.txt"));
    log.append();
    log.writeLn("1\t12:00:00\t+0023.5");
    log.flush();

    const HANDLE writer = openOther("zrx1.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);

    const HANDLE reader = openOther("zrx1.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    char bytes[64] = {};
    DWORD got = 0;
    EXPECT_NE(ReadFile(reader, bytes, sizeof bytes, &got, nullptr), 0);
    EXPECT_EQ(std::string(bytes, got), "1\t12:00:00\t+0023.5\r\n");
    CloseHandle(reader);
    log.close();
}

TEST_F(TextFileWin32, AFileAnotherProgramHoldsIsRefusedWithCode32AndNotCut)
{
    put("held.txt", "kept\r\n");
    // Share modes that refuse our writer: none at all, or readers only.
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        const HANDLE other = openOther("held.txt", GENERIC_READ, share);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        TextFile file;
        file.assign(path("held.txt"));
        EXPECT_EQ(ioCodeOf([&] { file.append(); }), io::SharingViolation) << share;
        EXPECT_EQ(ioCodeOf([&] { file.rewrite(); }), io::SharingViolation) << share;
        EXPECT_FALSE(file.isOpen());
        CloseHandle(other);
    }
    EXPECT_EQ(contents("held.txt"), "kept\r\n");
    EXPECT_STREQ(InOutError(io::SharingViolation).what(), "I/O error 32");
}

TEST_F(TextFileWin32, AReaderLetsAnotherProgramWriteOn)
{
    put("log.txt", "1\r\n");
    TextFile reader;
    reader.assign(path("log.txt"));
    reader.reset();
    const HANDLE writer = openOther("log.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_EQ(reader.readLn(8), "1");
    reader.close();
}

TEST_F(TextFileWin32, Utf8NamesAreTheSystemsWideNames)
{
    const std::string name = "zapis \xC5\x82\xC3\xB3\x64\xC5\xBA.txt"; // "zapis łódź.txt"
    TextFile file;
    file.assign(path(name));
    file.rewrite();
    file.writeLn("TORNI");
    file.close();
    EXPECT_TRUE(fs::exists(m_dir / L"zapis \u0142\u00F3d\u017A.txt"));
    copyFileOverwrite(path(name), path("kopia \xC5\x82.txt"));
    EXPECT_TRUE(fs::exists(m_dir / L"kopia \u0142.txt"));
    file.reset();
    EXPECT_EQ(file.readLn(16), "TORNI");
    file.close();
}

TEST_F(TextFileWin32, SystemCodesBecomeTheRunTimesCodes)
{
    fs::create_directory(m_dir / "dir");
    struct Case {
        std::string name;
        int code;
    };
    const Case cases[] = {
        {path("missing.txt"), io::FileNotFound},
        {path("no\\such\\dir\\zrx1.txt"), io::InvalidFilename}, // the path is not found
        {path("dir"), io::AccessDenied},
        {path("bad\xC5.txt"), io::InvalidFilename},              // not UTF-8
        {path("what?.txt"), io::InvalidFilename},
    };
    for (const auto& c : cases) {
        TextFile file;
        file.assign(c.name);
        EXPECT_EQ(ioCodeOf([&] { file.reset(); }), c.code) << c.name;
    }
}

} // namespace
} // namespace pom
