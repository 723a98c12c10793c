#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifdef _WIN32
#include "win32_api.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include "errors.h"
#include "text_file.h"

namespace pom {
namespace {

namespace fs = std::filesystem;

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "pom_text_file_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    static void put(const std::string& file, const std::string& bytes)
    {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string contents(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path m_dir;
};

// A path through a missing directory: "file not found" on POSIX, "path not
// found" on Windows, whose code 3 reads "Invalid filename".
#ifdef _WIN32
constexpr int MissingDirectory = io::InvalidFilename;
#else
constexpr int MissingDirectory = io::FileNotFound;
#endif

// Runs an operation and returns the I/O code it raised, 0 when it raised none.
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

TEST_F(TextFileTest, RewriteCutsTheFileAndLinesEndInCrLf)
{
    const auto name = path("zrx1.txt");
    put(name, "old contents that must go\r\n");
    TextFile file;
    file.assign(name);
    file.rewrite();
    file.close();
    EXPECT_EQ(contents(name), "");

    file.append();
    file.writeLn("TORNI");
    file.writeLn();
    file.write("1\t");
    file.writeLn("+0023.5");
    file.close();
    EXPECT_EQ(contents(name), "TORNI\r\n\r\n1\t+0023.5\r\n");
}

TEST_F(TextFileTest, AppendNeverCreates)
{
    const auto name = path("missing.txt");
    TextFile file;
    file.assign(name);
    try {
        file.append();
        FAIL() << "append created the file";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code(), io::FileNotFound);
        EXPECT_STREQ(error.what(), "File not found");
    }
    EXPECT_FALSE(fs::exists(name));
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(ioCodeOf([&] { file.reset(); }), io::FileNotFound);
}

TEST_F(TextFileTest, BufferedBytesReachTheFileOnFlushOnCloseAndPastTheThreshold)
{
    const auto name = path("log.txt");
    TextFile file;
    file.assign(name);
    file.rewrite();
    file.write("abc");
    EXPECT_EQ(contents(name), ""); // still in memory
    file.flush();
    EXPECT_EQ(contents(name), "abc");
    const std::string big(10000, 'x');
    file.write(big);
    EXPECT_GE(contents(name).size(), 4096u); // handed over without a flush
    file.close();
    EXPECT_EQ(contents(name), "abc" + big);
    {
        TextFile scoped;
        scoped.assign(name);
        scoped.append();
        scoped.write("!");
    }
    EXPECT_EQ(contents(name).back(), '!');
}

TEST_F(TextFileTest, ReadLnKeepsCapacityBytesAndSkipsTheRestOfTheLine)
{
    const auto name = path("read.txt");
    put(name, "0123456789\r\nshort\nlone LF\r\n\r\ncr\rinside\nlast without end");
    TextFile file;
    file.assign(name);
    file.reset();
    EXPECT_EQ(file.readLn(4), "0123");
    EXPECT_EQ(file.readLn(105), "short");
    EXPECT_EQ(file.readLn(105), "lone LF");
    EXPECT_EQ(file.readLn(105), "");
    EXPECT_EQ(file.readLn(105), "cr"); // a CR ends the text; the rest through LF is skipped
    EXPECT_FALSE(file.eof());
    EXPECT_EQ(file.readLn(105), "last without end");
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.readLn(105), "");
    file.close();
}

TEST_F(TextFileTest, EmptyFileIsAtItsEndAtOnce)
{
    const auto name = path("empty.txt");
    put(name, "");
    TextFile file;
    file.assign(name);
    file.reset();
    EXPECT_TRUE(file.eof());
    EXPECT_EQ(file.readLn(32), "");
    EXPECT_EQ(file.readIntegerLn(), 0);
}

TEST_F(TextFileTest, ReadIntegerLn)
{
    struct Case {
        const char* text;
        std::int32_t value;
        const char* nextLine; // what readLn gives afterwards
    };
    const Case cases[] = {
        {"255\r\nnext\r\n", 255, "next"},
        {"$FF\r\nnext\r\n", 255, "next"},
        {"0xff\nnext\n", 255, "next"},
        {"-16777201\r\nnext\r\n", -16777201, "next"},
        {"+12 and more\r\nnext\r\n", 12, "next"},
        {"\r\n\r\n  \t 42\r\nnext\r\n", 42, "next"}, // blank lines before the number
        {"7\tx\r\nnext\r\n", 7, "next"},
        {"$FFFFFFFF\r\nnext\r\n", -1, "next"},
        {"\r\n\r\n", 0, ""}, // the end of the file comes first
        {"99\n", 99, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto name = path("config.kvt");
        put(name, c.text);
        TextFile file;
        file.assign(name);
        file.reset();
        EXPECT_EQ(file.readIntegerLn(), c.value);
        EXPECT_EQ(file.readLn(32), c.nextLine);
        file.close();
    }
}

TEST_F(TextFileTest, ReadIntegerLnRejectsNonIntegers)
{
    const char* cases[] = {"abc\r\n", "12a\r\n", "-\r\n", "x1F\r\n", "$\r\n", "2147483648\r\n",
                           "1.5\r\n", "123456789012345678901234567890123456\r\n"};
    for (const char* text : cases) {
        const auto name = path("config.kvt");
        put(name, text);
        TextFile file;
        file.assign(name);
        file.reset();
        try {
            file.readIntegerLn();
            ADD_FAILURE() << '"' << text << "\" was accepted";
        } catch (const InOutError& error) {
            EXPECT_EQ(error.code(), io::InvalidNumericInput) << text;
            EXPECT_STREQ(error.what(), "Invalid numeric input");
        }
    }
}

#ifndef _WIN32 // /dev/full; Windows has no device that is always full
TEST_F(TextFileTest, DiskFullIsReportedAndTheDescriptorReleased)
{
    TextFile file;
    file.assign("/dev/full");
    file.rewrite();
    file.writeLn("1\t12:00:00\t+0023.5");
    try {
        file.flush();
        FAIL() << "writing to /dev/full succeeded";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.code(), io::DiskFull);
        EXPECT_STREQ(error.what(), "Disk full");
    }
    file.writeLn("again");
    EXPECT_EQ(ioCodeOf([&] { file.close(); }), io::DiskFull);
    EXPECT_FALSE(file.isOpen());
}
#endif

TEST_F(TextFileTest, SyncingADeviceIsNoFailure)
{
    TextFile file;
#ifdef _WIN32
    file.assign("NUL");
#else
    file.assign("/dev/null");
#endif
    file.rewrite();
    file.writeLn("x");
    EXPECT_NO_THROW(file.flush());
    EXPECT_NO_THROW(file.close());
}

TEST_F(TextFileTest, ADirectoryIsAccessDeniedInEveryMode)
{
    const auto name = path("zrx1.txt");
    fs::create_directory(name);
    TextFile file;
    file.assign(name);
    EXPECT_EQ(ioCodeOf([&] { file.rewrite(); }), io::AccessDenied);
    EXPECT_EQ(ioCodeOf([&] { file.append(); }), io::AccessDenied);
    EXPECT_EQ(ioCodeOf([&] { file.reset(); }), io::AccessDenied);
    EXPECT_FALSE(file.isOpen());
    EXPECT_STREQ(InOutError(io::AccessDenied).what(), "File access denied");
}

TEST_F(TextFileTest, AMissingDirectoryIsReported)
{
    TextFile file;
    file.assign(path("no/such/dir/zrx1.txt"));
    EXPECT_EQ(ioCodeOf([&] { file.rewrite(); }), MissingDirectory);
}

TEST_F(TextFileTest, ASecondWriterIsRefusedAndCutsNothing)
{
    const auto name = path("held.txt");
    put(name, "kept\r\n");
    TextFile holder;
    holder.assign(name);
    holder.append();

    TextFile second;
    second.assign(name);
    for (auto open : {&TextFile::append, &TextFile::rewrite}) {
        try {
            (second.*open)();
            FAIL() << "second writer accepted";
        } catch (const InOutError& error) {
            EXPECT_EQ(error.code(), io::SharingViolation);
            EXPECT_STREQ(error.what(), "I/O error 32");
        }
        EXPECT_FALSE(second.isOpen());
    }
    EXPECT_EQ(contents(name), "kept\r\n");

    // Readers are let in; once the holder closes, a writer is too.
    TextFile reader;
    reader.assign(name);
    reader.reset();
    EXPECT_EQ(reader.readLn(32), "kept");
    holder.close();
    EXPECT_NO_THROW(second.append());
}

#ifndef _WIN32 // flock; the Windows share modes are tested at the end
TEST_F(TextFileTest, AnotherProgramsLockIsRefusedToo)
{
    const auto name = path("held.txt");
    put(name, "kept");
    const int fd = ::open(name.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    TextFile file;
    file.assign(name);
    EXPECT_EQ(ioCodeOf([&] { file.append(); }), io::SharingViolation);
    ::close(fd);
}
#endif

TEST_F(TextFileTest, OperationsInTheWrongStateRaiseTheRunTimeCodes)
{
    const auto name = path("state.txt");
    put(name, "line\r\n");
    TextFile file;
    file.assign(name);
    EXPECT_EQ(ioCodeOf([&] { file.writeLn("x"); }), 103);
    EXPECT_EQ(ioCodeOf([&] { file.readLn(5); }), 103);
    EXPECT_EQ(ioCodeOf([&] { file.eof(); }), 103);
    EXPECT_EQ(ioCodeOf([&] { file.close(); }), 103);
    file.reset();
    EXPECT_EQ(ioCodeOf([&] { file.writeLn("x"); }), 105);
    EXPECT_EQ(ioCodeOf([&] { file.flush(); }), 105);
    file.append(); // reopening closes first
    EXPECT_EQ(ioCodeOf([&] { file.readLn(5); }), 104);
    EXPECT_EQ(ioCodeOf([&] { file.readIntegerLn(); }), 104);
    EXPECT_EQ(ioCodeOf([&] { file.eof(); }), 104);
    file.close();
    EXPECT_STREQ(InOutError(103).what(), "I/O error 103");
}

TEST_F(TextFileTest, CopyReplacesTheTarget)
{
    const auto from = path("zrx1.txt");
    const auto to = path("saved.txt");
    put(from, "TORNI\r\n\r\n1\t12:00:00\t+0023.5\r\n");
    put(to, "a much longer old file that must disappear entirely\r\n");
    copyFileOverwrite(from, to);
    EXPECT_EQ(contents(to), contents(from));
    copyFileOverwrite(from, path("new.txt"));
    EXPECT_EQ(contents(path("new.txt")), contents(from));
}

TEST_F(TextFileTest, CopyOntoItselfKeepsTheData)
{
    const auto name = path("zrx1.txt");
    put(name, "data\r\n");
    copyFileOverwrite(name, name);
    EXPECT_EQ(contents(name), "data\r\n");
#ifdef _WIN32
    fs::create_hard_link(name, path("link.txt")); // the run-time has no symbolic links
#else
    fs::create_symlink(name, path("link.txt"));
#endif
    copyFileOverwrite(name, path("link.txt"));
    copyFileOverwrite(path("link.txt"), path("./zrx1.txt"));
    EXPECT_EQ(contents(name), "data\r\n");
}

TEST_F(TextFileTest, CopyFailuresAreReported)
{
    const auto from = path("zrx1.txt");
    put(from, "data");
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(path("missing.txt"), path("x.txt")); }), io::FileNotFound);
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(from, path("no/dir/x.txt")); }), MissingDirectory);
#ifndef _WIN32
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(from, "/dev/full"); }), io::DiskFull);
#endif
    fs::create_directory(path("dir"));
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(from, path("dir")); }), io::AccessDenied);
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(path("dir"), path("y.txt")); }), io::AccessDenied);

    TextFile holder;
    holder.assign(path("held.txt"));
    holder.rewrite();
    holder.write("mine");
    holder.flush();
    EXPECT_EQ(ioCodeOf([&] { copyFileOverwrite(from, path("held.txt")); }), io::SharingViolation);
    EXPECT_EQ(contents(path("held.txt")), "mine");
}


