#pragma once

#include "link/PortDevice.h"

#include <memory>
#include <string>

namespace SerialLink {

// How long connecting to a network port may take, name lookup aside.
inline constexpr int kConnectBoundMs = 3000;

// Opens a network port ("rfc2217://HOST:PORT" or "socket://HOST:PORT", see NetworkPortName).
// An RFC 2217 port is asked for `baud` 8N1 with XON/XOFF, as a serial port is set up; nothing waits
// for the server's answers. Null on failure with `error` set: NetworkPortName's errors for no
// answer, refused and unknown host, EINVAL for a malformed name, else the system's errno.
std::unique_ptr<PortDevice> OpenNetworkDevice(const std::string& name, int baud, int& error);

} // namespace SerialLink
