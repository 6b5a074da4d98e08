#include "sim/ScaleLine.h"

#include <cstdint>

namespace {

// Bytes the tool has not read yet beyond this are dropped, like an overrun on a real line.
constexpr std::size_t kBacklogLimit = 8192;

} // namespace

void ScaleLine::Send(Bytes bytes, TimePoint due, int lineBaud)
{
    if (bytes.empty() || !IsOpen())
        return;
    if (const int toolBaud = ToolBaud(); toolBaud != 0 && toolBaud != lineBaud)
        bytes = Garbled(bytes, toolBaud > lineBaud);
    if (bytes.empty() || backlog_ + bytes.size() > kBacklogLimit)
        return;
    backlog_ += bytes.size();
    output_.push_back({due, std::move(bytes)});
}

void ScaleLine::Flush(TimePoint now)
{
    writeBlocked_ = false;
    while (!output_.empty() && output_.front().due <= now && IsOpen()) {
        const Bytes& bytes = output_.front().bytes;
        const Written written = WriteSome(bytes.data() + frontWritten_, bytes.size() - frontWritten_);
        if (written.failed) {
            DropOutput();
            return;
        }
        if (written.blocked || written.count == 0) {
            writeBlocked_ = true;
            return;
        }
        frontWritten_ += written.count;
        if (frontWritten_ == bytes.size()) {
            backlog_ -= bytes.size();
            output_.pop_front();
            frontWritten_ = 0;
        }
    }
}

void ScaleLine::DropOutput()
{
    output_.clear();
    frontWritten_ = 0;
    backlog_ = 0;
    writeBlocked_ = false;
}

std::optional<ScaleLine::TimePoint> ScaleLine::NextWrite() const
{
    if (output_.empty() || writeBlocked_)
        return std::nullopt;
    return output_.front().due;
}

Bytes Garbled(const Bytes& bytes, bool receiverFaster)
{
    Bytes noise;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto b = std::uint8_t(bytes[i]);
        if (receiverFaster) {
            noise += char(0x80 | (b >> 1));
            noise += char(0xFF);
        } else if (i % 2 == 0) {
            noise += char(0x80 | (b ^ 0x5A));
        }
    }
    return noise;
}
