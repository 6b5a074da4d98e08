#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Network ports named as technicians know them from device-server manuals:
// "rfc2217://HOST:PORT" (Telnet with line control) and "socket://HOST:PORT" (raw TCP, the
// server's own line settings). HOST is a name, an IPv4 address or an IPv6 address in brackets.
namespace NetworkPortName {

enum class Kind { Rfc2217, Raw };

struct Address {
    Kind kind = Kind::Rfc2217;
    std::string host;  // without brackets
    int port = 0;
    bool operator==(const Address&) const = default;
};

// True for a name with a network scheme, well formed or not: such a name never opens a device file.
bool HasNetworkScheme(std::string_view name);

// The address a well-formed network name gives; none for a serial name or a malformed one
// (no host, a port outside 1..65535, an IPv6 address without brackets).
std::optional<Address> Parse(std::string_view name);

// The name for an address ("rfc2217://[::1]:2217"), and "HOST:PORT" alone for messages.
std::string Format(const Address& address);
std::string HostAndPort(const Address& address);

// Why a network port did not open, in words for the command line and the window's details;
// empty when `name` is not a network name. `error` is what the port's OpenError() returned.
std::string OpenFailure(std::string_view name, int error);

// The addresses a port list keeps: `used` first, then the others as they were, each once, at most
// kKept; names that do not parse are dropped.
inline constexpr std::size_t kKept = 5;
std::vector<std::string> Remembered(const std::vector<std::string>& kept, const std::string& used);

// The error codes a network open reports (errno values on every platform).
int NoAnswerError();     // nothing answered within the connect bound
int RefusedError();      // the host answered that nothing listens there
int UnknownHostError();  // the name does not resolve

} // namespace NetworkPortName
