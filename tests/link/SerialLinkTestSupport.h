#pragma once

// A pseudo-terminal pair for serial-link tests: the link opens the slave by its path like any
// serial port, the test plays the scale on the master. The test keeps a slave descriptor of its
// own open, so the pair lives until the test ends and the line settings can be inspected.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace LinkTest {

using Clock = std::chrono::steady_clock;

inline long long MillisSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master_ < 0)
            return;
        if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
            CloseMaster();
            return;
        }
        const char* name = ::ptsname(master_);
        if (name == nullptr) {
            CloseMaster();
            return;
        }
        path_ = name;
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (slave_ < 0) {
            CloseMaster();
            return;
        }
        // Raw from the start, so nothing written before the link opens is echoed back.
        termios raw {};
        ::tcgetattr(slave_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slave_, TCSANOW, &raw);
    }
    ~PseudoTerminal()
    {
        CloseMaster();
        if (slave_ >= 0)
            ::close(slave_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool Ok() const { return master_ >= 0 && slave_ >= 0; }
    const std::string& Path() const { return path_; }
    int Master() const { return master_; }
    int Slave() const { return slave_; }

    // The scale's side sends bytes to the tool.
    bool Send(const std::string& bytes) const
    {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // What the tool sent, up to `count` bytes, waiting at most `timeoutMs` for them.
    std::string Receive(std::size_t count, int timeoutMs) const
    {
        std::string got;
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.size() < count) {
            char chunk[4096];
            const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, count - got.size()));
            if (n > 0) {
                got.append(chunk, static_cast<std::size_t>(n));
                continue;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0)
                break;
            pollfd fd {master_, POLLIN, 0};
            if (::poll(&fd, 1, static_cast<int>(left)) <= 0)
                break;
        }
        return got;
    }

    // The scale unplugged: the tool's side of the pair hangs up.
    void CloseMaster()
    {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

} // namespace LinkTest
