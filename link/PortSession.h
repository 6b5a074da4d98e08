#pragma once

#include "link/SerialLink.h"
#include "link/StopSignal.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

using LineDirection = SerialLink::LineDirection;

// The one owner of a serial port. One worker thread holds the port handle from open to close and
// runs every exchange on it as a job, one at a time, in the order asked; nothing else touches the
// port. Nothing here waits for the worker except the destructor. Work ends early by one StopSignal.
//
// Jobs and the reading cycle are plain functions over the handle. Between two jobs the worker
// looks at the handle's fault: a stalled line, an I/O error or a hang-up ends the session (reported
// once through `lost`, then the port is closed and the cycle stopped). While the port is open and
// nothing runs the worker looks every kIdleCheckMs whether the device is still there.
//
// Callbacks and jobs run on the worker thread; a GUI forwards what they report to its own thread.
class PortSession {
public:
    // Jobs see the session's signal: it says when the port goes away (a close, the owner's end),
    // and a job ends after its current step then. The reading cycle's signal also says when it was
    // stopped or a job waits its turn.
    using Job = std::function<void(SerialLink::PortHandle& port, const StopSignal& stop)>;
    // One reading cycle; returns the pause in milliseconds before the next one.
    using Cycle = std::function<int(SerialLink::PortHandle& port, const StopSignal& stop)>;

    struct Callbacks {
        // The result of Open(): 0 when the port is open, else the reason of the failed open.
        std::function<void(int error)> opened;
        // The port was closed by Close().
        std::function<void()> closed;
        // The port failed; once per loss, before the port is closed.
        std::function<void(SerialLink::PortFaultInfo fault)> lost;
        // The reading cycle has ended (stopped, or the port closed or lost).
        std::function<void()> cycleEnded;
        // Output waits on a line held by the scale (true), or moves again (false).
        std::function<void(bool held)> held;
    };

    static constexpr int kIdleCheckMs = 200;

    explicit PortSession(Callbacks callbacks = {});
    // Asks the running job to end, drops the jobs still waiting, closes the port (output still
    // moving is waited for, bounded by its progress) and joins.
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Each call below only queues its request and returns at once.
    // Opens (or reopens) the named port; reports through `opened`.
    void Open(std::string name, int baud);
    // Ends the cycle and the running job early, lets the jobs asked for before run (they see the
    // close and end after their current step), closes the port once its output has left and
    // reports `closed`.
    void Close();
    // Runs `job` after everything asked for before. It runs even when the port is closed by then
    // (the link's calls then do nothing), so a job always comes to its end and can report it. What
    // it wrote has left the port before the next request runs.
    void Post(Job job);
    // Repeats `cycle` while the port is open and no job waits, pausing as each cycle says. A
    // cycle started while the port is closed ends at once.
    void StartCycle(Cycle cycle);
    // Ends the cycle after its current read; `cycleEnded` follows.
    void StopCycle();

    // LINE TAP: `observer` sees every write (the bytes that went out) and every read result (the
    // bytes that came in, possibly none), one call each, on the worker, from the next exchange on.
    // Pass an empty function to remove it; without one each I/O call pays a null check only.
    void SetLineObserver(SerialLink::PortHandle::LineObserver observer);

private:
    enum class Kind { Open, Close, Job, StartCycle, StopCycle, Observer };
    // Each kind fills only the fields it needs.
    struct Request {
        Kind kind;
        Job job{};
        Cycle cycle{};
        std::string name{};
        int baud = 0;
        SerialLink::PortHandle::LineObserver observer{};
    };

    void Queue(Request request, bool first = false);
    void Run();
    void Carry(Request& request);
    void EndCycle();
    // After each exchange: a fault ends the session.
    void CheckFault();

    Callbacks callbacks_;
    StopSignal stop_;                // Close, Quit
    StopSignal cycleStop_{&stop_};   // also Cancel (StopCycle) and JobWaiting
    SerialLink::PortHandle port_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> queue_;  // guarded by mutex_
    bool quit_ = false;          // guarded by mutex_

    // Worker only.
    bool open_ = false;
    Cycle cycle_;
    std::chrono::steady_clock::time_point nextCycle_;

    std::thread worker_;  // last: starts once everything above exists
};
