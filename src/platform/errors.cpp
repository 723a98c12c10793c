#include "errors.h"

#include <cerrno>
#include <initializer_list>
#include <utility>

namespace pom {

Error::Error(std::string kind, const std::string& message)
    : std::runtime_error(message), m_kind(std::move(kind))
{
}

InOutError::InOutError(int code) : Error("EInOutError", ioErrorText(code)), m_code(code) {}

ConvertError::ConvertError(const std::string& message) : Error("EConvertError", message) {}

ChartError::ChartError(const std::string& message) : Error("EChartException", message) {}

std::string ioErrorText(int code)
{
    switch (code) {
    case io::FileNotFound: return "File not found";
    case io::InvalidFilename: return "Invalid filename";
    case io::TooManyOpenFiles: return "Too many open files";
    case io::AccessDenied: return "File access denied";
    case io::ReadBeyondEnd: return "Read beyond end of file";
    case io::DiskFull: return "Disk full";
    case io::InvalidNumericInput: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

namespace {

// Several of these are aliases of each other on some systems (EAGAIN and
// EWOULDBLOCK) or missing on others, so they are tested one by one.
bool isOneOf(int err, std::initializer_list<int> values)
{
    for (int value : values)
        if (err == value)
            return true;
    return false;
}

} // namespace

int ioCodeFromErrno(int err)
{
    if (err == ENOENT)
        return io::FileNotFound;
    if (isOneOf(err, {ENOTDIR, ENAMETOOLONG
#ifdef ELOOP
                      , ELOOP
#endif
                     }))
        return io::InvalidFilename;
    if (isOneOf(err, {EMFILE, ENFILE}))
        return io::TooManyOpenFiles;
    if (isOneOf(err, {EACCES, EPERM, EROFS, EISDIR}))
        return io::AccessDenied;
    if (isOneOf(err, {ENOSPC, EFBIG
#ifdef EDQUOT
                      , EDQUOT
#endif
                     }))
        return io::DiskFull;
    if (isOneOf(err, {EAGAIN, EWOULDBLOCK, EBUSY
#ifdef ETXTBSY
                      , ETXTBSY
#endif
                     }))
        return io::SharingViolation;
    return io::GeneralFailure;
}

void raiseIoError(int code)
{
    throw InOutError(code);
}

void raiseIoErrorFromErrno(int err)
{
    throw InOutError(ioCodeFromErrno(err));
}

std::string withFullStop(const std::string& message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > 0x2E)
        return message + ".";
    return message;
}

std::string applicationTitle(const std::string& executablePath)
{
    // Windows paths use either separator.
    const auto slash = executablePath.find_last_of("/\\");
    std::string title = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    const auto dot = title.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        title.erase(dot);
    // ASCII only, whatever locale the process runs in.
    for (std::size_t i = 1; i < title.size(); ++i)
        if (title[i] >= 'A' && title[i] <= 'Z')
            title[i] = static_cast<char>(title[i] - 'A' + 'a');
    return title;
}

} // namespace pom
