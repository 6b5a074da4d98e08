#pragma once

// A real serial device server for network-port tests: ser2net started on 127.0.0.1 with a
// configuration written here, in front of a device path (the virtual scale's pseudo-terminal).
// One listener speaks Telnet with RFC 2217 and starts the line at `defaultBaud`; the other is raw
// TCP at `rawBaud`.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace LinkTest {

inline const char* Ser2netPath()
{
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net"}) {
        if (::access(path, X_OK) == 0)
            return path;
    }
    return nullptr;
}

inline sockaddr_in Loopback(int port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    return address;
}

// A server of the test's own on a loopback port the system picks, listening with `backlog`, that
// accepts only when told to.
class LoopbackListener {
public:
    explicit LoopbackListener(int backlog = 1) : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address = Loopback(0);
        socklen_t length = sizeof address;
        if (::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(socket_, backlog) == 0
            && ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~LoopbackListener() { ::close(socket_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int Port() const { return port_; }  // 0 when it could not listen
    int Accept() const { return ::accept(socket_, nullptr, nullptr); }

private:
    int socket_;
    int port_ = 0;
};

// A loopback port nothing listens on now (the system picks it).
inline int FreePort()
{
    return LoopbackListener().Port();
}

// Whether something listens on 127.0.0.1:`port`, read from the system's socket table: a test
// connection would make ser2net open the device and restore its line settings some time after
// the test's own connection has set them.
inline bool Listens(int port)
{
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", unsigned(port));
    std::string line;
    while (std::getline(table, line)) {
        char local[64] = {};
        char remote[64] = {};
        unsigned state = 0;
        if (std::sscanf(line.c_str(), " %*d: %63s %63s %x", local, remote, &state) == 3 && state == 0x0A
            && std::string(local) == wanted)
            return true;
    }
    return false;
}

class Ser2net {
public:
    ~Ser2net()
    {
        Kill();
        RemoveFiles();
    }

    // Starts the server in front of `device`; false when it does not listen within 5 s. With
    // `charDelay` (ser2net's default) the server gathers the line's bytes for a moment before it
    // sends them on; without it each read of the line goes out at once.
    bool Start(const std::string& device, int defaultBaud, int rawBaud, bool charDelay = true)
    {
        const char* program = Ser2netPath();
        if (program == nullptr)
            return false;
        for (int attempt = 0; attempt < 3; ++attempt) {
            telnetPort_ = FreePort();
            rawPort_ = FreePort();
            if (telnetPort_ == 0 || rawPort_ == telnetPort_)
                continue;
            RemoveFiles();
            char folder[] = "/tmp/ser2net-test-XXXXXX";
            if (::mkdtemp(folder) == nullptr)
                return false;
            folder_ = folder;
            config_ = folder_ + "/ser2net.yaml";
            std::ofstream(config_) << "connection: &rfc2217\n"
                                   << "    accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_ << "\n"
                                   << "    connector: serialdev," << device << "," << defaultBaud << "n81,local\n"
                                   << "    options:\n      kickolduser: true\n"
                                   << "      chardelay: " << (charDelay ? "true" : "false") << "\n"
                                   << "connection: &raw\n"
                                   << "    accepter: tcp,127.0.0.1," << rawPort_ << "\n"
                                   << "    connector: serialdev," << device << "," << rawBaud << "n81,local\n"
                                   << "    options:\n      kickolduser: true\n";
            const std::string pidFile = folder_ + "/pid";
            const char* argv[] = {program, "-n", "-d", "-c", config_.c_str(), "-P", pidFile.c_str(), nullptr};
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
            const int spawned = ::posix_spawn(&pid_, program, &actions, nullptr, const_cast<char**>(argv), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0) {
                pid_ = -1;
                return false;
            }
            for (int wait = 0; wait < 100; ++wait) {
                if (Listens(telnetPort_) && Listens(rawPort_))
                    return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            Kill();
        }
        return false;
    }

    // The server dies without closing anything itself (the system closes its connections).
    void Kill()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    std::string Rfc2217Name() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_); }
    std::string RawName() const { return "socket://127.0.0.1:" + std::to_string(rawPort_); }

private:
    void RemoveFiles()
    {
        if (folder_.empty())
            return;
        ::unlink(config_.c_str());
        ::unlink((folder_ + "/pid").c_str());
        ::rmdir(folder_.c_str());
        folder_.clear();
    }

    pid_t pid_ = -1;
    std::string folder_;
    int telnetPort_ = 0;
    int rawPort_ = 0;
    std::string config_;
};

} // namespace LinkTest
