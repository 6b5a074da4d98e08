#include "sim/CommandSplitter.h"

std::size_t CommandSplitter::EscArgumentCount(std::uint8_t code)
{
    switch (code) {
    case 0x01: case 0x03: case 0x04: case 0x05: case 0x07: case 0x08: case 0x09: case 0x0E:
        return 1;
    case 0x02: case 0x0A: case 0x0B:
        return 2;
    default:
        return 0;
    }
}

std::size_t CommandSplitter::CommandLength(std::string_view p, bool quiet)
{
    const auto c = std::uint8_t(p[0]);
    switch (c) {
    case 'T':
    case 'Z':
        if (p.size() == 1)
            return quiet ? 1 : 0;
        if (p[1] != '\r')
            return 1;
        if (p.size() == 2)
            return quiet ? 1 : 0;
        return p[2] == '\n' ? 3 : 1;
    case 0x1B: {
        if (p.size() < 3)
            return 0;
        const std::size_t length = 3 + EscArgumentCount(std::uint8_t(p[2]));
        return p.size() >= length ? length : 0;
    }
    case 0xAB:
        return p.size() >= 13 ? 13 : 0;
    case '\r':
        if (p.size() == 1)
            return quiet ? 1 : 0;
        return p[1] == '\n' ? 2 : 1;
    default:
        break;
    }
    if (c < 0x20 || c == 'R')
        return 1;  // polls (R, DC1) and stray control bytes stand alone
    const auto end = p.find("\r\n");
    if (end == std::string_view::npos)
        return 0;
    const std::size_t line = end + 2;
    if (!p.starts_with("Lat="))
        return line;
    // The gravity position is two lines sent in one write.
    const std::string_view rest = p.substr(line);
    constexpr std::string_view kAsl = "ASL=";
    if (rest.size() < kAsl.size() && kAsl.substr(0, rest.size()) == rest)
        return quiet ? line : 0;
    if (!rest.starts_with(kAsl))
        return line;
    const auto aslEnd = rest.find("\r\n");
    if (aslEnd == std::string_view::npos)
        return quiet ? line : 0;
    return line + aslEnd + 2;
}

void CommandSplitter::Add(std::string_view bytes, TimePoint now)
{
    if (bytes.empty())
        return;
    pending_ += bytes;
    lastByteAt_ = now;
}

std::vector<Bytes> CommandSplitter::Take(TimePoint now)
{
    std::vector<Bytes> commands;
    const bool quiet = now - lastByteAt_ >= kLoneByteWait;
    while (!pending_.empty()) {
        std::size_t length = CommandLength(pending_, quiet);
        if (length == 0) {
            if (now - lastByteAt_ < kIdleFlush)
                break;
            length = pending_.size();
        }
        commands.push_back(pending_.substr(0, length));
        pending_.erase(0, length);
    }
    return commands;
}

std::optional<CommandSplitter::TimePoint> CommandSplitter::NextDue(TimePoint now) const
{
    if (pending_.empty())
        return std::nullopt;
    return now - lastByteAt_ < kLoneByteWait ? lastByteAt_ + kLoneByteWait : lastByteAt_ + kIdleFlush;
}

void CommandSplitter::Clear()
{
    pending_.clear();
}
