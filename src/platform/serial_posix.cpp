// The serial layer over POSIX terminals. Every wait is bounded, so that a
// vanished adapter cannot hang the caller.
#include "serial_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <optional>
#include <thread>

namespace pom {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds WriteBound{1000};
constexpr milliseconds DrainBound{1000};
constexpr milliseconds DrainPollStep{2};
// How often a lost device is looked for again.
constexpr milliseconds ReopenPause{1000};
// Start, 8 data bits, parity and two stop bits: the longest frame.
constexpr std::int64_t LongestFrameBits = 12;

// Bits of the Dcb flags word.
constexpr std::uint32_t FlagBinary = 1u << 0;
constexpr std::uint32_t FlagParity = 1u << 1;
constexpr std::uint32_t FlagOutxCtsFlow = 1u << 2;
constexpr int DtrControlShift = 4;
constexpr std::uint32_t FlagOutX = 1u << 8;
constexpr std::uint32_t FlagInX = 1u << 9;
constexpr int RtsControlShift = 12;
constexpr std::uint32_t ControlEnable = 1;
constexpr std::uint32_t ControlHandshake = 2;

struct BaudSpeed {
    std::uint32_t baud;
    speed_t speed;
};

constexpr BaudSpeed BaudTable[] = {
    {50, B50}, {75, B75}, {110, B110}, {134, B134}, {150, B150}, {200, B200},
    {300, B300}, {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400},
    {4800, B4800}, {9600, B9600}, {19200, B19200}, {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B921600
    {921600, B921600},
#endif
};

std::optional<speed_t> speedForBaud(std::uint32_t baud)
{
    for (const auto& entry : BaudTable)
        if (entry.baud == baud)
            return entry.speed;
    return std::nullopt;
}

std::uint32_t baudForSpeed(speed_t speed)
{
    for (const auto& entry : BaudTable)
        if (entry.speed == speed)
            return entry.baud;
    return 0;
}

std::optional<tcflag_t> sizeFlag(std::uint8_t byteSize)
{
    switch (byteSize) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return std::nullopt;
    }
}

std::uint8_t byteSizeOf(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

// Parity 0 none, 1 odd, 2 even, 3 mark, 4 space.
std::optional<tcflag_t> parityFlags(std::uint8_t parity)
{
    switch (parity) {
    case 0: return tcflag_t{0};
    case 1: return tcflag_t{PARENB | PARODD};
    case 2: return tcflag_t{PARENB};
#ifdef CMSPAR
    case 3: return tcflag_t{PARENB | PARODD | CMSPAR};
    case 4: return tcflag_t{PARENB | CMSPAR};
#endif
    default: return std::nullopt;
    }
}

std::uint8_t parityOf(tcflag_t cflag)
{
    if ((cflag & PARENB) == 0)
        return 0;
    const bool odd = (cflag & PARODD) != 0;
#ifdef CMSPAR
    if ((cflag & CMSPAR) != 0)
        return odd ? 3 : 4;
#endif
    return odd ? 1 : 2;
}

int modemLines(int fd)
{
    int lines = 0;
    return ::ioctl(fd, TIOCMGET, &lines) == 0 ? lines : 0;
}

std::uint32_t flagsOf(const termios& t, int lines)
{
    std::uint32_t flags = FlagBinary;
    if ((t.c_iflag & INPCK) != 0)
        flags |= FlagParity;
    if ((t.c_cflag & CRTSCTS) != 0)
        flags |= FlagOutxCtsFlow | (ControlHandshake << RtsControlShift);
    else if ((lines & TIOCM_RTS) != 0)
        flags |= ControlEnable << RtsControlShift;
    if ((lines & TIOCM_DTR) != 0)
        flags |= ControlEnable << DtrControlShift;
    if ((t.c_iflag & IXON) != 0)
        flags |= FlagOutX;
    if ((t.c_iflag & IXOFF) != 0)
        flags |= FlagInX;
    return flags;
}

bool readDcb(int fd, Dcb& dcb)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    dcb.DCBlength = sizeof(Dcb);
    dcb.BaudRate = baudForSpeed(::cfgetospeed(&t));
    dcb.Flags = flagsOf(t, modemLines(fd));
    dcb.ByteSize = byteSizeOf(t.c_cflag);
    dcb.Parity = parityOf(t.c_cflag);
    dcb.StopBits = (t.c_cflag & CSTOPB) != 0 ? 2 : 0;
    dcb.XonChar = static_cast<char>(t.c_cc[VSTART]);
    dcb.XoffChar = static_cast<char>(t.c_cc[VSTOP]);
    return true;
}

// Raw bytes both ways and no flow control: the thermometer needs none, and
// every byte must pass unchanged.
bool makeRawTermios(termios& t, const Dcb& dcb)
{
    const auto speed = speedForBaud(dcb.BaudRate);
    const auto size = sizeFlag(dcb.ByteSize);
    const auto parity = parityFlags(dcb.Parity);
    if (!speed || !size || !parity || (dcb.StopBits != 0 && dcb.StopBits != 2))
        return false;
    ::cfmakeraw(&t);
    t.c_iflag &= ~tcflag_t{IXON | IXOFF | IXANY | INPCK};
    if ((dcb.Flags & FlagParity) != 0 && dcb.Parity != 0)
        t.c_iflag |= INPCK;
    t.c_cflag &= ~tcflag_t{CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS};
#ifdef CMSPAR
    t.c_cflag &= ~tcflag_t{CMSPAR};
#endif
    t.c_cflag |= *size | *parity | CLOCAL | CREAD;
    if (dcb.StopBits == 2)
        t.c_cflag |= CSTOPB;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    return ::cfsetispeed(&t, *speed) == 0 && ::cfsetospeed(&t, *speed) == 0;
}

bool setModemLine(int fd, int line, bool active)
{
    int bits = line;
    if (::ioctl(fd, active ? TIOCMBIS : TIOCMBIC, &bits) == 0)
        return true;
    // A pseudo-terminal has no modem lines.
    return errno == ENOTTY;
}

bool applyDcb(int fd, const Dcb& dcb)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    if (!makeRawTermios(t, dcb)) {
        errno = EINVAL;  // settings this line cannot take; the device is still there
        return false;
    }
    if (::tcsetattr(fd, TCSANOW, &t) != 0)
        return false;
    const std::uint32_t dtr = (dcb.Flags >> DtrControlShift) & 3u;
    const std::uint32_t rts = (dcb.Flags >> RtsControlShift) & 3u;
    const bool dtrSet = setModemLine(fd, TIOCM_DTR, dtr != 0);
    const bool rtsSet = setModemLine(fd, TIOCM_RTS, rts != 0);
    return dtrSet && rtsSet;
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// True when the descriptor is ready (or in error, which the next call
// reports); false on time-out.
bool waitReady(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready > 0)
            return true;
        if (ready == 0) {
            errno = ETIMEDOUT;
            return false;
        }
        if (errno != EINTR)
            return false;
    }
}

