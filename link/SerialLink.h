#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// The only path to the scale: free functions over one port handle. Callers compare the counts
// they get back with what they asked for; nothing here throws or reports on its own.
namespace SerialLink {

// Which way bytes went on the line, for a line observer.
enum class LineDirection { Written, Read };

// Why a port stopped working. Recorded by the I/O calls on the handle; cleared by the next open.
enum class PortFault {
    None,
    ShortWrite,  // a write ended with fewer bytes out than asked (a line held past its bound)
    IoError,     // the system refused a read or a write (errno says why)
    HungUp,      // the device went away (adapter pulled, the far side closed)
};

struct PortFaultInfo {
    PortFault fault = PortFault::None;
    int error = 0;  // errno of an IoError (on Windows the system error code), else 0
};

// Owner of an open port's descriptor. A port session holds one and makes its calls on its worker;
// the command line and the scale finder hold their own.
// The descriptor is never used after it is closed: every I/O call claims it while it uses it
// (PortUse), and Close() refuses new claims, wakes the calls in progress and waits for them.
class PortHandle {
public:
    PortHandle();
    ~PortHandle();
    PortHandle(const PortHandle&) = delete;
    PortHandle& operator=(const PortHandle&) = delete;

    bool IsOpen() const;
    // Closes the port; returns once no call uses the descriptor any more. Nothing is purged.
    // Output still queued gets its time on the wire, at most kCloseDrainMs; what a held line
    // (XOFF) keeps after that is dropped.
    void Close();

    // Thread-safe: writes held by the line (XOFF) and the next close's drain end by `deadline`
    // instead of their own bounds, without a fault. Cleared by the next open or close.
    void SetIoDeadline(std::chrono::steady_clock::time_point deadline);

    // The first fault the I/O calls met since the port was opened; fault None while it works.
    PortFaultInfo Fault() const;

    // Called with every write (the bytes that went out) and every read result (the bytes that
    // came in, possibly none), on the thread doing the I/O. Set it only while no I/O call runs or
    // from the thread that makes them; an empty function costs a null check per call.
    using LineObserver = std::function<void(LineDirection, std::string_view bytes)>;
    void SetLineObserver(LineObserver observer);

private:
    friend class PortUse;
    friend int OpenSerialPort(const std::string& name, PortHandle& handle, int baud);
    friend int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length);
    friend int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs);
    friend void Purge(PortHandle& handle);
    friend bool CheckLine(PortHandle& handle);
#ifdef _WIN32
    friend void CancelIoOnDeadline(PortHandle& handle);
#endif

    // The open port as an I/O call uses it; copied under mutex_ when the call starts (PortUse).
    struct Device {
#ifdef _WIN32
        void* handle = nullptr;   // the port's HANDLE; null while closed
        bool comPort = false;     // configured as a COM port (a device of another name is not)
        bool IsOpen() const { return handle != nullptr; }
#else
        int fd = -1;
        int baud = 0;             // 0 for a device that is not a terminal
        bool terminal = false;
        bool IsOpen() const { return fd >= 0; }
#endif
    };

    // Close() with openClose_ already held.
    void CloseHeld();
    // The platform's parts of a close: ending the waits of calls in progress (under mutex_),
    // undoing that once they are gone, and closing the device itself (outside the lock).
    void WakeUses();
    void ResetWake();
    void CloseDevice(const Device& closed);
    // What WriteBytes(), ReadBytes(), Purge() and CheckLine() do to the device on this platform,
    // once the call has its claim on the port.
    int WriteDevice(const Device& device, const void* bytes, std::size_t length);
    int ReadDevice(const Device& device, void* buffer, int count, int limitMs);
    static void PurgeInput(const Device& device);
    static bool HasHungUp(const Device& device);
    // The end of every read: shows the bytes to the observer and records a fault of the line (not
    // one caused by the close); returns the count read.
    int EndRead(const void* data, int received, PortFault fault, int error, bool closing);
    // Keeps the first fault; later ones are consequences of it.
    void NoteFault(PortFault fault, int error);
    void Observe(LineDirection direction, const void* bytes, int count) const
    {
        if (observer_)
            observer_(direction, std::string_view(static_cast<const char*>(bytes), std::size_t(count > 0 ? count : 0)));
    }

    std::mutex openClose_;        // one open or close at a time
    mutable std::mutex mutex_;    // guards everything below
    std::condition_variable idle_;
    Device device_;
    bool closing_ = false;        // Close() in progress: no new I/O call may start
    int usesInProgress_ = 0;
    // Made with the handle and kept until it goes, so I/O calls read them without the lock.
#ifdef _WIN32
    void* wake_ = nullptr;        // event set while the port closes: ends the pauses of a read
    void* deadlineTimer_ = nullptr;  // cancels a held write at the deadline (writes have no time-out)
#else
    int wakeRead_ = -1;           // self-pipe that wakes waits in progress when the port closes
    int wakeWrite_ = -1;
#endif
    PortFaultInfo fault_;         // guarded by mutex_
    std::atomic<std::chrono::steady_clock::rep> deadline_{0};  // 0: none
    LineObserver observer_;       // owned by the I/O thread
};

// The longest a close waits for queued output (a held line) before dropping it.
inline constexpr int kCloseDrainMs = 2000;

// The system's serial ports, appended: on Windows the port names the registry records (COM3), in
// its order; elsewhere device paths such as /dev/ttyUSB0, in a stable order.
void ListSerialPorts(std::vector<std::string>& list);

// The name as the port list offers it: "COM" and ":" removed, the rest read as a number; 10 or more
// puts "\\.\" in front of the listed name, anything else leaves it unchanged.
std::string OfferedPortName(const std::string& listed);

// Closes what the handle still holds, opens and configures the port (raw, the given baud,
// 8N1, XON/XOFF both ways, DTR and RTS off, buffers purged). Returns 1 on success, 0 on failure;
// a failed open (a rate the platform refuses included) leaves nothing open. A device that is not a
// terminal (a pipe, a file) opens with what it has: no rate, no configuration, no purge. On Windows
// that is a name without "COM" in it.
int OpenSerialPort(const std::string& name, PortHandle& handle, int baud);

// Writes the bytes in one call; returns the count written, 0 on a closed handle or a failure.
// A write held up by the scale's XOFF ends after a generous time bound with what was written.
// (On Windows the port has no write time-out: a held write lasts until XON, the deadline or a close.)
// A short count on an open port (not one that is closing) is recorded as the handle's fault.
int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length);
int WriteText(PortHandle& handle, std::string_view text);

// How long a read that has bytes waits for the next one once its limit has passed.
inline constexpr int kInterByteGapMs = 50;

// Reads until `count` bytes are in or `limitMs` has passed with nothing arriving; returns the count
// read, or -1 when count <= 0. The buffer is not terminated. Once bytes are flowing the read goes on
// past the limit while each next byte follows within kInterByteGapMs, so a report that straddles
// the limit is not cut. A closed handle reads nothing and returns 0 at once. A read error or a
// hang-up is recorded as the handle's fault.
int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs);

// Discards what has arrived and not been read (nothing on a device that is not a terminal). Bytes
// already written are never dropped: the driver may still hold them after the write returned.
void Purge(PortHandle& handle);

// Looks, without waiting, whether the device is still there; records a hang-up as the handle's
// fault. True while the port is open and working.
bool CheckLine(PortHandle& handle);

} // namespace SerialLink
