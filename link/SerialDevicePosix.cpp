#include "link/PortDevice.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <fstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace SerialLink {

namespace {

bool SpeedFor(int baud, speed_t& speed)
{
    struct Rate {
        int baud;
        speed_t speed;
    };
    static constexpr Rate rates[] = {
        {50, B50}, {75, B75}, {110, B110}, {134, B134}, {150, B150}, {200, B200}, {300, B300},
        {600, B600}, {1200, B1200}, {1800, B1800}, {2400, B2400}, {4800, B4800}, {9600, B9600},
        {19200, B19200}, {38400, B38400},
#ifdef B57600
        {57600, B57600},
#endif
#ifdef B115200
        {115200, B115200},
#endif
#ifdef B230400
        {230400, B230400},
#endif
#ifdef B460800
        {460800, B460800},
#endif
#ifdef B500000
        {500000, B500000},
#endif
#ifdef B576000
        {576000, B576000},
#endif
#ifdef B921600
        {921600, B921600},
#endif
#ifdef B1000000
        {1000000, B1000000},
#endif
#ifdef B1152000
        {1152000, B1152000},
#endif
#ifdef B1500000
        {1500000, B1500000},
#endif
#ifdef B2000000
        {2000000, B2000000},
#endif
#ifdef B2500000
        {2500000, B2500000},
#endif
#ifdef B3000000
        {3000000, B3000000},
#endif
#ifdef B3500000
        {3500000, B3500000},
#endif
#ifdef B4000000
        {4000000, B4000000},
#endif
    };
    for (const Rate& rate : rates) {
        if (rate.baud == baud) {
            speed = rate.speed;
            return true;
        }
    }
    return false;
}

// Raw, the given rate, 8N1, XON/XOFF both ways, DTR and RTS off, both buffers purged.
bool ConfigureTerminal(int fd, int baud)
{
    speed_t speed;
    if (!SpeedFor(baud, speed))
        return false;
    if (::ioctl(fd, TIOCEXCL) != 0)
        return false;

    termios settings {};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    if (::cfsetispeed(&settings, speed) != 0 || ::cfsetospeed(&settings, speed) != 0)
        return false;
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB);
#ifdef CRTSCTS
    settings.c_cflag &= ~CRTSCTS;
#endif
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    settings.c_iflag &= ~(IXANY | INPCK);
    settings.c_iflag |= IXON | IXOFF;
    // With VMIN 0 an empty read returns 0 like end of file; with 1 it is EAGAIN on this
    // non-blocking descriptor, and 0 is left to mean the line hung up.
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0)
        return false;

    // tcsetattr succeeds when any part was taken; the driver must have taken the rate and framing.
    termios applied {};
    if (::tcgetattr(fd, &applied) != 0)
        return false;
    if (::cfgetospeed(&applied) != speed || (applied.c_cflag & CSIZE) != CS8
        || (applied.c_cflag & (PARENB | CSTOPB)) != 0)
        return false;

    // Only devices with modem lines have DTR and RTS; a pseudo-terminal refuses, which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIC, &lines);

    ::tcflush(fd, TCIOFLUSH);
    return true;
}

// A UUCP-style lock file (/var/lock/LCK..ttyUSB0) of a process that still runs: serial programs
// that do not lock the device itself say so there.
bool LockedByLockFile(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* folder : {"/var/lock/", "/run/lock/"}) {
        std::ifstream file(std::string(folder) + "LCK.." + base);
        long pid = 0;
        if (file >> pid && pid > 0 && pid != long(::getpid()) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            return true;
    }
    return false;
}

class PosixSerialDevice final : public PortDevice {
public:
    PosixSerialDevice(int fd, bool terminal, int baud, const termios& found)
        : fd_(fd), terminal_(terminal), baud_(baud), found_(found) {}

