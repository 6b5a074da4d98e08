#pragma once

#include <cstdint>
#include <string>

#include "sim/ScaleLine.h"

// The scale on a loopback TCP port, as a scale with a network port or a device server in raw mode
// offers it; the only line Windows has for it. Path() is socket://127.0.0.1:PORT with a port the
// system picks. One tool at a time: a newer connection replaces the one before, as a tool that
// reopens after a crash expects. Nothing of the line's rate or flow control crosses raw TCP: XOFF
// and XON go in-band like any byte, and the rate the tool chose cannot be told.
// Bridged, it connects instead to a bridge on 127.0.0.1 whose far end is a serial port, and Path()
// is that port's name; when the bridge goes, so does the line, until the next Open().
class TcpLine : public ScaleLine {
public:
    TcpLine() = default;
    TcpLine(std::string bridgedPort, int bridgeTcpPort)
        : bridgedPort_(std::move(bridgedPort)), bridgeTcpPort_(bridgeTcpPort) {}
    ~TcpLine() override { Close(); }

    bool Open(int baud) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    std::string Path() const override;

    Readiness Wait(bool read, bool write, int waitMs) override;
    void Wake() override;
    void Accept() override;
    long Read(char* buffer, std::size_t size) override;

private:
    Written WriteSome(const char* bytes, std::size_t size) override;
    void DropClient();
    bool Listen();
    bool Connect();

    // A socket handle on either platform (Winsock's SOCKET is an unsigned pointer-sized integer).
    using Handle = std::uintptr_t;
    static constexpr Handle kNone = ~Handle(0);

    Handle listener_ = kNone;
    Handle client_ = kNone;
    Handle wake_ = kNone;  // a datagram socket that sends itself a byte to end a wait
    bool started_ = false;  // the socket library is started (Windows)
    bool open_ = false;
    int port_ = 0;
    std::string bridgedPort_;
    int bridgeTcpPort_ = 0;
};
