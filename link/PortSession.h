#pragma once

#include "link/SerialLink.h"

#include <atomic>
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
// port. Nothing here waits for the worker except the destructor.
//
// Jobs and the reading cycle are plain functions over the handle. Between two jobs the worker
// looks at the handle's fault: a short write, an I/O error or a hang-up ends the session (the port
// is closed, the cycle stopped) and is reported once through `lost`. While the port is open and
// nothing runs the worker looks every kIdleCheckMs whether the device is still there.
//
// Callbacks and jobs run on the worker thread; a GUI forwards what they report to its own thread.
class PortSession {
public:
    // Answers true once the running job should end early: a close or the session's end was asked
    // for (for the reading cycle also: it was stopped, or a job is waiting its turn).
    using StopQuery = std::function<bool()>;
    using Job = std::function<void(SerialLink::PortHandle& port, const StopQuery& stop)>;
    // One reading cycle; returns the pause in milliseconds before the next one.
    using Cycle = std::function<int(SerialLink::PortHandle& port, const StopQuery& stop)>;

    struct Callbacks {
        // The result of Open(): 0 when the port is open, else the errno of the failed open.
        std::function<void(int error)> opened;
        // The port was closed by Close().
        std::function<void()> closed;
        // The port failed and has been closed; once per loss.
        std::function<void(SerialLink::PortFaultInfo fault)> lost;
        // The reading cycle has ended (stopped, or the port closed or lost).
        std::function<void()> cycleEnded;
    };

    static constexpr int kIdleCheckMs = 200;
    // Kept from the close's bound for the work around the drain.
    static constexpr int kCloseMarginMs = 100;

    explicit PortSession(Callbacks callbacks = {});
    // Asks the running job to end, drops the jobs still waiting, closes the port and joins.
    ~PortSession();
    PortSession(const PortSession&) = delete;
    PortSession& operator=(const PortSession&) = delete;

    // Each call below only queues its request and returns at once.
    // Opens (or reopens) the named port; reports through `opened`.
    void Open(std::string name, int baud);
    // Ends the cycle and the running job early, lets the jobs asked for before run, closes the
    // port (a held line delays that by at most SerialLink::kCloseDrainMs) and reports `closed`.
    void Close();
    // Runs `job` after everything asked for before. It runs even when the port is closed by then
    // (the link's calls then do nothing), so a job always comes to its end and can report it.
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
    // Holds writes and the close's drain to the close's bound (a line held by the scale).
    void BoundIo();
    void Run();
    void Carry(Request& request);
    void EndCycle();
    // After each exchange: a fault ends the session.
    void CheckFault();
    bool CycleStopped() const;

    Callbacks callbacks_;
    SerialLink::PortHandle port_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> queue_;  // guarded by mutex_
    bool quit_ = false;          // guarded by mutex_
    std::atomic<bool> stop_{false};        // ends the running job early (close, destruction)
    std::atomic<bool> cycleStop_{false};   // ends the running cycle early
    std::atomic<int> waiting_{0};          // requests in the queue, read by the cycle's stop query

    // Worker only.
    bool open_ = false;
    Cycle cycle_;
    std::chrono::steady_clock::time_point nextCycle_;

    std::thread worker_;  // last: starts once everything above exists
};
