#pragma once

#include "link/SerialLink.h"

#include <cstddef>
#include <memory>
#include <string>

namespace SerialLink {

// What one call on a device did: how many bytes it moved, and why it failed if it did.
struct IoResult {
    std::size_t count = 0;
    PortFault fault = PortFault::None;
    int error = 0;  // the system's error code of an IoError or a HungUp, else 0
};

// One open port as its transport reaches it: a serial port of this platform, or a network port.
// Only the thread that owns the PortHandle calls it; the handle keeps the time bounds, the
// observer and the faults, so a transport only moves bytes and waits at most what it is told.
class PortDevice {
public:
    virtual ~PortDevice() = default;  // closes the device; the handle has drained its output first

    // Hands over as many bytes as the device takes within waitMs (0: what it takes at once).
    virtual IoResult Write(const char* bytes, std::size_t length, int waitMs) = 0;
    // What has arrived, up to `count` bytes; when nothing has, what arrives within waitMs.
    virtual IoResult Read(char* buffer, std::size_t count, int waitMs) = 0;
    // Bytes handed over by Write() that have not left for the scale yet.
    virtual std::size_t OutputQueued() = 0;
    // Drops what has arrived and not been read, and what is still queued to go out.
    virtual void DiscardInput() = 0;
    virtual void DiscardOutput() = 0;
    // True once the device is gone (adapter pulled, the far side closed); does not wait.
    virtual bool HasHungUp() = 0;
    // The line rate the device was configured with; 0 when it keeps its own.
    virtual int Baud() const = 0;
    // A note about the line for its monitor (a network server that did not confirm the line
    // settings), oldest first; empty when there is none.
    virtual std::string TakeNote() { return {}; }
};

// Opens the port named `name` at `baud` with the line set up for a scale (raw, 8N1, XON/XOFF both
// ways, modem lines off, input purged), on this platform's transport for that name. Null on
// failure, with `error` set to the reason (errno on POSIX, the system's error code on Windows).
std::unique_ptr<PortDevice> OpenDevice(const std::string& name, int baud, int& error);

} // namespace SerialLink
