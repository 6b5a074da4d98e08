#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class StopSignal;

// The only path to the scale: free functions over one port handle. Callers compare the counts
// they get back with what they asked for; nothing here throws or reports on its own.
namespace SerialLink {

// Which way bytes went on the line, for a line observer. Discarded: bytes that arrived and were
// thrown away unread by a purge (an answer that came too late). Note: not bytes but a sentence
// from the transport about the line (a network server that did not confirm its settings).
enum class LineDirection { Written, Read, Discarded, Note };

// Why a port stopped working. Recorded by the I/O calls on the handle; cleared by the next open.
enum class PortFault {
    None,
    Stalled,  // the line took nothing for LineProgress::kStallBound (a write or the drain)
    IoError,  // the system refused a read or a write (error says why)
    HungUp,   // the device went away (adapter pulled, the far side closed)
};

struct PortFaultInfo {
    PortFault fault = PortFault::None;
    int error = 0;  // errno of an IoError (on Windows the system error code), else 0
};

class PortDevice;

// Owner of an open port. One thread owns it and makes every call on it: a port session's worker,
// the command line, the scale finder. Nothing here is closed from another thread; an owner that
// must end work early raises its StopSignal, which reads look at while they wait.
class PortHandle {
public:
    PortHandle();
    ~PortHandle();
    PortHandle(const PortHandle&) = delete;
    PortHandle& operator=(const PortHandle&) = delete;

    bool IsOpen() const { return device_ != nullptr; }
    // Closes the port. Output still on its way gets its time on the wire while it moves; only
    // output that made no progress for the bound (a line held past it) is dropped. Nothing is
    // purged otherwise.
    void Close();

    // The first fault the I/O calls met since the port was opened; fault None while it works.
    PortFaultInfo Fault() const { return fault_; }
    // The reason of the last failed open (errno, or on Windows the system's error code).
    int OpenError() const { return openError_; }

    // The owner's signal: a read ends early once it says the port goes away. Null: reads run to
    // their limits. It must outlive the handle's use of it.
    void SetStopSignal(const StopSignal* stop) { stop_ = stop; }

    // Called with every write (the bytes that went out) and every read result (the bytes that
    // came in, possibly none), on the owner's thread. An empty function costs a null check per call.
    using LineObserver = std::function<void(LineDirection, std::string_view bytes)>;
    void SetLineObserver(LineObserver observer) { observer_ = std::move(observer); }
    // Told true once a write or the drain has waited on a held line for LineProgress::kHeldAfter,
    // and false once it moves again.
    using HoldObserver = std::function<void(bool held)>;
    void SetHoldObserver(HoldObserver observer) { holdObserver_ = std::move(observer); }

private:
    friend int OpenSerialPort(const std::string& name, PortHandle& handle, int baud);
    friend int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length);
    friend int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs);
    friend void Purge(PortHandle& handle);
    friend bool Drain(PortHandle& handle);
    friend bool CheckLine(PortHandle& handle);

    bool Stopping() const;
    void Observe(LineDirection direction, const char* bytes, std::size_t count) const
    {
        if (observer_)
            observer_(direction, std::string_view(bytes, count));
    }
    void ShowHold(bool held);
    // Passes the device's notes to the observer.
    void ObserveNotes();
    // Keeps the first fault; later ones are consequences of it.
    void NoteFault(PortFault fault, int error);
    // Waits while `unwritten` plus the driver's queue goes down; false once it stalled.
    bool WaitForLine(std::size_t unwritten);

    std::unique_ptr<PortDevice> device_;
    PortFaultInfo fault_;
    int openError_ = 0;
    bool held_ = false;
    const StopSignal* stop_ = nullptr;
    LineObserver observer_;
    HoldObserver holdObserver_;
};

// The system's serial ports, appended: on Windows the port names the registry records (COM3), in
// its order; elsewhere device paths such as /dev/ttyUSB0, in a stable order.
void ListSerialPorts(std::vector<std::string>& list);

// The name as the port list offers it: "COM" and ":" removed, the rest read as a number; 10 or more
// puts "\\.\" in front of the listed name, anything else leaves it unchanged.
std::string OfferedPortName(const std::string& listed);

// Closes what the handle still holds, opens and configures the port (raw, the given baud,
// 8N1, XON/XOFF both ways, DTR and RTS off, buffers purged). A name "rfc2217://HOST:PORT" or
// "socket://HOST:PORT" opens a network port (link/NetworkPort.h), any other a serial port. Returns 1 on success, 0 on failure
// (the handle's OpenError() says why); a failed open (a rate the platform refuses included) leaves
// nothing open. A device that is not a terminal (a pipe, a file) opens with what it has: no rate,
// no configuration, no purge. On Windows a COM port is named as ComDevicePath reads it (COM12,
// com3, \\.\COM12).
int OpenSerialPort(const std::string& name, PortHandle& handle, int baud);

// Writes all the bytes; returns the count handed to the driver, 0 on a closed handle. A line held
// by the scale (XOFF) is waited for while it makes progress; one that takes nothing for
// LineProgress::kStallBound ends the write short. A short count is recorded as the handle's fault.
// The bytes may still be queued by the driver when this returns: Drain() waits for them.
int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length);
int WriteText(PortHandle& handle, std::string_view text);

// Waits until what was written has left for the scale, bounded by progress as a write is. True
// when the queue is empty; false on a closed handle or when the line stalled (recorded as the
// handle's fault).
bool Drain(PortHandle& handle);

// How long a read that has bytes waits for the next one once its limit has passed.
inline constexpr int kInterByteGapMs = 50;

// Reads until `count` bytes are in or `limitMs` has passed with nothing arriving; returns the count
// read, or -1 when count <= 0. The buffer is not terminated. Once bytes are flowing the read goes on
// past the limit while each next byte follows within kInterByteGapMs, so a report that straddles
// the limit is not cut. A closed handle reads nothing and returns 0 at once; a stop signal that says
// the port goes away ends the read early with what it has. A read error or a hang-up is recorded as
// the handle's fault.
int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs);

// Discards what has arrived and not been read; the line observer sees it as Discarded. Bytes
// already written are never dropped: the driver may still hold them after the write returned.
void Purge(PortHandle& handle);

// Looks, without waiting, whether the device is still there; records a hang-up as the handle's
// fault. True while the port is open and working.
bool CheckLine(PortHandle& handle);

} // namespace SerialLink
