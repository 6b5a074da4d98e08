#include "link/SerialLink.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace SerialLink {

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// Bits on the wire per byte: start, 8 data, stop.
constexpr long long kBitsPerByte = 10;
// Time bound of one write and of the output drain at close: generous, so only a line that is held
// (XOFF without XON, a dead adapter) ever reaches it.
constexpr long long kWriteSlackMs = 1000;
constexpr long long kWriteWireFactor = 4;
// How often a held write looks whether its owner set a deadline.
constexpr int kDeadlineCheckMs = 100;
// Rate used for the bound when the device is not a terminal and so has no rate of its own.
constexpr long long kFallbackBaud = 9600;

Millis WriteBound(std::size_t length, int baud)
{
    const long long rate = baud > 0 ? baud : kFallbackBaud;
    const long long bytes = static_cast<long long>(std::min<std::size_t>(length, INT_MAX));
    const long long wireMs = (bytes * kBitsPerByte * 1000 + rate - 1) / rate;
    return Millis(kWriteSlackMs + kWriteWireFactor * wireMs);
}

// poll() time-out for a wait until `until`: rounded up so a wait never ends before its time.
int PollTimeout(Clock::time_point until, Clock::time_point now)
{
    const auto left = until - now;
    if (left <= Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<Millis>(left).count();
    return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

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

// The earlier of `until` and a deadline set on the handle (0: none).
Clock::time_point Earlier(Clock::time_point until, Clock::rep deadline)
{
    if (deadline == 0)
        return until;
    return std::min(until, Clock::time_point(Clock::duration(deadline)));
}

void CloseDescriptor(int fd, bool terminal, int baud, Clock::rep deadline)
{
    if (terminal) {
        // The kernel waits for queued output at close, for a serial driver up to 30 s. Give the
        // bytes their time on the wire, then drop what a held line (XOFF) still keeps.
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
            const auto until = Earlier(
                Clock::now() + std::min<Millis>(WriteBound(static_cast<std::size_t>(queued), baud), Millis(kCloseDrainMs)),
                deadline);
            while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && Clock::now() < until)
                std::this_thread::sleep_for(Millis(5));
            ::tcflush(fd, TCOFLUSH);
        }
        (void)::ioctl(fd, TIOCNXCL);
    }
    ::close(fd);
}

void Drain(int fd)
{
    char sink[64];
    while (::read(fd, sink, sizeof sink) > 0) {
    }
}

} // namespace

PortHandle::PortHandle()
{
    int ends[2];
    // Without a wake pipe a close still waits for calls in progress; they end by their own bounds.
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        wakeRead_ = ends[0];
        wakeWrite_ = ends[1];
    }
}

PortHandle::~PortHandle()
{
    Close();
    if (wakeRead_ >= 0)
        ::close(wakeRead_);
    if (wakeWrite_ >= 0)
        ::close(wakeWrite_);
}

void PortHandle::WakeUses()
{
    if (wakeWrite_ >= 0) {
        const char wake = 1;
        (void)::write(wakeWrite_, &wake, 1);
    }
}

void PortHandle::ResetWake()
{
    if (wakeRead_ >= 0)
        Drain(wakeRead_);
}

void PortHandle::CloseDevice(const Device& closed)
{
    CloseDescriptor(closed.fd, closed.terminal, closed.baud, deadline_.load());
}

void PortHandle::SetIoDeadline(Clock::time_point deadline)
{
    deadline_ = deadline.time_since_epoch().count();
}

int OpenSerialPort(const std::string& name, PortHandle& handle, int baud)
{
    std::lock_guard<std::mutex> serial(handle.openClose_);
    handle.CloseHeld();

    const int fd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    // A device that is not a terminal (a pipe, a file, another driver's node) keeps what it has.
    const bool terminal = ::isatty(fd) == 1;
    if (terminal && !ConfigureTerminal(fd, baud)) {
        ::tcflush(fd, TCIOFLUSH);
        (void)::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return 0;
    }

    std::lock_guard<std::mutex> lock(handle.mutex_);
    handle.device_ = PortHandle::Device{fd, terminal ? baud : 0, terminal};
    handle.fault_ = PortFaultInfo{};
    handle.deadline_ = 0;
    return 1;
}

