#pragma once
// One measurement line on its way into the log, in the cycle's three steps.
// A failure does not throw: the line is kept, the file is cut back to where
// it stood so no half line stays behind, and retry() writes it whole later.
#include <cstdint>
#include <optional>
#include <string>

#include "log_file.h"

namespace pom {

class LogAppend {
public:
    explicit LogAppend(LogState& log) : m_log(log) {}
    ~LogAppend();
    LogAppend(const LogAppend&) = delete;
    LogAppend& operator=(const LogAppend&) = delete;

    void open();                            // (a)
    void write(const std::string& line);    // (b) the line's bytes, without CR LF
    void close();                           // (c)
    // Open, write and close the held line in one go.
    void retry();

    bool failed() const { return m_error.has_value(); }
    const std::string& error() const { return *m_error; }

private:
    template <typename F> void attempt(F&& step);
    void cutBack();

    LogState& m_log;
    std::string m_line;
    std::optional<std::uintmax_t> m_sizeBefore;
    std::optional<std::string> m_error;
};

} // namespace pom
