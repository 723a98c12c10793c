// The serial layer and the channel on a real pseudo-terminal, with the
// thermometer simulator on its other side.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "channel.h"
#include "serial_posix.h"
#include "sim_process.h"
#include "temp_dir.h"

namespace pom {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string Port7 = "\\\\.\\COM7";

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename Condition>
bool within(std::chrono::milliseconds timeout, Condition condition)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

// Our own descriptor on the slave: the one the serial layer opened.
int ownDescriptorOf(const std::string& device)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == device)
            return std::stoi(entry.path().filename().string());
    }
    return -1;
}

class SerialPty : public ::testing::Test {
protected:
    void start(const std::vector<std::string>& options = {})
    {
        m_sim = std::make_unique<test::SimProcess>(POM_THERMO_SIM, m_links.path(), options);
    }
    void query()
    {
        copyText(m_ch.TxBuffer, QueryCommand);
        ASSERT_EQ(SendCommand(m_ch, *m_port), 0);
    }
    std::uint32_t waiting()
    {
        ComStat status;
        std::uint32_t errors = 0;
        m_port->clearCommError(m_ch.PortHandle, errors, status);
        return status.cbInQue;
    }
    // Waits for count bytes, then a little longer to see that no more come.
    bool receive(std::uint32_t count)
    {
        const bool arrived = within(3000ms, [&] { return waiting() >= count; });
        std::this_thread::sleep_for(50ms);
        return arrived && waiting() == count;
    }
    void fillReplyBuffer()
    {
        for (std::size_t i = 0; i < BufferSize; ++i)
            m_ch.RxBuffer[i] = static_cast<std::uint8_t>('a' + i % 26);
        m_before = m_ch.RxBuffer;
    }
    std::string replyText(std::size_t count) const
    {
        return std::string(m_ch.RxBuffer.begin(), m_ch.RxBuffer.begin() + static_cast<std::ptrdiff_t>(count));
    }

    test::TempDir m_links;
    std::unique_ptr<SerialPort> m_port = makePosixSerialPort(m_links.path());
    std::unique_ptr<test::SimProcess> m_sim;
    ChannelState m_ch;
    Buffer65 m_before{};
};

TEST_F(SerialPty, QueryPutsExactlyItsFiveBytesOnTheLineAndTheReplyComesBack)
{
    const std::string record = m_links.file("line.bin");
    start({"--record", record, "--model", "P-410", "--constant", "-12.3"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));

    query();

    ASSERT_TRUE(receive(9));
    EXPECT_EQ(fileText(record), std::string("\x30\x31\x74\x3F\x0D"));
    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 9u);
    EXPECT_EQ(replyText(9), "1-0012.3\r");
}

TEST_F(SerialPty, LineIsRawTwoThousandFourHundredEightNoneOne)
{
    start();
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    const int fd = ownDescriptorOf(m_sim->slavePath());
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);

    EXPECT_EQ(::cfgetospeed(&t), B2400);
    EXPECT_EQ(::cfgetispeed(&t), B2400);
    EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS8});
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(t.c_cflag & (CLOCAL | CREAD), tcflag_t{CLOCAL | CREAD});
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);

    Dcb dcb;
    ASSERT_TRUE(m_port->getCommState(m_ch.PortHandle, dcb));
    EXPECT_EQ(dcb.BaudRate, 2400u);
    EXPECT_EQ(dcb.ByteSize, 8);
    EXPECT_EQ(dcb.Parity, 0);
    EXPECT_EQ(dcb.StopBits, 0);
}

TEST_F(SerialPty, NothingWaitingReadsNothingAndLeavesTheBuffer)
{
    const std::string record = m_links.file("line.bin");
    start({"--silent", "--record", record});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    fillReplyBuffer();

    query();
    ASSERT_TRUE(within(3000ms, [&] { return fileText(record).size() == 5; }));
    std::this_thread::sleep_for(300ms);  // well past the simulator's delay

    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 0);
    EXPECT_EQ(m_ch.BytesRead, 0u);
    EXPECT_EQ(m_ch.RxBuffer, m_before);
}

