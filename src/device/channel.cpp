#include "channel.h"

#include <algorithm>

namespace pom {

bool OpenPort(ChannelState& ch, SerialPort& port, std::int32_t portNumber)
{
    ch.PortName = "\\\\.\\COM" + std::to_string(portNumber);
    ch.PortHandle = port.createFile(ch.PortName);
    if (ch.PortHandle == InvalidHandle)
        return false;
    // A port whose settings cannot be applied is still used as it is.
    port.setupComm(ch.PortHandle, 64, 64);
    ch.PortSettings.DCBlength = sizeof(Dcb);
    port.getCommState(ch.PortHandle, ch.PortSettings);
    ch.PortSettings.BaudRate = 2400;
    ch.PortSettings.Flags = 2;
    ch.PortSettings.Parity = 0;
    ch.PortSettings.StopBits = 0;
    ch.PortSettings.ByteSize = 8;
    port.setCommState(ch.PortHandle, ch.PortSettings);
    port.setCommMask(ch.PortHandle, EV_TXEMPTY);
    return true;
}

std::int32_t SendBuffer(ChannelState& ch, SerialPort& port, SerialHandle handle, std::int32_t count)
{
    std::uint32_t written = 0;
    port.writeFile(handle, ch.TxBuffer.data(), static_cast<std::uint32_t>(count), written);
    return port.waitCommEvent(handle, ch.EventMask) ? 1 : 0;
}

std::int32_t SendCommand(ChannelState& ch, SerialPort& port)
{
    // Bounded, so that a removed adapter cannot keep the caller writing forever.
    for (int attempt = 0; attempt < MaxSendAttempts; ++attempt) {
        port.flushFileBuffers(ch.PortHandle);
        const auto length = std::find(ch.TxBuffer.begin(), ch.TxBuffer.end(), std::uint8_t{0})
                            - ch.TxBuffer.begin();
        if (SendBuffer(ch, port, ch.PortHandle, static_cast<std::int32_t>(length)) != 0)
            return 0;
    }
    return -1;
}

std::int32_t ReadAvailable(ChannelState& ch, SerialPort& port, SerialHandle handle, std::uint32_t maxCount)
{
    // A failed query must not leave an old count behind: that would re-read
    // and log the previous reply a second time.
    ch.CommStatus = ComStat{};
    const bool queried = port.clearCommError(handle, ch.CommErrors, ch.CommStatus);
    // Nor may a failed query's count be trusted: it says nothing about the line.
    if (!queried || ch.CommStatus.cbInQue == 0) {
        ch.BytesRead = 0;
        return 0;
    }
    const std::uint32_t count = std::min({maxCount, ch.CommStatus.cbInQue,
                                          static_cast<std::uint32_t>(BufferSize)});
    ch.BytesRead = 0;
    // Likewise a read that delivered nothing counts as no reply.
    if (!port.readFile(handle, ch.RxBuffer.data(), count, ch.BytesRead) || ch.BytesRead == 0)
        return 0;
    return 1;
}

} // namespace pom
