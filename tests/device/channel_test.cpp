// The channel against a port that records every call made to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "channel.h"

namespace pom {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytes(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

class RecordingPort final : public SerialPort {
public:
    SerialHandle createFile(const std::string& name) override
    {
        calls.push_back("createFile");
        openedName = name;
        return openResult;
    }
    bool setupComm(SerialHandle, std::uint32_t in, std::uint32_t out) override
    {
        calls.push_back("setupComm");
        queues = {in, out};
        return settingsWork;
    }
    bool getCommState(SerialHandle, Dcb& dcb) override
    {
        calls.push_back("getCommState");
        lengthAtGet = dcb.DCBlength;
        dcb = reported;
        dcb.DCBlength = lengthAtGet;
        return settingsWork;
    }
    bool setCommState(SerialHandle, const Dcb& dcb) override
    {
        calls.push_back("setCommState");
        applied = dcb;
        return settingsWork;
    }
    bool setCommMask(SerialHandle, std::uint32_t m) override
    {
        calls.push_back("setCommMask");
        mask = m;
        return settingsWork;
    }
    bool flushFileBuffers(SerialHandle) override
    {
        calls.push_back("flush");
        return true;
    }
    bool writeFile(SerialHandle, const std::uint8_t* data, std::uint32_t count, std::uint32_t& written) override
    {
        calls.push_back("write");
        writes.emplace_back(data, data + count);
        written = count;
        return true;
    }
    bool waitCommEvent(SerialHandle, std::uint32_t& events) override
    {
        calls.push_back("wait");
        const bool fails = failingWaits > 0;
        failingWaits -= fails ? 1 : 0;
        events = fails ? 0 : EV_TXEMPTY;
        return !fails;
    }
    bool clearCommError(SerialHandle, std::uint32_t& errors, ComStat& status) override
    {
        calls.push_back("clearCommError");
        errors = 0;
        if (statusWorks || countOnFailure)
            status.cbInQue = static_cast<std::uint32_t>(incoming.size());
        return statusWorks;
    }
    bool readFile(SerialHandle, std::uint8_t* data, std::uint32_t count, std::uint32_t& read) override
    {
        calls.push_back("readFile");
        readCounts.push_back(count);
        read = readDelivers ? std::min<std::uint32_t>(count, static_cast<std::uint32_t>(incoming.size())) : 0;
        std::copy_n(incoming.begin(), read, data);
        incoming.erase(incoming.begin(), incoming.begin() + read);
        return readWorks;
    }
    bool closeHandle(SerialHandle) override
    {
        calls.push_back("closeHandle");
        return true;
    }

    SerialHandle openResult = 5;
    bool settingsWork = true;
    int failingWaits = 0;
    bool statusWorks = true;
    bool countOnFailure = false;  // a failed status query that still reports a count
    bool readWorks = true;
    bool readDelivers = true;
    Dcb reported{};
    Bytes incoming;

    std::vector<std::string> calls;
    std::string openedName;
    std::pair<std::uint32_t, std::uint32_t> queues{};
    std::uint32_t lengthAtGet = 0;
    Dcb applied{};
    std::uint32_t mask = 0;
    std::vector<Bytes> writes;
    std::vector<std::uint32_t> readCounts;
};

using Calls = std::vector<std::string>;

TEST(OpenPort, AppliesTwoThousandFourHundredEightNoneOneAndKeepsTheRest)
{
    RecordingPort port;
    port.reported.BaudRate = 9600;
    port.reported.Flags = 0x7FFF;
    port.reported.ByteSize = 7;
    port.reported.Parity = 2;
    port.reported.StopBits = 2;
    port.reported.XonLim = 2048;
    port.reported.XonChar = 0x11;
    port.reported.EofChar = 0x1A;
    ChannelState ch;

    ASSERT_TRUE(OpenPort(ch, port, 7));

    EXPECT_EQ(port.calls, (Calls{"createFile", "setupComm", "getCommState", "setCommState", "setCommMask"}));
    EXPECT_EQ(ch.PortHandle, 5u);
    EXPECT_EQ(port.queues, std::make_pair(64u, 64u));
    EXPECT_EQ(port.lengthAtGet, 28u);
    EXPECT_EQ(port.applied.DCBlength, 28u);
    EXPECT_EQ(port.applied.BaudRate, 2400u);
    EXPECT_EQ(port.applied.Flags, 2u);
    EXPECT_EQ(port.applied.Parity, 0);
    EXPECT_EQ(port.applied.StopBits, 0);
    EXPECT_EQ(port.applied.ByteSize, 8);
    EXPECT_EQ(port.applied.XonLim, 2048);
    EXPECT_EQ(port.applied.XonChar, 0x11);
    EXPECT_EQ(port.applied.EofChar, 0x1A);
    EXPECT_EQ(port.mask, EV_TXEMPTY);
}

TEST(OpenPort, NamesThePortByItsNumber)
{
    const std::pair<std::int32_t, std::string> cases[] = {
        {7, "\\\\.\\COM7"}, {0, "\\\\.\\COM0"}, {10, "\\\\.\\COM10"}, {255, "\\\\.\\COM255"}};
    for (const auto& [number, name] : cases) {
        RecordingPort port;
        ChannelState ch;
        OpenPort(ch, port, number);
        EXPECT_EQ(ch.PortName, name);
        EXPECT_EQ(port.openedName, name);
    }
}

TEST(OpenPort, FailedOpenLeavesInvalidHandleAndCallsNothingMore)
{
    RecordingPort port;
    port.openResult = InvalidHandle;
    ChannelState ch;

    EXPECT_FALSE(OpenPort(ch, port, 3));
    EXPECT_EQ(ch.PortHandle, 0xFFFFFFFFu);
    EXPECT_EQ(port.calls, (Calls{"createFile"}));
}

TEST(OpenPort, PortWhoseSettingsFailStillCountsAsOpen)
{
    RecordingPort port;
    port.settingsWork = false;
    ChannelState ch;

    EXPECT_TRUE(OpenPort(ch, port, 1));
    EXPECT_EQ(port.calls.size(), 5u);
}

TEST(SendCommand, RepeatsFailedWaitsAtMostThreeTimes)
{
    struct Case {
        int failingWaits;
        std::size_t sends;
        std::int32_t result;
    };
    const Case cases[] = {{0, 1, 0}, {1, 2, 0}, {2, 3, 0}, {3, 3, -1}, {50, 3, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failingWaits);
        RecordingPort port;
        port.failingWaits = c.failingWaits;
        ChannelState ch;
        ch.PortHandle = 5;
        copyText(ch.TxBuffer, QueryCommand);

        EXPECT_EQ(SendCommand(ch, port), c.result);
        ASSERT_EQ(port.writes.size(), c.sends);
        for (const auto& sent : port.writes)
            EXPECT_EQ(sent, (Bytes{0x30, 0x31, 0x74, 0x3F, 0x0D}));
        Calls expected;
        for (std::size_t i = 0; i < c.sends; ++i)
            expected.insert(expected.end(), {"flush", "write", "wait"});
        EXPECT_EQ(port.calls, expected);
    }
}

class ReadAvailableTest : public ::testing::Test {
protected:
    ReadAvailableTest()
    {
        for (std::size_t i = 0; i < BufferSize; ++i)
            m_ch.RxBuffer[i] = static_cast<std::uint8_t>('A' + i % 26);
        m_before = m_ch.RxBuffer;
        m_ch.BytesRead = 99;
    }

    RecordingPort m_port;
    ChannelState m_ch;
    Buffer65 m_before{};
};

TEST_F(ReadAvailableTest, NothingWaitingReturnsZeroAndLeavesTheBuffer)
{
    EXPECT_EQ(ReadAvailable(m_ch, m_port, 5, 65), 0);
    EXPECT_EQ(m_ch.BytesRead, 0u);
    EXPECT_EQ(m_ch.RxBuffer, m_before);
    EXPECT_EQ(m_port.calls, (Calls{"clearCommError"}));
}

TEST_F(ReadAvailableTest, ShortReplyOverwritesOnlyItsOwnBytes)
{
    m_port.incoming = bytes("+00");

    EXPECT_EQ(ReadAvailable(m_ch, m_port, 5, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 3u);
    EXPECT_EQ(m_port.readCounts, (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(std::string(m_ch.RxBuffer.begin(), m_ch.RxBuffer.begin() + 3), "+00");
    EXPECT_TRUE(std::equal(m_ch.RxBuffer.begin() + 3, m_ch.RxBuffer.end(), m_before.begin() + 3));
}

TEST_F(ReadAvailableTest, MoreThanTheMaximumIsReadOverTwoCalls)
{
    Bytes eighty(80);
    for (std::size_t i = 0; i < eighty.size(); ++i)
        eighty[i] = static_cast<std::uint8_t>(i + 1);
    m_port.incoming = eighty;

    EXPECT_EQ(ReadAvailable(m_ch, m_port, 5, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 65u);
    EXPECT_TRUE(std::equal(m_ch.RxBuffer.begin(), m_ch.RxBuffer.end(), eighty.begin()));
    EXPECT_EQ(ReadAvailable(m_ch, m_port, 5, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 15u);
    EXPECT_TRUE(std::equal(m_ch.RxBuffer.begin(), m_ch.RxBuffer.begin() + 15, eighty.begin() + 65));
    EXPECT_EQ(m_port.readCounts, (std::vector<std::uint32_t>{65, 15}));
}

TEST_F(ReadAvailableTest, FailedQueryOrReadNeverDeliversTheOldReplyAgain)
{
    struct Case {
        const char* name;
        bool statusWorks;
        bool countOnFailure;
        bool readWorks;
        bool readDelivers;
    };
    const Case cases[] = {
        {"status query fails", false, false, true, true},
        {"status query fails but reports a count", false, true, true, true},
        {"read fails", true, false, false, true},
        {"read delivers nothing", true, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPort port;
        ChannelState ch;
        port.incoming = bytes("+0023.5\r");
        ASSERT_EQ(ReadAvailable(ch, port, 5, 65), 1);
        port.incoming = bytes("-0001.0\r");
        port.statusWorks = c.statusWorks;
        port.countOnFailure = c.countOnFailure;
        port.readWorks = c.readWorks;
        port.readDelivers = c.readDelivers;

        EXPECT_EQ(ReadAvailable(ch, port, 5, 65), 0);
    }
}

} // namespace
} // namespace pom