TEST_F(SerialPty, ShortReplyKeepsTheTailOfTheBuffer)
{
    start({"--short"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    fillReplyBuffer();

    query();
    ASSERT_TRUE(receive(3));

    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 3u);
    EXPECT_EQ(replyText(3), "+00");
    EXPECT_TRUE(std::equal(m_ch.RxBuffer.begin() + 3, m_ch.RxBuffer.end(), m_before.begin() + 3));
}

TEST_F(SerialPty, EightyBytesAreReadAsSixtyFiveThenFifteen)
{
    start({"--long"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    std::string eighty;
    for (int i = 0; i < 10; ++i)
        eighty += "+0023.5\r";

    query();
    ASSERT_TRUE(receive(80));

    ASSERT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 65u);
    EXPECT_EQ(replyText(65), eighty.substr(0, 65));
    ASSERT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
    EXPECT_EQ(m_ch.BytesRead, 15u);
    EXPECT_EQ(replyText(15), eighty.substr(65));
    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 0);
}

TEST_F(SerialPty, QueryArrivingInPiecesAmongOtherBytesIsAnswered)
{
    start({"--delay-ms", "0"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    std::uint32_t written = 0;
    const std::string first = "x\r01";
    const std::string rest = "t?\r";

    ASSERT_TRUE(m_port->writeFile(m_ch.PortHandle, reinterpret_cast<const std::uint8_t*>(first.data()), 4, written));
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(waiting(), 0u);
    ASSERT_TRUE(m_port->writeFile(m_ch.PortHandle, reinterpret_cast<const std::uint8_t*>(rest.data()), 3, written));

    EXPECT_TRUE(receive(8));
}

TEST_F(SerialPty, CommandsOnStdinSwitchTheReplies)
{
    start({"--delay-ms", "10"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    const std::pair<std::vector<std::string>, std::string> steps[] = {
        {{"garbage"}, "xx?!zz\r"},
        {{"normal", "value -5"}, "-0005.0\r"},
        {{"short"}, "-00"},
    };
    for (const auto& [commands, reply] : steps) {
        SCOPED_TRACE(reply);
        for (const auto& command : commands)
            ASSERT_TRUE(m_sim->command(command).starts_with("ok"));
        query();
        ASSERT_TRUE(receive(static_cast<std::uint32_t>(reply.size())));
        ASSERT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 1);
        EXPECT_EQ(replyText(reply.size()), reply);
    }
}

// A reply that came while the port was closed belongs to nobody: a serial
// device starts empty on open, and so must a pseudo-terminal.
TEST_F(SerialPty, BytesFromBeforeAnOpenAreNotHandedOver)
{
    start({"--delay-ms", "100"});
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    query();
    m_port->closeHandle(m_ch.PortHandle);
    std::this_thread::sleep_for(300ms);

    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    EXPECT_EQ(waiting(), 0u);
    query();
    EXPECT_TRUE(receive(8));
}

TEST_F(SerialPty, PortsThatAreNotTerminalsOrDoNotExistAreRefusedAtOnce)
{
    const std::string plain = m_links.file("plain.txt");
    std::ofstream(plain) << "not a terminal";
    std::filesystem::create_symlink(plain, m_links.file("COM5"));
    std::filesystem::create_symlink(m_links.file("gone"), m_links.file("COM6"));

    for (const char* name : {"\\\\.\\COM5", "\\\\.\\COM6", "\\\\.\\COM200", "COM5", "\\\\.\\COM05"}) {
        const auto started = Clock::now();
        EXPECT_EQ(m_port->createFile(name), InvalidHandle) << name;
        EXPECT_LT(Clock::now() - started, 200ms) << name;
    }
}

TEST_F(SerialPty, HeldPortIsRefusedToASecondOpenUntilClosed)
{
    start();
    const SerialHandle first = m_port->createFile(Port7);
    ASSERT_NE(first, InvalidHandle);
    EXPECT_NE(first, 0u);
    const auto otherRecorder = makePosixSerialPort(m_links.path());

    EXPECT_EQ(m_port->createFile(Port7), InvalidHandle);
    EXPECT_EQ(otherRecorder->createFile(Port7), InvalidHandle);

    EXPECT_TRUE(m_port->closeHandle(first));
    EXPECT_FALSE(m_port->closeHandle(first));
    ComStat status;
    std::uint32_t errors = 0;
    EXPECT_FALSE(m_port->clearCommError(first, errors, status));
    const SerialHandle again = otherRecorder->createFile(Port7);
    EXPECT_NE(again, InvalidHandle);
    EXPECT_NE(again, 0u);
}

// The exclusive flag stays on the terminal after close while its other side
// is open; left set, it would lock every user but root out of the port.
// Opened as root, the test can try it as another user.
TEST_F(SerialPty, ClosedPortCanBeOpenedAgainByAnOrdinaryUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to try the open as another user";
    start();
    ASSERT_EQ(::chmod(m_sim->slavePath().c_str(), 0666), 0);
    const auto openAsNobody = [&] {
        const pid_t child = ::fork();
        if (child == 0) {
            const bool opened = ::setuid(65534) == 0
                                && ::open(m_sim->slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK) >= 0;
            ::_exit(opened ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const SerialHandle handle = m_port->createFile(Port7);
    ASSERT_NE(handle, InvalidHandle);
    EXPECT_FALSE(openAsNobody());
    // A refused second open must not unlock the port for others either.
    EXPECT_EQ(m_port->createFile(Port7), InvalidHandle);
    EXPECT_FALSE(openAsNobody());

    m_port->closeHandle(handle);
    EXPECT_TRUE(openAsNobody());
}

TEST_F(SerialPty, VanishedDeviceFailsQuicklyAndReturnsUnderTheSameNumber)
{
    start();
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    fillReplyBuffer();
    ASSERT_EQ(m_sim->command("vanish"), "ok vanish");

    const auto started = Clock::now();
    copyText(m_ch.TxBuffer, QueryCommand);
    EXPECT_EQ(SendCommand(m_ch, *m_port), -1);
    EXPECT_EQ(ReadAvailable(m_ch, *m_port, m_ch.PortHandle, 65), 0);
    EXPECT_LT(Clock::now() - started, 2000ms);
    EXPECT_EQ(m_ch.RxBuffer, m_before);
    EXPECT_TRUE(m_port->closeHandle(m_ch.PortHandle));
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(m_links.file("COM7"))));

    ASSERT_TRUE(m_sim->command("return").starts_with("ready /"));
    ASSERT_TRUE(OpenPort(m_ch, *m_port, 7));
    query();
    EXPECT_TRUE(receive(8));
}

} // namespace
} // namespace pom