#ifdef _WIN32
// --- Windows: share modes instead of flock, wide names, the system's codes ---

// Another program's handle on the file.
HANDLE openOther(const fs::path& dir, const std::string& name, DWORD access, DWORD share)
{
    return CreateFileW((dir / name).wstring().c_str(), access, share, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// name is UTF-8 and stays so; a path would read it in the ANSI code page.
std::string utf8Path(const fs::path& dir, const std::string& name)
{
    return dir.string() + "\\" + name;
}

TEST_F(TextFileTest, Win32WhileWeWriteOthersMayReadButNotWrite)
{
    put(path("zrx1.txt"), "");
    TextFile log;
    log.assign(path("zrx1.txt"));
    log.append();
    log.writeLn("1\t12:00:00\t+0023.5");
    log.flush();

    const HANDLE writer = openOther(m_dir, "zrx1.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);

    const HANDLE reader = openOther(m_dir, "zrx1.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    char bytes[64] = {};
    DWORD got = 0;
    EXPECT_NE(ReadFile(reader, bytes, sizeof bytes, &got, nullptr), 0);
    EXPECT_EQ(std::string(bytes, got), "1\t12:00:00\t+0023.5\r\n");
    CloseHandle(reader);
    log.close();
}

TEST_F(TextFileTest, Win32AFileAnotherProgramHoldsIsRefusedWithCode32AndNotCut)
{
    put(path("held.txt"), "kept\r\n");
    // Share modes that refuse our writer: none at all, or readers only.
    for (const DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ}}) {
        const HANDLE other = openOther(m_dir, "held.txt", GENERIC_READ, share);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        TextFile file;
        file.assign(path("held.txt"));
        EXPECT_EQ(ioCodeOf([&] { file.append(); }), io::SharingViolation) << share;
        EXPECT_EQ(ioCodeOf([&] { file.rewrite(); }), io::SharingViolation) << share;
        EXPECT_FALSE(file.isOpen());
        CloseHandle(other);
    }
    EXPECT_EQ(contents(path("held.txt")), "kept\r\n");
    EXPECT_STREQ(InOutError(io::SharingViolation).what(), "I/O error 32");
}

TEST_F(TextFileTest, Win32AReaderLetsAnotherProgramWriteOn)
{
    put(path("log.txt"), "1\r\n");
    TextFile reader;
    reader.assign(path("log.txt"));
    reader.reset();
    const HANDLE writer = openOther(m_dir, "log.txt", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_NE(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_EQ(reader.readLn(8), "1");
    reader.close();
}

TEST_F(TextFileTest, Win32Utf8NamesAreTheSystemsWideNames)
{
    const std::string name = "zapis \xC5\x82\xC3\xB3\x64\xC5\xBA.txt"; // "zapis łódź.txt"
    TextFile file;
    file.assign(utf8Path(m_dir, name));
    file.rewrite();
    file.writeLn("TORNI");
    file.close();
    EXPECT_TRUE(fs::exists(m_dir / L"zapis \u0142\u00F3d\u017A.txt"));
    copyFileOverwrite(utf8Path(m_dir, name), utf8Path(m_dir, "kopia \xC5\x82.txt"));
    EXPECT_TRUE(fs::exists(m_dir / L"kopia \u0142.txt"));
    file.reset();
    EXPECT_EQ(file.readLn(16), "TORNI");
    file.close();
}

TEST_F(TextFileTest, Win32SystemCodesBecomeTheRunTimesCodes)
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
        {utf8Path(m_dir, "bad\xC5.txt"), io::InvalidFilename},   // not UTF-8
        {utf8Path(m_dir, "what?.txt"), io::InvalidFilename},
    };
    for (const auto& c : cases) {
        TextFile file;
        file.assign(c.name);
        EXPECT_EQ(ioCodeOf([&] { file.reset(); }), c.code) << c.name;
    }
}
#endif

} // namespace
} // namespace pom