    ~PosixSerialDevice() override
    {
        if (terminal_) {
            // Put back the line as it was found, for the next program. No flush: the handle has
            // drained what moves, and a pseudo-terminal would drop what its far side has not read.
            (void)::tcsetattr(fd_, TCSANOW, &found_);
            (void)::ioctl(fd_, TIOCNXCL);
        }
        ::close(fd_);
    }

    IoResult Write(const char* bytes, std::size_t length, int waitMs) override
    {
        length = std::min<std::size_t>(length, SSIZE_MAX);
        for (bool waited = false;;) {
            const ssize_t n = ::write(fd_, bytes, length);
            if (n >= 0)
                return IoResult{std::size_t(n)};
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return Failure(errno);
            if (waited || waitMs <= 0)
                return IoResult{};
            if (!WaitFor(POLLOUT, waitMs))
                return IoResult{0, PortFault::HungUp, 0};
            waited = true;
        }
    }

    IoResult Read(char* buffer, std::size_t count, int waitMs) override
    {
        for (bool waited = false;;) {
            const ssize_t n = ::read(fd_, buffer, count);
            if (n > 0)
                return IoResult{std::size_t(n)};
            if (n < 0 && errno == EINTR)
                continue;
            const bool empty = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
            if (!empty) {
                // The end of a file or pipe is only the end of its bytes; on a terminal it is a
                // hang-up. Either way nothing more comes: the wait is spent here, not spun.
                if (n == 0 && !terminal_) {
                    if (waitMs > 0)
                        ::poll(nullptr, 0, waitMs);
                    return IoResult{};
                }
                return n == 0 ? IoResult{0, PortFault::HungUp, 0} : Failure(errno);
            }
            if (waited || waitMs <= 0)
                return IoResult{};
            if (!WaitFor(POLLIN, waitMs))
                return IoResult{0, PortFault::HungUp, 0};
            waited = true;
        }
    }

    std::size_t OutputQueued() override
    {
        int queued = 0;
        return terminal_ && ::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 ? std::size_t(queued) : 0;
    }

    void DiscardInput() override
    {
        if (terminal_)
            ::tcflush(fd_, TCIFLUSH);
    }

    void DiscardOutput() override
    {
        if (terminal_)
            ::tcflush(fd_, TCOFLUSH);
    }

    bool HasHungUp() override
    {
        pollfd fd{fd_, 0, 0};
        return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
    }

    int Baud() const override { return terminal_ ? baud_ : 0; }

private:
    // Waits up to waitMs for `event`; false when the device reports it is gone instead.
    bool WaitFor(short event, int waitMs) const
    {
        pollfd fd{fd_, event, 0};
        return !(::poll(&fd, 1, waitMs) > 0 && (fd.revents & event) == 0
                 && (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0);
    }

    static IoResult Failure(int error)
    {
        // EIO: the device is gone.
        return IoResult{0, error == EIO ? PortFault::HungUp : PortFault::IoError, error};
    }

    int fd_;
    bool terminal_;
    int baud_;
    termios found_;
};

} // namespace

std::unique_ptr<PortDevice> OpenDevice(const std::string& name, int baud, int& error)
{
    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    // A device that is not a terminal (a pipe, a file, another driver's node) keeps what it has.
    const bool terminal = ::isatty(fd) == 1;
    termios found {};
    if (terminal) {
        // Another program's port is left alone: its lock, its settings, its unread input.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || LockedByLockFile(name)) {
            ::close(fd);
            error = EBUSY;
            return nullptr;
        }
        errno = 0;
        if (::tcgetattr(fd, &found) != 0 || !ConfigureTerminal(fd, baud)) {
            error = errno != 0 ? errno : EINVAL;
            (void)::tcsetattr(fd, TCSANOW, &found);
            (void)::ioctl(fd, TIOCNXCL);
            ::close(fd);
            return nullptr;
        }
    }
    return std::make_unique<PosixSerialDevice>(fd, terminal, baud, found);
}

} // namespace SerialLink
