#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "link/ScaleCommandSet.h"

// The scale's end of a pseudo-terminal pair, and the bytes waiting to go out on it. The scale
// holds the tool's side open itself, so the tool can close and reopen Path() freely.
class PseudoTerminal {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    PseudoTerminal() = default;
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;
    ~PseudoTerminal() { Close(); }

    // Opens a new pair whose tool side starts raw at `baud`. False, with errno set, when no
    // pseudo-terminal can be had.
    bool Open(int baud);
    // Closes both sides, dropping what waits to go out: the tool's side hangs up (its reads end,
    // its writes fail). Path() stays what it was.
    void Close();
    bool IsOpen() const { return master_ >= 0; }
    int Master() const { return master_; }  // the scale's side, non-blocking
    const std::string& Path() const { return path_; }

    // Makes the tool's side obey XON/XOFF even before the tool opens it, so an XOFF sent now holds
    // the tool's first write (a tool opening the port keeps the line stopped until XON).
    void EnableToolFlowControl();
    // The rate the tool's side of the line is set to; 0 when it cannot be told.
    int ToolBaud() const;
    // True for the rates a line can be opened at.
    static bool HasRate(int baud);

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

private:
    struct Outgoing {
        TimePoint due;
        Bytes bytes;
    };

    int master_ = -1;
    int slave_ = -1;
    std::string path_;
    std::deque<Outgoing> output_;
    std::size_t frontWritten_ = 0;
    std::size_t backlog_ = 0;
    bool writeBlocked_ = false;
};

// What bytes sent at one rate look like to a receiver set to another: a faster receiver sees each
// byte as two, a slower one sees every other, and none of them is the byte that was sent. The
// noise keeps the high bit set, so it never forms a report or a command.
Bytes Garbled(const Bytes& bytes, bool receiverFaster);
