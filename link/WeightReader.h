#pragma once

#include "link/SerialLink.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// The weight reader: one worker thread that polls the scale (or waits for its own reports), decodes
// each report and hands the values out, pauses for the "Sleep" setting, and repeats until stopped.
// At most one thread runs per reader; Start() after a stop joins the old thread first.
class WeightReader {
public:
    // Called on the reader's thread; the GUI forwards them to its own thread (queued), so the
    // reader never waits for a busy window. Empty callbacks are skipped. A callback must not call
    // Start() or Stop() of its own reader.
    struct Callbacks {
        // fieldId is 1016, 1018 or 1020; text is the value with blanks removed.
        std::function<void(int fieldId, const std::string& text)> showField;
        // Stable flag of an accepted framed report: 1 stable, 0 unstable.
        std::function<void(int stable)> setStable;
        // The lamp is shown while reading runs for the framed series that has it.
        std::function<void(bool visible)> showLamp;
        // The loop has ended (enable "Read Parameter", uncheck "Automatic reading").
        std::function<void()> finished;
    };

    // Pause while the port is closed, and the limit of each report read.
    static constexpr int kClosedPortPauseMs = 20;
    static constexpr int kReportLimitMs = 100;

    // The dialog's shared values are read at each use: the current series, the state of the
    // "Active return" box, and the pause in milliseconds (the "Sleep" setting, read every cycle on
    // the reader's thread; negative pauses count as 0). All must outlive the reader.
    WeightReader(SerialLink::PortHandle& port, const std::atomic<int>& series, const std::atomic<bool>& activeReturn,
                 std::function<int()> sleepMs, Callbacks callbacks);
    ~WeightReader();  // stops and joins
    WeightReader(const WeightReader&) = delete;
    WeightReader& operator=(const WeightReader&) = delete;

    // Starts reading; a reader that is still running (or stopping) is stopped and joined first.
    void Start();
    // Sets the stop flag and wakes the pause at once; does not wait.
    void RequestStop();
    // RequestStop() and join: afterwards the thread no longer touches the port.
    void Stop();
    // True from Start() until the loop has ended (just before `finished`).
    bool IsRunning() const;

private:
    void Run();
    bool StopRequested() const;
    // Pauses up to ms; returns early (false) when a stop was requested.
    bool Pause(int ms);

    SerialLink::PortHandle& port_;
    const std::atomic<int>& series_;
    const std::atomic<bool>& activeReturn_;
    std::function<int()> sleepMs_;
    Callbacks callbacks_;

    std::mutex controlMutex_;  // serialises Start() and Stop(), which own thread_
    std::thread thread_;
    std::atomic<bool> running_{false};
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool stopRequested_ = false;  // guarded by mutex_
};
