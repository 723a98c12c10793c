#pragma once
// The operating system's serial calls, shaped like the Win32 communication
// services that the channel is written against. POSIX termios on Linux, the
// Win32 calls themselves on Windows; a fake in tests.
#include <cstdint>
#include <memory>
#include <string>

namespace pom {

using SerialHandle = std::uint32_t;
constexpr SerialHandle InvalidHandle = 0xFFFFFFFFu;

// The 28-byte line-settings block.
struct Dcb {
    std::uint32_t DCBlength = 0;
    std::uint32_t BaudRate = 0;
    std::uint32_t Flags = 0;  // the bit-field word: fBinary, fParity, ...
    std::uint16_t wReserved = 0;
    std::uint16_t XonLim = 0;
    std::uint16_t XoffLim = 0;
    std::uint8_t ByteSize = 0;
    std::uint8_t Parity = 0;   // 0 none
    std::uint8_t StopBits = 0; // 0 one stop bit
    char XonChar = 0, XoffChar = 0, ErrorChar = 0, EofChar = 0, EvtChar = 0;
    std::uint16_t wReserved1 = 0;
};
static_assert(sizeof(Dcb) == 28);

struct ComStat {
    std::uint32_t Flags = 0;
    std::uint32_t cbInQue = 0;
    std::uint32_t cbOutQue = 0;
};

constexpr std::uint32_t EV_TXEMPTY = 4;

class SerialPort {
public:
    virtual ~SerialPort() = default;
    // name is "\\.\COM<n>"; InvalidHandle when it does not exist, is in
    // use or cannot be opened. Never blocks.
    virtual SerialHandle createFile(const std::string& name) = 0;
    virtual bool setupComm(SerialHandle h, std::uint32_t inQueue, std::uint32_t outQueue) = 0;
    virtual bool getCommState(SerialHandle h, Dcb& dcb) = 0;
    virtual bool setCommState(SerialHandle h, const Dcb& dcb) = 0;
    virtual bool setCommMask(SerialHandle h, std::uint32_t mask) = 0;
    virtual bool flushFileBuffers(SerialHandle h) = 0;
    virtual bool writeFile(SerialHandle h, const std::uint8_t* data, std::uint32_t count,
                           std::uint32_t& written) = 0;
    // Blocks until the transmit queue is empty (bounded by the implementation).
    virtual bool waitCommEvent(SerialHandle h, std::uint32_t& eventMask) = 0;
    virtual bool clearCommError(SerialHandle h, std::uint32_t& errors, ComStat& status) = 0;
    virtual bool readFile(SerialHandle h, std::uint8_t* data, std::uint32_t count,
                          std::uint32_t& read) = 0;
    virtual bool closeHandle(SerialHandle h) = 0;
};

// The system's serial layer for this platform.
std::unique_ptr<SerialPort> makeSystemSerialPort();

// Port n on Linux: a link "COM<n>" in portLinksDirectory() wins; otherwise
// /dev/ttyS(n-1) for 1..32, /dev/ttyUSB(n-33) for 33..64, /dev/ttyACM(n-65)
// for 65..96; other numbers have no device (empty result). On Windows port n
// is "\\.\COM<n>" for any n >= 0.
std::string deviceForPortNumber(std::int64_t n, const std::string& linksDirectory);
// "$XDG_DATA_HOME/pomiarownik/ports", or "~/.local/share/pomiarownik/ports";
// empty on Windows, which has no links folder.
std::string portLinksDirectory();
// The number in "\\.\COM<n>", or -1 when the name has another shape.
std::int64_t portNumberFromName(const std::string& name);

} // namespace pom