bool writeAll(int fd, const std::uint8_t* data, std::uint32_t count, std::uint32_t& written)
{
    written = 0;
    const auto deadline = Clock::now() + WriteBound;
    while (written < count) {
        if (!waitReady(fd, POLLOUT, deadline))
            return false;
        const ssize_t n = ::write(fd, data + written, count - written);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return false;
        if (n > 0)
            written += static_cast<std::uint32_t>(n);
    }
    return true;
}

milliseconds lineTime(int bytes, int fd)
{
    termios t{};
    const std::int64_t baud = ::tcgetattr(fd, &t) == 0 ? baudForSpeed(::cfgetospeed(&t)) : 0;
    if (baud == 0 || bytes <= 0)
        return milliseconds{0};
    return milliseconds{(bytes * LongestFrameBits * 1000 + baud - 1) / baud};
}

bool drainBlocking(int fd)
{
    while (::tcdrain(fd) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

// Polls the output queue rather than calling tcdrain, which could wait for
// ever on a line that no longer moves.
bool drainOutput(int fd)
{
    int pending = 0;
    if (::ioctl(fd, TIOCOUTQ, &pending) != 0)
        return (errno == ENOTTY || errno == EINVAL) && drainBlocking(fd);
    const auto deadline = Clock::now() + DrainBound + lineTime(pending, fd);
    while (pending > 0) {
        if (Clock::now() >= deadline) {
            errno = ETIMEDOUT;  // a stuck line, not a lost one
            return false;
        }
        std::this_thread::sleep_for(DrainPollStep);
        if (::ioctl(fd, TIOCOUTQ, &pending) != 0)
            return false;
    }
    return true;
}

bool queueCounts(int fd, ComStat& status)
{
    int in = 0;
    int out = 0;
    if (::ioctl(fd, TIOCINQ, &in) != 0 || ::ioctl(fd, TIOCOUTQ, &out) != 0)
        return false;
    status.cbInQue = static_cast<std::uint32_t>(in);
    status.cbOutQue = static_cast<std::uint32_t>(out);
    return true;
}

// Takes only what has arrived; never waits for more. hungUp tells that the
// device has gone (a hang-up, or the end of its input).
bool readWaiting(int fd, std::uint8_t* data, std::uint32_t count, std::uint32_t& read, bool& hungUp)
{
    read = 0;
    hungUp = false;
    while (read < count) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, 0);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        hungUp = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
        const ssize_t n = ::read(fd, data + read, count - read);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EAGAIN;
        // A raw terminal with nothing waiting is not reported ready, so an
        // empty read after poll said so is a hang-up.
        if (n == 0) {
            hungUp = true;
            break;
        }
        read += static_cast<std::uint32_t>(n);
    }
    return true;
}

