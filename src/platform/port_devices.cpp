// The port number in a device name, the same on every system.
#include "serial_port.h"

#include <string_view>

namespace pom {

std::int64_t portNumberFromName(const std::string& name)
{
    constexpr std::string_view prefix = "\\\\.\\COM";
    const std::string_view text(name);
    if (!text.starts_with(prefix))
        return -1;
    const std::string_view digits = text.substr(prefix.size());
    // Decimal without sign or leading zeros, as the channel writes it; ten
    // digits cannot overflow.
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits.front() == '0'))
        return -1;
    std::int64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

} // namespace pom
