#pragma once
// The serial layer on POSIX terminals (termios).
#include <memory>
#include <string>

#include "serial_port.h"

namespace pom {

// Port numbers resolve through links in linksDirectory first (see
// deviceForPortNumber); tests pass a folder of their own.
std::unique_ptr<SerialPort> makePosixSerialPort(std::string linksDirectory);

} // namespace pom
