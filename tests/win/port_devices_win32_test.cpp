// Port numbers on Windows are the system's own COM names.
#include <gtest/gtest.h>

#include "serial_port.h"

namespace pom {
namespace {

TEST(PortDevicesWin32, PortNIsComN)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "\\\\.\\COM0"}, {1, "\\\\.\\COM1"}, {7, "\\\\.\\COM7"}, {97, "\\\\.\\COM97"},
        {255, "\\\\.\\COM255"}, {-1, ""},
    };
    for (const auto& [number, device] : cases) {
        EXPECT_EQ(deviceForPortNumber(number, "C:\\ignored"), device) << number;
        if (number >= 0) {
            EXPECT_EQ(portNumberFromName(device), number);
        }
    }
    EXPECT_EQ(portLinksDirectory(), "");
}

} // namespace
} // namespace pom
