// The Win32 serial layer under the channel, against simulated thermometers.
// The ports come from the environment: POM_SIM_PORT answers "+0023.5" CR like
// a KVT-4xx and records what it receives into POM_SIM_RECORD; POM_SIM_LONG_PORT
// answers 80 bytes. serial_on_wine.sh sets them up under Wine; without them
// the tests are skipped.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "channel.h"
#include "discovery.h"
#include "fakes.h"
#include "log_file.h"
#include "win32_api.h"

namespace pom {
namespace {

std::optional<std::int32_t> portFromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        return std::nullopt;
    return std::atoi(value);
}

// Wine's ntdll exports its version; Windows' does not.
bool runningUnderWine()
{
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

void waitMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class SerialWin32 : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto port = portFromEnvironment("POM_SIM_PORT");
        if (!port)
            GTEST_SKIP() << "POM_SIM_PORT names no simulated thermometer";
        m_number = *port;
    }
    void TearDown() override
    {
        if (m_ch.PortHandle != 0 && m_ch.PortHandle != InvalidHandle)
            m_port->closeHandle(m_ch.PortHandle);
    }

    // The channel's calling order, with the caller's wait before the read.
    std::int32_t queryAndRead(int waitBeforeReadMs)
    {
        copyText(m_ch.TxBuffer, QueryCommand);
        EXPECT_EQ(SendCommand(m_ch, *m_port), 0);
        waitMs(waitBeforeReadMs);
        return ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65);
    }

    std::string reply(std::size_t count) const
    {
        return std::string(m_ch.RxBuffer.begin(), m_ch.RxBuffer.begin() + static_cast<std::ptrdiff_t>(count));
    }

    std::int32_t m_number = 0;
    std::unique_ptr<SerialPort> m_port = makeSystemSerialPort();
    ChannelState m_ch;
};

TEST_F(SerialWin32, OpenPortAppliesTheLineSettings)
{
    ASSERT_TRUE(OpenPort(m_ch, *m_port, m_number));
    EXPECT_EQ(m_ch.PortName, "\\\\.\\COM" + std::to_string(m_number));
    EXPECT_NE(m_ch.PortHandle, 0u);
    EXPECT_NE(m_ch.PortHandle, InvalidHandle);

    Dcb applied{};
    applied.DCBlength = sizeof applied;
    ASSERT_TRUE(m_port->getCommState(m_ch.PortHandle, applied));
    EXPECT_EQ(applied.BaudRate, 2400u);
    EXPECT_EQ(applied.ByteSize, 8u);
    EXPECT_EQ(applied.Parity, 0u);
    EXPECT_EQ(applied.StopBits, 0u);
    // No CTS, DSR or XON/XOFF flow control; DTR and RTS not handshaking.
    constexpr std::uint32_t FlowBits = (1u << 2) | (1u << 3) | (1u << 8) | (1u << 9);
    EXPECT_EQ(applied.Flags & FlowBits, 0u);
    EXPECT_NE((applied.Flags >> 4) & 3u, 2u);
    EXPECT_NE((applied.Flags >> 12) & 3u, 2u);
}

TEST_F(SerialWin32, TheQueryGoesOutAsFiveBytesAndTheReplyComesBack)
{
    ASSERT_TRUE(OpenPort(m_ch, *m_port, m_number));
    m_ch.RxBuffer.fill('#');
    ASSERT_EQ(queryAndRead(DiscoveryReplyWaitMs), 1);
    EXPECT_EQ(m_ch.BytesRead, 8u);
    EXPECT_EQ(reply(8), "+0023.5\r");
    EXPECT_EQ(m_ch.RxBuffer[8], '#'); // a read clears nothing behind the reply

    // Nothing more is waiting: the read returns at once and keeps the buffer.
    const auto before = m_ch.RxBuffer;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(m_ch.BytesRead, 0u);
    EXPECT_EQ(m_ch.RxBuffer, before);

    if (const char* record = std::getenv("POM_SIM_RECORD")) {
        std::ifstream in(record, std::ios::binary);
        const std::string line{std::istreambuf_iterator<char>(in), {}};
        EXPECT_EQ(line, std::string("\x30\x31\x74\x3F\x0D"));
    }
}