// What a read, write or ioctl reports once its device has gone: the
// descriptor is of no more use, though the device may come back.
bool isLostDeviceError(int err)
{
    return err == EIO || err == ENXIO || err == ENODEV || err == EBADF;
}

bool claimTerminal(int fd)
{
    if (::isatty(fd) == 0)
        return false;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return false;
    // Root passes TIOCEXCL by; the lock keeps a second recorder out even then.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0)
        return false;
    // A device just opened starts with empty queues, as serial drivers do on
    // their first open; a pseudo-terminal kept open by its other side would
    // otherwise hand over bytes that arrived before.
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

// Without O_NONBLOCK a port without carrier could block the open itself.
int openDevice(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // Nothing to undo on failure: TIOCEXCL comes last, and clearing it here
    // would unlock a port that another recorder holds.
    if (!claimTerminal(fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void releaseDevice(int fd)
{
    // The exclusive flag outlives the descriptor while the terminal exists (a
    // pseudo-terminal whose other side is open), and would refuse the next
    // open to anyone but root.
    ::ioctl(fd, TIOCNXCL);
    // Bytes stuck on a dead line must not make close wait for them.
    ::tcflush(fd, TCOFLUSH);
    ::close(fd);
}

struct PortEntry {
    int fd = -1;  // -1 while the device is lost
    std::string path;  // the link or device it was opened by
    std::uint32_t eventMask = 0;
    std::optional<Dcb> settings;  // the last ones set, for a reopen
    Clock::time_point lastContact{};  // the loss, or the last reopen attempt
};

// One thread at a time uses the port, as the channel does, so the table
// has no lock.
//
// A device that goes away (an unplugged adapter, a closed pseudo-terminal)
// loses its descriptor but keeps its handle. Later calls reopen the path it
// was opened by, at most once every ReopenPause, and set the line again, so
// recording goes on by itself when the device comes back under that name.
class PosixSerialPort final : public SerialPort {
public:
    explicit PosixSerialPort(std::string linksDirectory) : m_links(std::move(linksDirectory)) {}
    ~PosixSerialPort() override
    {
        for (const auto& [handle, entry] : m_ports)
            if (entry.fd >= 0)
                releaseDevice(entry.fd);
    }
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    SerialHandle createFile(const std::string& name) override
    {
        const std::string path = deviceForPortNumber(portNumberFromName(name), m_links);
        if (path.empty())
            return InvalidHandle;
        const int fd = openDevice(path);
        if (fd < 0)
            return InvalidHandle;
        const SerialHandle handle = freeHandle();
        PortEntry entry;
        entry.fd = fd;
        entry.path = path;
        m_ports.emplace(handle, std::move(entry));
        return handle;
    }

    bool setupComm(SerialHandle h, std::uint32_t, std::uint32_t) override
    {
        // The terminal's own queues are larger than any size asked for.
        return live(h) != nullptr;
    }

    bool getCommState(SerialHandle h, Dcb& dcb) override
    {
        PortEntry* entry = live(h);
        return entry != nullptr && (readDcb(entry->fd, dcb) || failed(*entry));
    }

    bool setCommState(SerialHandle h, const Dcb& dcb) override
    {
        PortEntry* entry = find(h);
        if (entry == nullptr)
            return false;
        entry->settings = dcb;
        entry = live(h);
        return entry != nullptr && (applyDcb(entry->fd, dcb) || failed(*entry));
    }

    bool setCommMask(SerialHandle h, std::uint32_t mask) override
    {
        PortEntry* entry = find(h);
        if (entry == nullptr)
            return false;
        entry->eventMask = mask;
        return true;
    }

    bool flushFileBuffers(SerialHandle h) override
    {
        PortEntry* entry = live(h);
        return entry != nullptr && (drainOutput(entry->fd) || failed(*entry));
    }

    bool writeFile(SerialHandle h, const std::uint8_t* data, std::uint32_t count,
                   std::uint32_t& written) override
    {
        written = 0;
        PortEntry* entry = live(h);
        return entry != nullptr && (writeAll(entry->fd, data, count, written) || failed(*entry));
    }

    bool waitCommEvent(SerialHandle h, std::uint32_t& eventMask) override
    {
        eventMask = 0;
        PortEntry* entry = live(h);
        // Transmit-empty is the only event there is to wait for here.
        if (entry == nullptr || (entry->eventMask & EV_TXEMPTY) == 0)
            return false;
        if (!drainOutput(entry->fd))
            return failed(*entry);
        eventMask = EV_TXEMPTY;
        return true;
    }

    bool clearCommError(SerialHandle h, std::uint32_t& errors, ComStat& status) override
    {
        errors = 0;
        status = ComStat{};
        PortEntry* entry = live(h);
        if (entry != nullptr && queueCounts(entry->fd, status))
            return true;
        status = ComStat{};
        return entry != nullptr && failed(*entry);
    }

    bool readFile(SerialHandle h, std::uint8_t* data, std::uint32_t count, std::uint32_t& read) override
    {
        read = 0;
        PortEntry* entry = live(h);
        if (entry == nullptr)
            return false;
        bool hungUp = false;
        const bool done = readWaiting(entry->fd, data, count, read, hungUp);
        if (!done)
            return failed(*entry);
        // What arrived before the hang-up is still a reply.
        if (hungUp)
            markLost(*entry);
        return true;
    }

    bool closeHandle(SerialHandle h) override
    {
        const auto it = m_ports.find(h);
        if (it == m_ports.end())
            return false;
        if (it->second.fd >= 0)
            releaseDevice(it->second.fd);
        m_ports.erase(it);
        return true;
    }

private:
    PortEntry* find(SerialHandle h)
    {
        const auto it = m_ports.find(h);
        return it != m_ports.end() ? &it->second : nullptr;
    }

    // The entry with a descriptor to use, after a reopen if it was lost and
    // its pause is over; nullptr when there is none yet.
    PortEntry* live(SerialHandle h)
    {
        PortEntry* entry = find(h);
        if (entry == nullptr || (entry->fd < 0 && !reopen(*entry)))
            return nullptr;
        return entry;
    }

    // After a failed call: false, and the descriptor is let go when the
    // failure says that the device has gone.
    bool failed(PortEntry& entry)
    {
        if (isLostDeviceError(errno))
            markLost(entry);
        return false;
    }

    // Closed at once: an adapter's device name is given out again only
    // once nobody holds the old one.
    void markLost(PortEntry& entry)
    {
        if (entry.fd >= 0)
            releaseDevice(entry.fd);
        entry.fd = -1;
        entry.lastContact = Clock::now();
    }

    // Opened through the remembered link or device, so a link now pointing
    // at the returned device leads there. The line settings are applied as
    // OpenPort applies them: a failure to apply them leaves the port in use.
    bool reopen(PortEntry& entry)
    {
        const auto now = Clock::now();
        if (now - entry.lastContact < ReopenPause)
            return false;
        entry.lastContact = now;
        entry.fd = openDevice(entry.path);
        if (entry.fd >= 0 && entry.settings)
            applyDcb(entry.fd, *entry.settings);
        return entry.fd >= 0;
    }

    // Never 0 (no port yet) and never InvalidHandle.
    SerialHandle freeHandle()
    {
        while (m_nextHandle == 0 || m_nextHandle == InvalidHandle || m_ports.contains(m_nextHandle))
            ++m_nextHandle;
        return m_nextHandle++;
    }

    std::string m_links;
    std::map<SerialHandle, PortEntry> m_ports;
    SerialHandle m_nextHandle = 1;
};

} // namespace

std::unique_ptr<SerialPort> makePosixSerialPort(std::string linksDirectory)
{
    return std::make_unique<PosixSerialPort>(std::move(linksDirectory));
}

std::unique_ptr<SerialPort> makeSystemSerialPort()
{
    return makePosixSerialPort(portLinksDirectory());
}

} // namespace pom
