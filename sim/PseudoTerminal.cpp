#include "sim/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <cstdint>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Bytes the tool has not read yet beyond this are dropped, like an overrun on a real line.
constexpr std::size_t kBacklogLimit = 8192;

struct LineRate {
    int baud;
    speed_t speed;
};
constexpr LineRate kLineRates[] = {
    {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200},
    {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

} // namespace

bool PseudoTerminal::Open(int baud)
{
    Close();
    const auto fail = [this] {
        const int error = errno;
        Close();
        errno = error;
        return false;
    };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0)
        return false;
    char name[256] = {};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0)
        return fail();
    // Raw from the start so nothing is echoed or cooked.
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0)
        return fail();
    termios raw{};
    if (::tcgetattr(slave_, &raw) != 0)
        return fail();
    ::cfmakeraw(&raw);
    for (const LineRate& rate : kLineRates) {
        if (rate.baud == baud) {
            ::cfsetispeed(&raw, rate.speed);
            ::cfsetospeed(&raw, rate.speed);
        }
    }
    if (::tcsetattr(slave_, TCSANOW, &raw) != 0)
        return fail();
    if (::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK) != 0
        || ::fcntl(master_, F_SETFD, FD_CLOEXEC) != 0)
        return fail();
    path_ = name;
    return true;
}

void PseudoTerminal::Close()
{
    for (int* fd : {&master_, &slave_}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    DropOutput();
}

bool PseudoTerminal::HasRate(int baud)
{
    return std::any_of(std::begin(kLineRates), std::end(kLineRates), [baud](const LineRate& rate) { return rate.baud == baud; });
}

void PseudoTerminal::EnableToolFlowControl()
{
    termios line{};
    if (slave_ >= 0 && ::tcgetattr(slave_, &line) == 0 && (line.c_iflag & IXON) == 0) {
        line.c_iflag |= IXON;
        (void)::tcsetattr(slave_, TCSANOW, &line);
    }
}

int PseudoTerminal::ToolBaud() const
{
    termios line{};
    if (slave_ < 0 || ::tcgetattr(slave_, &line) != 0)
        return 0;
    const speed_t speed = ::cfgetospeed(&line);
    for (const LineRate& rate : kLineRates) {
        if (rate.speed == speed)
            return rate.baud;
    }
    return 0;
}

void PseudoTerminal::Send(Bytes bytes, TimePoint due, int lineBaud)
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

void PseudoTerminal::Flush(TimePoint now)
{
    writeBlocked_ = false;
    while (!output_.empty() && output_.front().due <= now && IsOpen()) {
        const Bytes& bytes = output_.front().bytes;
        const ssize_t n = ::write(master_, bytes.data() + frontWritten_, bytes.size() - frontWritten_);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            writeBlocked_ = (errno == EAGAIN || errno == EWOULDBLOCK);
            if (!writeBlocked_)
                DropOutput();
            return;
        }
        frontWritten_ += std::size_t(n);
        if (frontWritten_ == bytes.size()) {
            backlog_ -= bytes.size();
            output_.pop_front();
            frontWritten_ = 0;
        }
    }
}

void PseudoTerminal::DropOutput()
{
    output_.clear();
    frontWritten_ = 0;
    backlog_ = 0;
    writeBlocked_ = false;
}

std::optional<PseudoTerminal::TimePoint> PseudoTerminal::NextWrite() const
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
