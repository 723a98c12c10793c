#include <gtest/gtest.h>

#include <cerrno>

#include "errors.h"

namespace pom {
namespace {

TEST(IoErrorText, NamedCodesAndTheGenericForm)
{
    const std::pair<int, const char*> cases[] = {
        {2, "File not found"}, {3, "Invalid filename"}, {4, "Too many open files"},
        {5, "File access denied"}, {100, "Read beyond end of file"}, {101, "Disk full"},
        {106, "Invalid numeric input"}, {32, "I/O error 32"}, {103, "I/O error 103"},
        {0, "I/O error 0"}, {-1, "I/O error -1"},
    };
    for (const auto& [code, text] : cases) {
        EXPECT_EQ(ioErrorText(code), text);
        const InOutError error(code);
        EXPECT_EQ(error.code(), code);
        EXPECT_STREQ(error.what(), text);
        EXPECT_EQ(error.kind(), "EInOutError");
    }
}

#ifndef _WIN32 // Windows files report the system's own codes, not errno
TEST(IoErrorText, ErrnoMapping)
{
    const std::pair<int, int> cases[] = {
        {ENOENT, 2}, {ENOTDIR, 3}, {ENAMETOOLONG, 3}, {ELOOP, 3}, {EMFILE, 4}, {ENFILE, 4},
        {EACCES, 5}, {EPERM, 5}, {EROFS, 5}, {EISDIR, 5}, {ENOSPC, 101}, {EDQUOT, 101},
        {EFBIG, 101}, {EWOULDBLOCK, 32}, {EAGAIN, 32}, {EBUSY, 32}, {ETXTBSY, 32},
        {EIO, 31}, {EINVAL, 31}, {0, 31},
    };
    for (const auto& [err, code] : cases)
        EXPECT_EQ(ioCodeFromErrno(err), code) << "errno " << err;
}
#endif

TEST(IoErrorText, RaisingCarriesTheCode)
{
    try {
        raiseIoErrorFromErrno(ENOSPC);
        FAIL();
    } catch (const InOutError& e) {
        EXPECT_EQ(e.code(), io::DiskFull);
        EXPECT_STREQ(e.what(), "Disk full");
    }
}

TEST(ErrorKinds, NameTheirClass)
{
    EXPECT_EQ(ConvertError("x").kind(), "EConvertError");
    EXPECT_EQ(ChartError("x").kind(), "EChartException");
    EXPECT_STREQ(ChartError("Axis minimum").what(), "Axis minimum");
}

TEST(WithFullStop, AddsAPointAfterBytesAboveThePoint)
{
    const std::pair<std::string, std::string> cases[] = {
        {"File not found", "File not found."}, {"", ""}, {"Done.", "Done."},
        {"I/O error 32", "I/O error 32."}, {"a-", "a-"}, {"a ", "a "}, {"a/", "a/."},
        {"'' is not a valid time", "'' is not a valid time."}, {"ends in \xB9", "ends in \xB9."},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(withFullStop(message), shown) << '"' << message << '"';
}

TEST(ApplicationTitle, FileNameWithoutExtensionRestLowered)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/pomiarownik", "pomiarownik"}, {"/usr/bin/Pomiarownik", "Pomiarownik"},
        {"/x/POMIAROWNIK.EXE", "Pomiarownik"}, {"C:\\Program Files\\Pomiar.exe", "Pomiar"},
        {"pomiarownik", "pomiarownik"}, {"./my.tool.bin", "my.tool"}, {"/opt/.hidden", ".hidden"},
        {"", ""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(applicationTitle(path), title) << path;
}

} // namespace
} // namespace pom
