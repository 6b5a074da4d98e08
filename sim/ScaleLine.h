#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "link/ScaleCommandSet.h"

// The scale's end of the line the tool opens, and the bytes waiting to go out on it. A
// pseudo-terminal on POSIX, a loopback TCP port anywhere. One thread (the scale's worker) waits on
// it and reads; every other call is made under the scale's lock, by that thread or another.
class ScaleLine {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    ScaleLine() = default;
    ScaleLine(const ScaleLine&) = delete;
    ScaleLine& operator=(const ScaleLine&) = delete;
    virtual ~ScaleLine() = default;

    // Opens a new line whose tool side starts at `baud`. False, with errno set, when none can be had.
    virtual bool Open(int baud) = 0;
    // Closes the line, dropping what waits to go out: the tool's side hangs up (its reads end, its
    // writes fail). Path() stays what it was.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // What the tool opens: a device path, or socket://127.0.0.1:PORT.
    virtual std::string Path() const = 0;

    // Makes the tool's side obey XON/XOFF even before the tool opens it, so an XOFF sent now holds
    // the tool's first write. Nothing on a line whose far side the scale does not own.
    virtual void EnableToolFlowControl() {}
    // The rate the tool's side of the line is set to; 0 when it cannot be told (taken as matching).
    virtual int ToolBaud() const { return 0; }

    // What a wait saw: bytes (or a hang-up) to read, and whether the tool's side is gone.
    struct Readiness {
        bool readable = false;
        bool hungUp = false;
    };
    // The worker waits, without the lock, until the tool's side has something to read (when
    // `read`), takes bytes again (when `write`), Wake() is called, or waitMs passes (-1: no limit).
    virtual Readiness Wait(bool read, bool write, int waitMs) = 0;
    // Ends a Wait() at once; safe from any thread while the line is open.
    virtual void Wake() = 0;
    // Takes a tool that has just come (a new connection); nothing on a line that is always there.
    virtual void Accept() {}
    // Up to `size` bytes from the tool without waiting: the count, 0 when none, -1 when the far
    // side is not there to read from.
    virtual long Read(char* buffer, std::size_t size) = 0;

    // Queues bytes the scale sends at `lineBaud` to leave at `due`; a tool set to another rate
    // gets them as noise. Beyond what a line holds unread, bytes are dropped, like an overrun.
    void Send(Bytes bytes, TimePoint due, int lineBaud);
    // Writes what is due, in order, without blocking.
    void Flush(TimePoint now);
    void DropOutput();
    // The tool is not taking bytes: the scale waits until it can write again.
    bool WriteBlocked() const { return writeBlocked_; }
    // When the next bytes fall due; none while nothing waits or writing is blocked.
    std::optional<TimePoint> NextWrite() const;

protected:
    // What one non-blocking write to the tool's side did.
    struct Written {
        std::size_t count = 0;
        bool blocked = false;  // the tool takes nothing now
        bool failed = false;   // nobody to write to: what waits is dropped
    };
    virtual Written WriteSome(const char* bytes, std::size_t size) = 0;

private:
    struct Outgoing {
        TimePoint due;
        Bytes bytes;
    };

    std::deque<Outgoing> output_;
    std::size_t frontWritten_ = 0;
    std::size_t backlog_ = 0;
    bool writeBlocked_ = false;
};

// What bytes sent at one rate look like to a receiver set to another: a faster receiver sees each
// byte as two, a slower one sees every other, and none of them is the byte that was sent. The
// noise keeps the high bit set, so it never forms a report or a command.
Bytes Garbled(const Bytes& bytes, bool receiverFaster);
