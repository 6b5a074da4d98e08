#include "sim/TcpLine.h"

#include <cerrno>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
using Native = SOCKET;
const Native kInvalid = INVALID_SOCKET;
using PollEntry = WSAPOLLFD;
int PollEntries(PollEntry* entries, unsigned count, int waitMs) { return ::WSAPoll(entries, ULONG(count), waitMs); }
bool NothingNow() { return WSAGetLastError() == WSAEWOULDBLOCK; }
void Release(Native s) { ::closesocket(s); }
bool MakeNonBlocking(Native s)
{
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
}
constexpr int kNoSignal = 0;
#else
using Native = int;
constexpr Native kInvalid = -1;
using PollEntry = pollfd;
int PollEntries(PollEntry* entries, unsigned count, int waitMs) { return ::poll(entries, count, waitMs); }
bool NothingNow() { return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR; }
void Release(Native s) { ::close(s); }
bool MakeNonBlocking(Native s)
{
    return ::fcntl(s, F_SETFL, ::fcntl(s, F_GETFL) | O_NONBLOCK) == 0 && ::fcntl(s, F_SETFD, FD_CLOEXEC) == 0;
}
constexpr int kNoSignal = MSG_NOSIGNAL;
#endif

Native AsNative(std::uintptr_t handle) { return Native(handle); }

sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    return address;
}

// A non-blocking socket bound to 127.0.0.1 on a port the system picks; its port in `port`.
bool BindLoopback(int type, Native& s, int& port)
{
    s = ::socket(AF_INET, type, 0);
    if (s == kInvalid)
        return false;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (!MakeNonBlocking(s) || ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        Release(s);
        return false;
    }
    port = ntohs(address.sin_port);
    return true;
}

} // namespace

bool TcpLine::Open(int /*baud: raw TCP carries no rate*/)
{
    Close();
#ifdef _WIN32
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        errno = ENETDOWN;
        return false;
    }
    started_ = true;
#endif
    Native wake;
    int wakePort = 0;
    if (!BindLoopback(SOCK_DGRAM, wake, wakePort)) {
        Close();
        errno = ENETDOWN;
        return false;
    }
    wake_ = std::uintptr_t(wake);
    // Connected to itself: a byte it sends ends the worker's wait.
    const sockaddr_in self = Loopback(wakePort);
    if (::connect(wake, reinterpret_cast<const sockaddr*>(&self), sizeof self) != 0
        || !(bridgeTcpPort_ != 0 ? Connect() : Listen())) {
        Close();
        errno = ENETDOWN;
        return false;
    }
    open_ = true;
    return true;
}

bool TcpLine::Listen()
{
    Native listener;
    if (!BindLoopback(SOCK_STREAM, listener, port_))
        return false;
    listener_ = std::uintptr_t(listener);
    return ::listen(listener, 4) == 0;
}

bool TcpLine::Connect()
{
    // A bridge that served the line before may be starting again: it gets a few seconds.
    const sockaddr_in bridge = Loopback(bridgeTcpPort_);
    for (int attempt = 0; attempt < 60; ++attempt) {
        const Native s = ::socket(AF_INET, SOCK_STREAM, 0);
        if (s == kInvalid)
            return false;
        if (::connect(s, reinterpret_cast<const sockaddr*>(&bridge), sizeof bridge) == 0 && MakeNonBlocking(s)) {
            client_ = std::uintptr_t(s);
            return true;
        }
        Release(s);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void TcpLine::Close()
{
    DropClient();
    for (Handle* s : {&listener_, &wake_}) {
        if (*s != kNone)
            Release(AsNative(*s));
        *s = kNone;
    }
    DropOutput();
    open_ = false;
#ifdef _WIN32
    if (started_)
        ::WSACleanup();
#endif
    started_ = false;
}

std::string TcpLine::Path() const
{
    return bridgeTcpPort_ != 0 ? bridgedPort_ : "socket://127.0.0.1:" + std::to_string(port_);
}

void TcpLine::DropClient()
{
    if (client_ != kNone)
        Release(AsNative(client_));
    client_ = kNone;
}

ScaleLine::Readiness TcpLine::Wait(bool read, bool write, int waitMs)
{
    PollEntry entries[3] = {};
    entries[0].fd = AsNative(wake_);
    entries[0].events = POLLIN;
    unsigned count = 1;
    const unsigned listening = listener_ != kNone ? count++ : 0;
    if (listening != 0) {
        entries[listening].fd = AsNative(listener_);
        entries[listening].events = POLLIN;
    }
    const unsigned connected = client_ != kNone && (read || write) ? count++ : 0;
    if (connected != 0) {
        entries[connected].fd = AsNative(client_);
        entries[connected].events = short((read ? POLLIN : 0) | (write ? POLLOUT : 0));
    }
    Readiness seen;
    const int ready = PollEntries(entries, count, waitMs);
    if (ready < 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));  // do not spin on a failing wait
    if (ready <= 0)
        return seen;
    if (entries[0].revents != 0) {
        char drain[64];
        while (::recv(AsNative(wake_), drain, sizeof drain, 0) > 0) {
        }
    }
    // A tool arriving is taken by Accept() and read like bytes arriving.
    seen.readable = listening != 0 && entries[listening].revents != 0;
    if (connected != 0) {
        seen.hungUp = (entries[connected].revents & (POLLHUP | POLLERR)) != 0;
        seen.readable = seen.readable || seen.hungUp || (entries[connected].revents & POLLIN) != 0;
    }
    return seen;
}

void TcpLine::Wake()
{
    if (wake_ != kNone) {
        const char byte = 1;
        (void)::send(AsNative(wake_), &byte, 1, 0);
    }
}

void TcpLine::Accept()
{
    if (listener_ == kNone)
        return;
    const Native client = ::accept(AsNative(listener_), nullptr, nullptr);
    if (client == kInvalid)
        return;
    if (!MakeNonBlocking(client)) {
        Release(client);
        return;
    }
    int on = 1;
    (void)::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    DropClient();
    // What waited for the tool before went nowhere: nobody was on the line.
    DropOutput();
    client_ = std::uintptr_t(client);
}

long TcpLine::Read(char* buffer, std::size_t size)
{
    if (client_ == kNone)
        return 0;
    const auto n = ::recv(AsNative(client_), buffer, int(size), 0);
    if (n > 0)
        return long(n);
    if (n < 0 && NothingNow())
        return 0;
    // The tool hung up (the line waits for the next one), or the bridge went (the line is dead).
    DropClient();
    return 0;
}

ScaleLine::Written TcpLine::WriteSome(const char* bytes, std::size_t size)
{
    if (client_ == kNone)
        return {size, false, false};  // on a line with nobody at the far end, bytes are lost
    const auto n = ::send(AsNative(client_), bytes, int(size), kNoSignal);
    if (n >= 0)
        return {std::size_t(n), false, false};
    if (NothingNow())
        return {0, true, false};
    DropClient();
    return {0, false, true};
}
