// The serial layer on Windows: the Win32 communication calls themselves, on a
// synchronous handle, as the channel uses them.
#include "serial_port.h"

#include "win32_api.h"

#include <cstddef>
#include <cstring>
#include <map>

namespace pom {

namespace {

// Our Dcb mirrors DCB byte for byte, its flags word being DCB's bit-fields,
// so the whole block is copied as it is.
static_assert(sizeof(DCB) == 28 && sizeof(Dcb) == sizeof(DCB));
static_assert(offsetof(DCB, BaudRate) == offsetof(Dcb, BaudRate));
static_assert(offsetof(DCB, wReserved) == offsetof(Dcb, wReserved));
static_assert(offsetof(DCB, ByteSize) == offsetof(Dcb, ByteSize));
static_assert(offsetof(DCB, StopBits) == offsetof(Dcb, StopBits));
static_assert(offsetof(DCB, EvtChar) == offsetof(Dcb, EvtChar));
static_assert(offsetof(DCB, wReserved1) == offsetof(Dcb, wReserved1));
static_assert(sizeof(COMSTAT) == sizeof(ComStat) && offsetof(COMSTAT, cbInQue) == offsetof(ComStat, cbInQue));
static_assert(EV_TXEMPTY == 4);

// A write may keep bytes back for at most this long plus its line time; a
// byte at 2400 baud takes about 4.2 ms.
constexpr DWORD WriteTimeoutConstantMs = 1000;
constexpr DWORD WriteTimeoutPerByteMs = 10;

// Reads return at once with what has arrived; writes give up after their
// time-out, and their unsent bytes with them.
void boundWaits(HANDLE h)
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutMultiplier = WriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = WriteTimeoutConstantMs;
    SetCommTimeouts(h, &timeouts);
}

// One thread at a time uses the port, as the channel does, so the table has
// no lock.
class Win32SerialPort final : public SerialPort {
public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override
    {
        for (const auto& [handle, system] : m_handles)
            CloseHandle(system);
    }
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    SerialHandle createFile(const std::string& name) override
    {
        const HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                     nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return InvalidHandle;
        boundWaits(h);
        const SerialHandle handle = freeHandle();
        m_handles.emplace(handle, h);
        return handle;
    }

    bool setupComm(SerialHandle h, std::uint32_t inQueue, std::uint32_t outQueue) override
    {
        const HANDLE system = find(h);
        return system != nullptr && SetupComm(system, inQueue, outQueue) != 0;
    }

    bool getCommState(SerialHandle h, Dcb& dcb) override
    {
        const HANDLE system = find(h);
        DCB real;
        std::memcpy(&real, &dcb, sizeof real);
        if (system == nullptr || GetCommState(system, &real) == 0)
            return false;
        std::memcpy(static_cast<void*>(&dcb), &real, sizeof real);
        return true;
    }

    bool setCommState(SerialHandle h, const Dcb& dcb) override
    {
        const HANDLE system = find(h);
        DCB real;
        std::memcpy(&real, &dcb, sizeof real);
        return system != nullptr && SetCommState(system, &real) != 0;
    }

    bool setCommMask(SerialHandle h, std::uint32_t mask) override
    {
        const HANDLE system = find(h);
        return system != nullptr && SetCommMask(system, mask) != 0;
    }

    // Waits for earlier writes, each of which its time-out bounds.
    bool flushFileBuffers(SerialHandle h) override
    {
        const HANDLE system = find(h);
        return system != nullptr && FlushFileBuffers(system) != 0;
    }

    bool writeFile(SerialHandle h, const std::uint8_t* data, std::uint32_t count,
                   std::uint32_t& written) override
    {
        return withCount(h, written,
                         [&](HANDLE system, DWORD* done) { return WriteFile(system, data, count, done, nullptr); });
    }

    // A synchronous WaitCommEvent has no time-out of its own. What bounds it:
    // the wait follows a write, and the driver keeps EV_TXEMPTY from the
    // moment that write's last byte has left even when the wait starts later;
    // flow control is off, so a present UART always empties; the write
    // time-outs above cap how long bytes can stay queued; and the driver of a
    // removed adapter fails the pending wait. A driver that does none of this
    // would hold the thread: a synchronous handle has no cancel of its own.
    bool waitCommEvent(SerialHandle h, std::uint32_t& eventMask) override
    {
        return withCount(h, eventMask,
                         [](HANDLE system, DWORD* events) { return WaitCommEvent(system, events, nullptr); });
    }

    bool clearCommError(SerialHandle h, std::uint32_t& errors, ComStat& status) override
    {
        errors = 0;
        status = ComStat{};
        const HANDLE system = find(h);
        DWORD flags = 0;
        COMSTAT real{};
        if (system == nullptr || ClearCommError(system, &flags, &real) == 0)
            return false;
        errors = flags;
        std::memcpy(static_cast<void*>(&status), &real, sizeof real);
        return true;
    }

    // The channel asks only for what ClearCommError reported waiting, and the
    // read time-outs return at once in any case.
    bool readFile(SerialHandle h, std::uint8_t* data, std::uint32_t count, std::uint32_t& read) override
    {
        return withCount(h, read,
                         [&](HANDLE system, DWORD* done) { return ReadFile(system, data, count, done, nullptr); });
    }

    bool closeHandle(SerialHandle h) override
    {
        const auto it = m_handles.find(h);
        if (it == m_handles.end())
            return false;
        const HANDLE system = it->second;
        m_handles.erase(it);
        return CloseHandle(system) != 0;
    }

private:
    // A call that reports a count through a DWORD: the count is 0 unless
    // the handle is known and the call gave one.
    template <typename Call>
    bool withCount(SerialHandle h, std::uint32_t& count, Call call) const
    {
        const HANDLE system = find(h);
        DWORD value = 0;
        const bool ok = system != nullptr && call(system, &value) != 0;
        count = value;
        return ok;
    }

    HANDLE find(SerialHandle h) const
    {
        const auto it = m_handles.find(h);
        return it != m_handles.end() ? it->second : nullptr;
    }

    // Never 0 (no port yet) and never InvalidHandle, whatever the system's
    // HANDLE values are.
    SerialHandle freeHandle()
    {
        while (m_nextHandle == 0 || m_nextHandle == InvalidHandle || m_handles.contains(m_nextHandle))
            ++m_nextHandle;
        return m_nextHandle++;
    }

    std::map<SerialHandle, HANDLE> m_handles;
    SerialHandle m_nextHandle = 1;
};

} // namespace

std::unique_ptr<SerialPort> makeSystemSerialPort()
{
    return std::make_unique<Win32SerialPort>();
}

} // namespace pom
