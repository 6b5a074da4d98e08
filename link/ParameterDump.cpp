#include "link/ParameterDump.h"

#include "link/ScaleCommandSet.h"

#include <array>

void ParameterDump::Append(std::string_view block)
{
    const auto zero = block.find('\0');
    text_.append(zero == std::string_view::npos ? block : block.substr(0, zero));
    if (const auto begin = text_.find("parameter"); begin != std::string::npos)
        text_.erase(0, begin);
    if (const auto end = text_.find("end"); end != std::string::npos)
        text_.erase(end + 3);
}

bool ParameterDump::Done() const
{
    return text_.find("end") != std::string::npos;
}

std::string ReadParameterDump(SerialLink::PortHandle& port, const StopSignal* stop)
{
    if (!port.IsOpen())
        return std::string();
    constexpr int kBlock = ParameterDump::kBlockBytes;
    constexpr int kLimit = ParameterDump::kBlockLimitMs;
    std::array<char, kBlock> block{};

    const auto ended = [stop] { return stop != nullptr && stop->EndsPort(); };
    const auto sent = [&port](const Bytes& bytes) {
        return SerialLink::WriteBytes(port, bytes.data(), bytes.size()) == int(bytes.size());
    };
    if (!sent(ScaleCommandSet::SetPostbackMode(0)))
        return std::string();
    // The scale's answer and any weight report still on its way.
    SerialLink::ReadBytes(port, block.data(), kBlock, kLimit);
    if (ended() || !sent(ScaleCommandSet::ReadParameters()))
        return std::string();

    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    ParameterDump dump;
    while (Clock::now() - start < ParameterDump::kDumpTime && !ended()) {
        const int got = SerialLink::ReadBytes(port, block.data(), kBlock, kLimit);
        if (got > 0)
            dump.Append(std::string_view(block.data(), std::size_t(got)));
        if (dump.Done())
            break;
    }
    return dump.Text();
}