int PortHandle::WriteDevice(const Device& device, const void* bytes, std::size_t length)
{
    length = std::min<std::size_t>(length, INT_MAX);
    const auto* data = static_cast<const char*>(bytes);
    // The clock is read only once the line makes the write wait; a write that goes straight out
    // costs the system calls alone.
    bool timed = false;
    Clock::time_point until;
    std::size_t written = 0;
    PortFault fault = PortFault::ShortWrite;
    int error = 0;
    while (written < length) {
        const ssize_t n = ::write(device.fd, data + written, length - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = errno;
            fault = error == EIO ? PortFault::HungUp : PortFault::IoError;  // EIO: the device is gone
            break;
        }

        const auto now = Clock::now();
        if (!timed) {
            until = now + WriteBound(length, device.baud);
            timed = true;
        }
        // A deadline set meanwhile (a close asked for) is looked at every kDeadlineCheckMs; one
        // before the write's own bound ends it once passed.
        const Clock::time_point ownerDeadline = Earlier(until, deadline_.load());
        if (ownerDeadline < until && now >= ownerDeadline) {
            fault = PortFault::None;  // ended by the owner's close, not by the line
            break;
        }
        const int timeout = std::min(PollTimeout(until, now), kDeadlineCheckMs);
        if (timeout == 0)
            break;
        pollfd fds[2] = {{device.fd, POLLOUT, 0}, {wakeRead_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents != 0) {
            fault = PortFault::None;  // the port is closing: not the line's fault
            break;
        }
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 && (fds[0].revents & POLLOUT) == 0) {
            fault = PortFault::HungUp;
            break;
        }
    }
    Observe(LineDirection::Written, data, static_cast<int>(written));
    // A line held while its owner closes the port is the close's business, not a fault.
    if (fault == PortFault::ShortWrite && deadline_.load() != 0)
        fault = PortFault::None;
    if (written < length && fault != PortFault::None)
        NoteFault(fault, error);
    return static_cast<int>(written);
}

int PortHandle::ReadDevice(const Device& device, void* buffer, int count, int limitMs)
{
    auto* data = static_cast<char*>(buffer);
    // The clock is read only when the read has to wait: the limit counts from the first wait (a
    // non-blocking read before it takes microseconds), and the last byte's time is taken when the
    // read finds no more.
    bool timed = false;
    Clock::time_point deadline;
    Clock::time_point lastByte;
    int receivedByLastByte = 0;
    int received = 0;
    bool hungUp = false;
    bool closing = false;
    PortFault fault = PortFault::None;
    int error = 0;
    while (received < count) {
        const ssize_t n = ::read(device.fd, data + received, static_cast<std::size_t>(count - received));
        if (n > 0) {
            received += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        const bool waiting = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        // The end of a file or pipe is only the end of its bytes; on a terminal it is a hang-up.
        if (!waiting && fault == PortFault::None && (n != 0 || device.terminal)) {
            fault = n == 0 || errno == EIO ? PortFault::HungUp : PortFault::IoError;
            error = n == 0 ? 0 : errno;
        }
        // End of file, EIO or a hang-up: nothing more will come. Wait out the limit on the wake
        // pipe alone, so a caller that loops on a dead port does not spin.
        const bool gone = !waiting || hungUp;
        if (hungUp && fault == PortFault::None)
            fault = PortFault::HungUp;

        const auto now = Clock::now();
        if (!timed) {
            deadline = now + Millis(std::max(limitMs, 0));
            timed = true;
        }
        if (received != receivedByLastByte) {
            lastByte = now;
            receivedByLastByte = received;
        }
        auto until = deadline;
        if (received > 0)
            until = std::max(deadline, lastByte + Millis(kInterByteGapMs));
        const int timeout = PollTimeout(until, now);
        if (timeout == 0)
            break;
        pollfd fds[2] = {{gone ? -1 : device.fd, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents != 0) {
            closing = true;
            break;  // the port is closing
        }
        if (gone && ready == 0)
            break;
        if ((fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
            hungUp = true;  // read once more for what is left, then treat the port as gone
    }
    return EndRead(data, received, fault, error, closing);
}

void PortHandle::PurgeInput(const Device& device)
{
    // Input only: flushing output would drop bytes a write has handed to the driver and that have
    // not left yet (a pseudo-terminal drops them from the far side's queue).
    if (device.terminal)
        ::tcflush(device.fd, TCIFLUSH);
}

bool PortHandle::HasHungUp(const Device& device)
{
    pollfd fd{device.fd, 0, 0};
    return ::poll(&fd, 1, 0) > 0 && (fd.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

} // namespace SerialLink
