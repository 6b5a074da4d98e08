#include "link/NetworkPort.h"

#include "link/NetworkPortName.h"
#include "link/TelnetCodec.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>
#else
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

// A serial line reached over TCP: raw, or through Telnet with RFC 2217 line control. The tool only
// connects out; it never listens.

namespace SerialLink {

namespace {

using Clock = std::chrono::steady_clock;

// What one receive takes from the socket; the decoded bytes wait in the device until read, and no
// more is received while any wait, so a server that floods does not grow the memory.
constexpr std::size_t kReceiveChunk = 4096;
// Encoded bytes waiting for the socket beyond which Write() takes no more.
constexpr std::size_t kOutputHeld = 4096;
// Receives per Read() at most: a server sending only Telnet commands cannot keep a read going.
constexpr int kReceivesPerRead = 16;
// What a purge drops from the socket at most before it asks the server to drop the rest.
constexpr std::size_t kPurgeBytes = 65536;
// A server that has not confirmed the line settings by then gets a note in the monitor.
constexpr auto kConfirmNoteAfter = std::chrono::seconds(2);
// How long the first bytes wait for the server to answer the rate request: the scale understands
// them only at its rate. A server that does not answer by then is written to all the same.
constexpr auto kRateWait = std::chrono::seconds(1);

#ifdef _WIN32
using Socket = SOCKET;
const Socket kNoSocket = INVALID_SOCKET;
int LastError() { return WSAGetLastError(); }
bool WouldBlock(int error) { return error == WSAEWOULDBLOCK || error == WSAEINPROGRESS; }
bool Lost(int error) { return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAETIMEDOUT || error == WSAENETRESET; }
int PollSockets(WSAPOLLFD* fds, int waitMs) { return WSAPoll(fds, 1, waitMs); }
using PollFd = WSAPOLLFD;
void CloseSocket(Socket s) { ::closesocket(s); }
constexpr int kSendFlags = 0;
// Winsock's codes in the errno words the rest of the tool uses.
int AsErrno(int error)
{
    switch (error) {
    case WSAETIMEDOUT: return NetworkPortName::NoAnswerError();
    case WSAECONNREFUSED: return NetworkPortName::RefusedError();
    case WSAEHOSTUNREACH: return EHOSTUNREACH;
    case WSAENETUNREACH: return ENETUNREACH;
    default: return error;
    }
}
#else
using Socket = int;
constexpr Socket kNoSocket = -1;
int LastError() { return errno; }
bool WouldBlock(int error) { return error == EAGAIN || error == EWOULDBLOCK || error == EINPROGRESS; }
bool Lost(int error) { return error == ECONNRESET || error == EPIPE || error == ETIMEDOUT || error == ENOTCONN; }
using PollFd = pollfd;
int PollSockets(pollfd* fds, int waitMs) { return ::poll(fds, 1, waitMs); }
void CloseSocket(Socket s) { ::close(s); }
#ifdef MSG_NOSIGNAL
constexpr int kSendFlags = MSG_NOSIGNAL;
#else
constexpr int kSendFlags = 0;
#endif
int AsErrno(int error) { return error; }
#endif

bool SetNonBlocking(Socket s)
{
#ifdef _WIN32
    u_long on = 1;
    return ::ioctlsocket(s, FIONBIO, &on) == 0;
#else
    const int flags = ::fcntl(s, F_GETFL);
    return flags >= 0 && ::fcntl(s, F_SETFL, flags | O_NONBLOCK) == 0 && ::fcntl(s, F_SETFD, FD_CLOEXEC) == 0;
#endif
}

// A peer that goes silent without closing is noticed within about ten seconds, idle or not.
void WatchPeer(Socket s)
{
    int on = 1;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
#ifdef _WIN32
    tcp_keepalive alive{1, 5000, 1000};
    DWORD returned = 0;
    (void)::WSAIoctl(s, SIO_KEEPALIVE_VALS, &alive, sizeof alive, nullptr, 0, &returned, nullptr, nullptr);
#else
    (void)::setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
#ifdef TCP_KEEPIDLE
    const int idle = 5, interval = 1, count = 5;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    (void)::setsockopt(s, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    (void)::setsockopt(s, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
#endif
#ifdef TCP_USER_TIMEOUT
    // Bytes sent and never acknowledged end the connection as soon.
    const unsigned int userTimeout = 10000;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
#endif
#endif
}

// Acknowledges what arrived at once. A server that leaves Nagle's algorithm on (ser2net does by
// default) holds the rest of a report until its first part is acknowledged, and a delayed
// acknowledgement would cost each reading 40 ms. Linux turns this off again by itself, so it is
// asked for after every receive.
void AcknowledgeAtOnce(Socket s)
{
#ifdef TCP_QUICKACK
    const int on = 1;
    (void)::setsockopt(s, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
#else
    (void)s;
#endif
}

int PollOne(Socket s, short events, int waitMs, short& revents)
{
    PollFd fd{};
    fd.fd = s;
    fd.events = events;
    const int ready = PollSockets(&fd, std::max(waitMs, 0));
    revents = ready > 0 ? fd.revents : 0;
    return ready;
}

// Connects to one address within the time left; the socket on success, else kNoSocket and `error`.
Socket ConnectTo(const addrinfo& address, Clock::time_point deadline, int& error)
{
    const Socket s = ::socket(address.ai_family, address.ai_socktype, address.ai_protocol);
    if (s == kNoSocket) {
        error = AsErrno(LastError());
        return kNoSocket;
    }
    if (!SetNonBlocking(s)) {
        error = AsErrno(LastError());
        CloseSocket(s);
        return kNoSocket;
    }
    if (::connect(s, address.ai_addr, int(address.ai_addrlen)) != 0) {
        const int started = LastError();
        if (!WouldBlock(started)) {
            error = AsErrno(started);
            CloseSocket(s);
            return kNoSocket;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        short revents = 0;
        if (left <= 0 || PollOne(s, POLLOUT, int(left), revents) <= 0) {
            error = NetworkPortName::NoAnswerError();
            CloseSocket(s);
            return kNoSocket;
        }
        int failure = 0;
        socklen_t length = sizeof failure;
        if (::getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&failure), &length) != 0 || failure != 0) {
            error = AsErrno(failure != 0 ? failure : LastError());
            CloseSocket(s);
            return kNoSocket;
        }
    }
    return s;
}

class NetworkDevice final : public PortDevice {
public:
    NetworkDevice(Socket s, bool telnet, int baud) : socket_(s), telnet_(telnet), baud_(baud), opened_(Clock::now())
    {
        if (telnet_) {
            out_ = client_.Start(baud);
            Flush();
        }
    }

    ~NetworkDevice() override
    {
        CloseSocket(socket_);
#ifdef _WIN32
        WSACleanup();
#endif
    }

    IoResult Write(const char* bytes, std::size_t length, int waitMs) override
    {
        if (!RateSettled(waitMs))
            return IoResult{};  // the handle sees a line that does not move yet, and comes back
        std::size_t taken = Take(bytes, length);
        if (fault_.fault == PortFault::None && taken == 0 && length > 0 && waitMs > 0) {
            short revents = 0;
            PollOne(socket_, POLLOUT, waitMs, revents);
            taken = Take(bytes, length);
        }
        return IoResult{taken, taken > 0 ? PortFault::None : fault_.fault, taken > 0 ? 0 : fault_.error};
    }

    IoResult Read(char* buffer, std::size_t count, int waitMs) override
    {
        bool waited = false;
        for (int receives = 0; in_.empty() && fault_.fault == PortFault::None && receives < kReceivesPerRead;) {
            Flush();
            if (Receive()) {
                ++receives;
                continue;
            }
            if (fault_.fault != PortFault::None || waited || waitMs <= 0)
                break;
            short revents = 0;
            PollOne(socket_, POLLIN, waitMs, revents);
            waited = true;
        }
        const std::size_t n = std::min(count, in_.size());
        std::copy_n(in_.begin(), n, buffer);
        in_.erase(in_.begin(), in_.begin() + std::ptrdiff_t(n));
        if (n == 0 && fault_.fault != PortFault::None)
            return IoResult{0, fault_.fault, fault_.error};
        return IoResult{n};
    }

    std::size_t OutputQueued() override
    {
        Flush();
        if (fault_.fault != PortFault::None)
            return 0;  // nothing more leaves; the handle learns why from HasHungUp()
        std::size_t queued = out_.size();
#if defined(__linux__) && defined(SIOCOUTQ)
        // Sent but not yet acknowledged by the server: not yet on its way to the scale.
        int unacknowledged = 0;
        if (::ioctl(socket_, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0)
            queued += std::size_t(unacknowledged);
#endif
        return queued;
    }

    void DiscardInput() override
    {
        in_.clear();
        std::size_t dropped = 0;
        while (dropped < kPurgeBytes && fault_.fault == PortFault::None && Receive()) {
            dropped += in_.size();
            in_.clear();
        }
        if (telnet_ && fault_.fault == PortFault::None) {
            out_ += Telnet::ComPortClient::PurgeServerInput();
            Flush();
        }
    }

    void DiscardOutput() override { out_.clear(); }

    bool HasHungUp() override
    {
        if (fault_.fault != PortFault::None)
            return true;
        short revents = 0;
        if (PollOne(socket_, POLLIN, 0, revents) <= 0)
            return false;
        if ((revents & (POLLERR | POLLHUP)) != 0)
            return true;
        char peek = 0;
        const auto n = ::recv(socket_, &peek, 1, MSG_PEEK);
        return n == 0 || (n < 0 && Lost(LastError()));
    }

    int Baud() const override { return telnet_ ? baud_ : 0; }

    std::string TakeNote() override
    {
        if (!telnet_)
            return {};
        for (std::string& note : client_.TakeNotes())
            notes_.push_back(std::move(note));
        if (!confirmNoted_ && !client_.LineConfirmed() && Clock::now() - opened_ >= kConfirmNoteAfter) {
            confirmNoted_ = true;
            notes_.push_back(Telnet::ComPortClient::kNoteUnconfirmed);
        }
        if (notes_.empty())
            return {};
        std::string note = std::move(notes_.front());
        notes_.pop_front();
        return note;
    }

private:
    // Whether the line's rate is settled for the scale's bytes; waits up to waitMs for the answer.
    bool RateSettled(int waitMs)
    {
        if (!telnet_ || rateSettled_)
            return true;
        for (bool waited = false;; waited = true) {
            Flush();
            while (fault_.fault == PortFault::None && in_.size() < kReceiveChunk && Receive()) {
            }
            rateSettled_ = client_.RateAnswered() || Clock::now() - opened_ >= kRateWait
                           || fault_.fault != PortFault::None;
            if (rateSettled_ || waited || waitMs <= 0)
                return rateSettled_;
            short revents = 0;
            PollOne(socket_, POLLIN, waitMs, revents);
        }
    }

    // Encodes what fits in the held output and sends what the socket takes; the input bytes taken.
    std::size_t Take(const char* bytes, std::size_t length)
    {
        Flush();
        if (fault_.fault != PortFault::None)
            return 0;
        std::size_t taken = 0;
        while (taken < length && out_.size() < kOutputHeld) {
            const std::size_t n = std::min(length - taken, kOutputHeld - out_.size());
            if (telnet_)
                Telnet::AppendData(out_, std::string_view(bytes + taken, n));
            else
                out_.append(bytes + taken, n);
            taken += n;
        }
        Flush();
        return taken;
    }

    void Flush()
    {
        while (!out_.empty() && fault_.fault == PortFault::None) {
            const auto n = ::send(socket_, out_.data(), int(std::min<std::size_t>(out_.size(), 1 << 16)), kSendFlags);
            if (n > 0) {
                out_.erase(0, std::size_t(n));
                continue;
            }
            const int error = LastError();
            if (!WouldBlock(error))
                Fail(error);
            return;
        }
    }

    // One receive, decoded into in_; false when nothing came (or the connection ended).
    bool Receive()
    {
        char raw[kReceiveChunk];
        const auto n = ::recv(socket_, raw, int(sizeof raw), 0);
        if (n > 0) {
            AcknowledgeAtOnce(socket_);
            if (telnet_) {
                std::string reply;
                std::string data;
                client_.Receive(std::string_view(raw, std::size_t(n)), data, reply);
                in_.insert(in_.end(), data.begin(), data.end());
                out_ += reply;
            } else {
                in_.insert(in_.end(), raw, raw + n);
            }
            return true;
        }
        if (n == 0)
            fault_ = IoResult{0, PortFault::HungUp, 0};
        else if (const int error = LastError(); !WouldBlock(error))
            Fail(error);
        return false;
    }

    void Fail(int error)
    {
        if (fault_.fault == PortFault::None)
            fault_ = IoResult{0, Lost(error) ? PortFault::HungUp : PortFault::IoError, AsErrno(error)};
    }

    Socket socket_;
    bool telnet_;
    int baud_;
    Clock::time_point opened_;
    Telnet::ComPortClient client_;
    std::string out_;
    std::deque<char> in_;
    IoResult fault_;
    std::deque<std::string> notes_;
    bool confirmNoted_ = false;
    bool rateSettled_ = false;
};

} // namespace

std::unique_ptr<PortDevice> OpenNetworkDevice(const std::string& name, int baud, int& error)
{
    const auto address = NetworkPortName::Parse(name);
    if (!address) {
        error = EINVAL;
        return nullptr;
    }
#ifdef _WIN32
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) {
        error = ENETDOWN;
        return nullptr;
    }
    struct Cleanup {
        bool armed = true;
        ~Cleanup() { if (armed) WSACleanup(); }
    } cleanup;
#endif
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(address->port);
    if (::getaddrinfo(address->host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
        error = NetworkPortName::UnknownHostError();
        return nullptr;
    }
    // Every address of the name shares the one bound, in the order the resolver gives them.
    const auto deadline = Clock::now() + std::chrono::milliseconds(kConnectBoundMs);
    Socket s = kNoSocket;
    error = NetworkPortName::NoAnswerError();
    for (const addrinfo* a = found; a != nullptr && s == kNoSocket && Clock::now() < deadline; a = a->ai_next)
        s = ConnectTo(*a, deadline, error);
    ::freeaddrinfo(found);
    if (s == kNoSocket)
        return nullptr;
    WatchPeer(s);
#ifdef _WIN32
    cleanup.armed = false;
#endif
    error = 0;
    return std::make_unique<NetworkDevice>(s, address->kind == NetworkPortName::Kind::Rfc2217, baud);
}

} // namespace SerialLink
