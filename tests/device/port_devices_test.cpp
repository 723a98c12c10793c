// Which device a port number opens, and how port names are read.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "serial_port.h"
#include "temp_dir.h"

namespace pom {
namespace {

TEST(DeviceForPortNumber, LinksWinOtherwiseTheSystemRanges)
{
    test::TempDir links;
    // Targets need not exist: a link that dangles still claims its number.
    for (const char* name : {"COM7", "COM0", "COM200"})
        std::filesystem::create_symlink("/dev/pts/9999", links.file(name));
    const std::string dir = links.path();

    const std::pair<std::int64_t, std::string> cases[] = {
        {1, "/dev/ttyS0"},    {8, "/dev/ttyS7"},       {32, "/dev/ttyS31"},
        {33, "/dev/ttyUSB0"}, {64, "/dev/ttyUSB31"},   {65, "/dev/ttyACM0"},
        {96, "/dev/ttyACM31"}, {97, ""},               {255, ""},
        {-1, ""},             {7, dir + "/COM7"},      {0, dir + "/COM0"},
        {200, dir + "/COM200"},
    };
    for (const auto& [number, device] : cases)
        EXPECT_EQ(deviceForPortNumber(number, dir), device) << "port " << number;
}

TEST(DeviceForPortNumber, NoLinksFolderMeansOnlyTheSystemRanges)
{
    EXPECT_EQ(deviceForPortNumber(7, ""), "/dev/ttyS6");
    EXPECT_EQ(deviceForPortNumber(0, ""), "");
    test::TempDir empty;
    EXPECT_EQ(deviceForPortNumber(7, empty.path()), "/dev/ttyS6");
    EXPECT_EQ(deviceForPortNumber(7, empty.file("missing")), "/dev/ttyS6");
}

TEST(PortNumberFromName, ReadsOnlyTheChannelsOwnShape)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"\\\\.\\COM7", 7},       {"\\\\.\\COM0", 0},         {"\\\\.\\COM255", 255},
        {"\\\\.\\COM4294967296", 4294967296}, {"\\\\.\\COM", -1}, {"COM7", -1},
        {"\\\\.\\COM07", -1},     {"\\\\.\\COM-1", -1},       {"\\\\.\\COM+1", -1},
        {"\\\\.\\COM7 ", -1},     {"\\\\.\\COM7x", -1},       {"\\\\.\\com7", -1},
        {"\\\\.\\COM99999999999", -1}, {"", -1},
    };
    for (const auto& [name, number] : cases)
        EXPECT_EQ(portNumberFromName(name), number) << name;
}

class PortLinksDirectory : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = saved("HOME");
        m_dataHome = saved("XDG_DATA_HOME");
    }
    void TearDown() override
    {
        restore("HOME", m_home);
        restore("XDG_DATA_HOME", m_dataHome);
    }
    static std::optional<std::string> saved(const char* name)
    {
        const char* value = ::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    }
    static void restore(const char* name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::optional<std::string> m_home;
    std::optional<std::string> m_dataHome;
};

TEST_F(PortLinksDirectory, FollowsTheDataHomeRules)
{
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::string expected;
    };
    const Case cases[] = {
        {"/x/data", "/home/u", "/x/data/pomiarownik/ports"},
        {std::nullopt, "/home/u", "/home/u/.local/share/pomiarownik/ports"},
        {"", "/home/u", "/home/u/.local/share/pomiarownik/ports"},
        {"relative/data", "/home/u", "/home/u/.local/share/pomiarownik/ports"},
        {std::nullopt, std::nullopt, ""},
    };
    for (const auto& c : cases) {
        restore("XDG_DATA_HOME", c.dataHome);
        restore("HOME", c.home);
        EXPECT_EQ(portLinksDirectory(), c.expected) << c.dataHome.value_or("(unset)");
    }
}

} // namespace
} // namespace pom
