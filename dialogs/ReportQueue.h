#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

// Hands closures from worker threads to the thread this object lives on, where each runs in the
// order posted. The closures travel under a plain mutex, so every hand-over between the threads is
// one ThreadSanitizer can see; one queued wake-up, carrying nothing, runs everything queued by then.
class ReportQueue : public QObject {
    Q_OBJECT
public:
    explicit ReportQueue(QObject* parent = nullptr) : QObject(parent) {}

    // From any thread.
    void Post(std::function<void()> report);

private:
    Q_INVOKABLE void RunReports();

    std::mutex mutex_;
    std::deque<std::function<void()>> reports_;  // guarded by mutex_
};
