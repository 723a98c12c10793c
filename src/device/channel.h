#pragma once
// The serial channel: open port n at 2400 8N1, send the text in TxBuffer,
// read what has already arrived into RxBuffer.
#include <cstdint>
#include <string>

#include "buffers.h"
#include "serial_port.h"

namespace pom {

// The query "01t?" CR.
inline const std::string QueryCommand = "01t?\r";

// The channel's fields of the recorder state, with their start values.
struct ChannelState {
    SerialHandle PortHandle = 0;  // 0: never opened; InvalidHandle: last open failed
    std::string PortName;
    Dcb PortSettings{};
    std::uint32_t EventMask = 0;
    ComStat CommStatus{};
    std::uint32_t CommErrors = 0;
    std::uint32_t BytesRead = 0;
    Buffer65 TxBuffer{};
    Buffer65 RxBuffer{};
    std::int32_t InsertDecimalPoint = 0;  // -1 true, 0 false
    std::int32_t DropLeadingChar = 0;     // -1 true, 0 false
};

// How many times a command is written before the channel gives up on it.
constexpr int MaxSendAttempts = 3;

// Builds PortName, opens and configures the port; true when it opened.
bool OpenPort(ChannelState& ch, SerialPort& port, std::int32_t portNumber);
// Writes the first count bytes of TxBuffer and waits for transmit-empty: 1 or 0.
std::int32_t SendBuffer(ChannelState& ch, SerialPort& port, SerialHandle handle, std::int32_t count);
// Flush, write, wait; repeated while the wait fails, at most MaxSendAttempts
// times. 0 when a wait succeeded, -1 when every attempt failed.
std::int32_t SendCommand(ChannelState& ch, SerialPort& port);
// Reads min(maxCount, waiting) bytes into RxBuffer from its first byte,
// clearing nothing: 1 when something was waiting, else 0.
std::int32_t ReadAvailable(ChannelState& ch, SerialPort& port, SerialHandle handle, std::uint32_t maxCount);

} // namespace pom
