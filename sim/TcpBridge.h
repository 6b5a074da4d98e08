#pragma once

#include <functional>
#include <memory>
#include <string>

// The virtual scale on a raw TCP port, as a scale with a network port or a device server in raw
// mode offers it: one client at a time, its bytes to the scale's line and the scale's bytes back.
// It listens on the loopback address only. The line is opened anew for each client at the rate
// the scale talks at, by the path `portPath` gives then (the scale may have been plugged in again).
class TcpBridge {
public:
    TcpBridge(std::function<std::string()> portPath, int baud);
    ~TcpBridge();  // stops listening and drops the client
    TcpBridge(const TcpBridge&) = delete;
    TcpBridge& operator=(const TcpBridge&) = delete;

    // Listens on 127.0.0.1:port (0: a port the system picks); false with errno set when it cannot.
    bool Listen(int port);
    int Port() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};
