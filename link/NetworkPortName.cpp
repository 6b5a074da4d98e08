#include "link/NetworkPortName.h"

#include <algorithm>
#include <cerrno>

namespace NetworkPortName {

namespace {

constexpr std::string_view kRfc2217Scheme = "rfc2217://";
constexpr std::string_view kRawScheme = "socket://";

bool StartsWith(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

std::optional<int> PortNumber(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return port;
}

} // namespace

bool HasNetworkScheme(std::string_view name)
{
    return StartsWith(name, kRfc2217Scheme) || StartsWith(name, kRawScheme);
}

std::optional<Address> Parse(std::string_view name)
{
    Address address;
    if (StartsWith(name, kRfc2217Scheme)) {
        name.remove_prefix(kRfc2217Scheme.size());
    } else if (StartsWith(name, kRawScheme)) {
        address.kind = Kind::Raw;
        name.remove_prefix(kRawScheme.size());
    } else {
        return std::nullopt;
    }
    std::string_view host;
    std::string_view port;
    if (!name.empty() && name.front() == '[') {
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos || close + 1 >= name.size() || name[close + 1] != ':')
            return std::nullopt;
        host = name.substr(1, close - 1);
        port = name.substr(close + 2);
    } else {
        const std::size_t colon = name.rfind(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        host = name.substr(0, colon);
        port = name.substr(colon + 1);
        if (host.find(':') != std::string_view::npos)
            return std::nullopt;  // an IPv6 address needs its brackets
    }
    const auto number = PortNumber(port);
    if (host.empty() || !number)
        return std::nullopt;
    for (char c : host) {
        if (c == '/' || c == ' ' || c == '[' || c == ']' || static_cast<unsigned char>(c) < 0x20)
            return std::nullopt;
    }
    address.host = std::string(host);
    address.port = *number;
    return address;
}

std::string HostAndPort(const Address& address)
{
    const bool v6 = address.host.find(':') != std::string::npos;
    return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

std::string Format(const Address& address)
{
    return std::string(address.kind == Kind::Rfc2217 ? kRfc2217Scheme : kRawScheme) + HostAndPort(address);
}

std::vector<std::string> Remembered(const std::vector<std::string>& kept, const std::string& used)
{
    std::vector<std::string> list;
    for (const std::vector<std::string>& source : {std::vector<std::string>{used}, kept}) {
        for (const std::string& entry : source) {
            if (list.size() < kKept && Parse(entry) && std::find(list.begin(), list.end(), entry) == list.end())
                list.push_back(entry);
        }
    }
    return list;
}

int NoAnswerError() { return ETIMEDOUT; }
int RefusedError() { return ECONNREFUSED; }
int UnknownHostError() { return EADDRNOTAVAIL; }

std::string OpenFailure(std::string_view name, int error)
{
    if (!HasNetworkScheme(name))
        return {};
    const auto address = Parse(name);
    if (!address)
        return "not a network port name: rfc2217://HOST:PORT or socket://HOST:PORT";
    if (error == NoAnswerError())
        return "no answer from " + HostAndPort(*address);
    if (error == RefusedError())
        return HostAndPort(*address) + " refused the connection";
    if (error == UnknownHostError())
        return address->host + " is not a known host name";
    if (error == EHOSTUNREACH || error == ENETUNREACH)
        return address->host + " cannot be reached from this network";
    return "cannot connect to " + HostAndPort(*address);
}

} // namespace NetworkPortName
