#pragma once
// Errors are raised, not returned. Each carries the kind shown in the start-up
// report ("EInOutError", "EConvertError", ...) and the platform's message text.
#include <stdexcept>
#include <string>

namespace pom {

class Error : public std::runtime_error {
public:
    Error(std::string kind, const std::string& message);
    const std::string& kind() const noexcept { return m_kind; }

private:
    std::string m_kind;
};

// An input/output error with the platform's code: 2, 3, 4, 5, 100, 101, 106
// have texts of their own, any other code reads "I/O error <code>".
class InOutError : public Error {
public:
    explicit InOutError(int code);
    int code() const noexcept { return m_code; }

private:
    int m_code;
};

// Text-to-integer and text-to-time conversion failures.
class ConvertError : public Error {
public:
    explicit ConvertError(const std::string& message);
};

// The chart refusing an axis range with Minimum above Maximum.
class ChartError : public Error {
public:
    explicit ChartError(const std::string& message);
};

namespace io {
constexpr int FileNotFound = 2;
constexpr int InvalidFilename = 3;
constexpr int TooManyOpenFiles = 4;
constexpr int AccessDenied = 5;
constexpr int ReadBeyondEnd = 100;
constexpr int DiskFull = 101;
constexpr int InvalidNumericInput = 106;
constexpr int SharingViolation = 32; // another program holds the file
constexpr int GeneralFailure = 31;   // the device failed (EIO and friends)
}

std::string ioErrorText(int code);
// Maps a POSIX errno value to the platform's I/O error code.
int ioCodeFromErrno(int err);
[[noreturn]] void raiseIoError(int code);
[[noreturn]] void raiseIoErrorFromErrno(int err);

// The error report appends "." to a non-empty message whose last byte sorts after '.'.
std::string withFullStop(const std::string& message);

// The application title: the executable's file name without directory and
// extension, first character kept, the rest in lower case.
std::string applicationTitle(const std::string& executablePath);

} // namespace pom