TEST_F(SerialWin32, EightyBytesAreReadAsSixtyFiveThenFifteen)
{
    const auto longPort = portFromEnvironment("POM_SIM_LONG_PORT");
    if (!longPort)
        GTEST_SKIP() << "POM_SIM_LONG_PORT names no simulated thermometer";
    ASSERT_TRUE(OpenPort(m_ch, *m_port, *longPort));
    std::string eighty;
    for (int i = 0; i < 10; ++i)
        eighty += "+0023.5\r";
    ASSERT_EQ(queryAndRead(DiscoveryReplyWaitMs), 1);
    EXPECT_EQ(m_ch.BytesRead, 65u);
    EXPECT_EQ(reply(65), eighty.substr(0, 65));
    ASSERT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 15u);
    EXPECT_EQ(reply(15), eighty.substr(65));
    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 0);
}

TEST_F(SerialWin32, AMissingPortDoesNotOpenAndClosedHandlesAreDead)
{
    ASSERT_TRUE(OpenPort(m_ch, *m_port, m_number));
    const SerialHandle first = m_ch.PortHandle;

    ChannelState missing;
    EXPECT_FALSE(OpenPort(missing, *m_port, 250));
    EXPECT_EQ(missing.PortHandle, InvalidHandle);

    EXPECT_TRUE(m_port->closeHandle(first));
    std::uint32_t errors = 0;
    ComStat status{};
    EXPECT_FALSE(m_port->clearCommError(first, errors, status));
    EXPECT_FALSE(m_port->closeHandle(first));

    // Once closed the port opens again, under a handle of its own.
    ASSERT_TRUE(OpenPort(m_ch, *m_port, m_number));
    EXPECT_NE(m_ch.PortHandle, first);
    EXPECT_NE(m_ch.PortHandle, InvalidHandle);
}

TEST_F(SerialWin32, APortInUseDoesNotOpen)
{
    if (runningUnderWine())
        GTEST_SKIP() << "Wine does not hold serial devices exclusively";
    ASSERT_TRUE(OpenPort(m_ch, *m_port, m_number));
    ChannelState second;
    EXPECT_FALSE(OpenPort(second, *m_port, m_number));
    EXPECT_EQ(second.PortHandle, InvalidHandle);
}

TEST_F(SerialWin32, DiscoveryFindsTheThermometer)
{
    const auto previous = std::filesystem::current_path();
    const auto dir = std::filesystem::temp_directory_path() / ("pom_discovery_" + std::to_string(m_number));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    LogState log;
    CreateDefaultLog(log);
    SystemClock clock;
    test::FakeDialogs dialogs;
    test::FakeControls controls;
    const RegionalFormats formats = regionalFormatsFromPatterns("%d.%m.%Y", "%H:%M:%S");
    bool frozen = false;
    DiscoveryEnv env{m_ch, *m_port, clock, dialogs, controls, log, formats, [&] { frozen = true; }};
    env.onAttempt = [&](int n) {
        if (n > m_number)
            ADD_FAILURE() << "port " << n << " tried after the thermometer's";
    };
    DiscoverDevice(env);
    std::filesystem::current_path(previous);
    std::filesystem::remove_all(dir);

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "KVT-4xx");
    EXPECT_EQ(dialogs.shown[0].title, "Znaleziono  :");
    EXPECT_EQ(controls.text(Ctl::OpenComm), "&Mierz");
    EXPECT_EQ(m_ch.PortName, "\\\\.\\COM" + std::to_string(m_number));
    EXPECT_TRUE(frozen);
}

} // namespace
} // namespace pom
