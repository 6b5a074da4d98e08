#include "sim/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

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
    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail();
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    path_ = name;
    return true;
}

void PseudoTerminal::Close()
{
    for (int* fd : {&master_, &slave_, &wakeRead_, &wakeWrite_}) {
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

ScaleLine::Readiness PseudoTerminal::Wait(bool read, bool write, int waitMs)
{
    pollfd fds[2] = {{master_, short((read ? POLLIN : 0) | (write ? POLLOUT : 0)), 0}, {wakeRead_, POLLIN, 0}};
    const int ready = ::poll(fds, 2, waitMs);
    if (ready < 0 && errno != EINTR)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (ready > 0 && (fds[1].revents & POLLIN)) {
        char drain[64];
        while (::read(wakeRead_, drain, sizeof drain) > 0) {
        }
    }
    Readiness seen;
    if (ready > 0) {
        seen.hungUp = (fds[0].revents & (POLLHUP | POLLERR)) != 0;
        seen.readable = seen.hungUp || (fds[0].revents & POLLIN) != 0;
    }
    return seen;
}

void PseudoTerminal::Wake()
{
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
    }
}

long PseudoTerminal::Read(char* buffer, std::size_t size)
{
    const ssize_t n = ::read(master_, buffer, size);
    if (n >= 0)
        return long(n);
    return errno == EAGAIN || errno == EINTR ? 0 : -1;
}

ScaleLine::Written PseudoTerminal::WriteSome(const char* bytes, std::size_t size)
{
    for (;;) {
        const ssize_t n = ::write(master_, bytes, size);
        if (n >= 0)
            return {std::size_t(n), false, false};
        if (errno == EINTR)
            continue;
        const bool blocked = errno == EAGAIN || errno == EWOULDBLOCK;
        return {0, blocked, !blocked};
    }
}
