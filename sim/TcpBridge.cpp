#include "sim/TcpBridge.h"

#include <atomic>
#include <cerrno>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool SpeedFor(int baud, speed_t& speed)
{
    switch (baud) {
    case 2400: speed = B2400; return true;
    case 4800: speed = B4800; return true;
    case 9600: speed = B9600; return true;
    case 19200: speed = B19200; return true;
    case 38400: speed = B38400; return true;
    case 57600: speed = B57600; return true;
    case 115200: speed = B115200; return true;
    case 230400: speed = B230400; return true;
    default: return false;
    }
}

// The tool's side of the scale's line, raw at the scale's rate; -1 when it cannot be had.
int OpenLine(const std::string& path, int baud)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    termios settings{};
    speed_t speed = B9600;
    SpeedFor(baud, speed);
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::cfsetispeed(&settings, speed);
        ::cfsetospeed(&settings, speed);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    return fd;
}

// Moves what `from` has to `to`; false once either side is gone.
bool Relay(int from, int to, bool toSocket)
{
    char buffer[4096];
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
        return false;
    for (ssize_t sent = 0; sent < n;) {
        const ssize_t w = toSocket ? ::send(to, buffer + sent, std::size_t(n - sent), MSG_NOSIGNAL)
                                   : ::write(to, buffer + sent, std::size_t(n - sent));
        if (w < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        sent += w > 0 ? w : 0;
        if (sent < n) {
            pollfd out{to, POLLOUT, 0};
            ::poll(&out, 1, 100);
        }
    }
    return true;
}

} // namespace

struct TcpBridge::State {
    std::function<std::string()> portPath;
    int baud;
    int listener = -1;
    int port = 0;
    int wake[2] = {-1, -1};
    std::thread thread;

    void Run()
    {
        int client = -1;
        int line = -1;
        const auto drop = [&] {
            if (client >= 0)
                ::close(client);
            if (line >= 0)
                ::close(line);
            client = line = -1;
        };
        for (;;) {
            pollfd fds[3] = {{wake[0], POLLIN, 0}, {client >= 0 ? client : listener, POLLIN, 0}, {line, POLLIN, 0}};
            if (::poll(fds, line >= 0 ? 3 : 2, -1) < 0 && errno != EINTR)
                break;
            if (fds[0].revents != 0)
                break;
            if (client < 0) {
                if ((fds[1].revents & POLLIN) == 0)
                    continue;
                client = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
                line = client >= 0 ? OpenLine(portPath(), baud) : -1;
                if (line < 0)
                    drop();
                continue;
            }
            if ((fds[1].revents != 0 && !Relay(client, line, false)) || (fds[2].revents != 0 && !Relay(line, client, true)))
                drop();
        }
        drop();
    }
};

TcpBridge::TcpBridge(std::function<std::string()> portPath, int baud) : state_(std::make_unique<State>())
{
    state_->portPath = std::move(portPath);
    state_->baud = baud;
}

TcpBridge::~TcpBridge()
{
    if (state_->thread.joinable()) {
        const char stop = 1;
        (void)::write(state_->wake[1], &stop, 1);
        state_->thread.join();
    }
    for (int fd : {state_->listener, state_->wake[0], state_->wake[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

bool TcpBridge::Listen(int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return false;
    const int on = 1;
    ::setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    socklen_t length = sizeof address;
    if (::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(s, 1) != 0
        || ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::pipe2(state_->wake, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(s);
        errno = error;
        return false;
    }
    state_->listener = s;
    state_->port = ntohs(address.sin_port);
    state_->thread = std::thread([state = state_.get()] { state->Run(); });
    return true;
}

int TcpBridge::Port() const
{
    return state_->port;
}
