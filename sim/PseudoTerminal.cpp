#include "sim/PseudoTerminal.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
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

bool OpenPseudoTerminal(int baud, PseudoTerminal& terminal)
{
    PseudoTerminal t;
    const auto fail = [&t] {
        const int error = errno;
        ClosePseudoTerminal(t);
        errno = error;
        return false;
    };
    t.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (t.master < 0)
        return false;
    char name[256] = {};
    if (::grantpt(t.master) != 0 || ::unlockpt(t.master) != 0 || ::ptsname_r(t.master, name, sizeof name) != 0)
        return fail();
    t.path = name;
    // Raw from the start so nothing is echoed or cooked.
    t.slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (t.slave < 0)
        return fail();
    termios raw{};
    if (::tcgetattr(t.slave, &raw) != 0)
        return fail();
    ::cfmakeraw(&raw);
    for (const LineRate& rate : kLineRates) {
        if (rate.baud == baud) {
            ::cfsetispeed(&raw, rate.speed);
            ::cfsetospeed(&raw, rate.speed);
        }
    }
    if (::tcsetattr(t.slave, TCSANOW, &raw) != 0)
        return fail();
    if (::fcntl(t.master, F_SETFL, ::fcntl(t.master, F_GETFL) | O_NONBLOCK) != 0
        || ::fcntl(t.master, F_SETFD, FD_CLOEXEC) != 0)
        return fail();
    terminal = std::move(t);
    return true;
}

void ClosePseudoTerminal(PseudoTerminal& terminal)
{
    for (int* fd : {&terminal.master, &terminal.slave}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

int ToolBaud(const PseudoTerminal& terminal)
{
    termios line{};
    if (terminal.slave < 0 || ::tcgetattr(terminal.slave, &line) != 0)
        return 0;
    const speed_t speed = ::cfgetospeed(&line);
    for (const LineRate& rate : kLineRates) {
        if (rate.speed == speed)
            return rate.baud;
    }
    return 0;
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
