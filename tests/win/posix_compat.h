#pragma once
// The few POSIX calls the logic tests use for their scaffolding (a fresh
// directory, an environment variable) in terms of the Windows C run-time.
// Force-included into every Windows test build (tests/CMakeLists.txt), so the
// tests keep one text for both systems.
#ifdef _WIN32

#include <direct.h>
#include <errno.h>
#include <process.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#ifdef __cplusplus
extern "C++" {

inline int setenv(const char* name, const char* value, int overwrite)
{
    if (overwrite == 0 && getenv(name) != nullptr)
        return 0;
    // The run-time removes a variable set to the empty text; POSIX keeps it.
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name)
{
    return _putenv_s(name, "") == 0 ? 0 : -1;
}

// Replaces the trailing "XXXXXX" and creates the directory, retrying on a clash.
inline char* mkdtemp(char* pattern)
{
    const size_t length = strlen(pattern);
    if (length < 6 || strcmp(pattern + length - 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static unsigned counter = 0;
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        unsigned value = static_cast<unsigned>(time(nullptr)) * 2654435761u + ++counter * 40503u
            + static_cast<unsigned>(_getpid()) * 97u;
        for (size_t i = length - 6; i < length; ++i, value /= 36)
            pattern[i] = digits[value % 36];
        if (_mkdir(pattern) == 0)
            return pattern;
        if (errno != EEXIST)
            return nullptr;
    }
    return nullptr;
}

} // extern "C++"
#endif
#endif
