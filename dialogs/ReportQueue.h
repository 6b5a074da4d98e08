#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class ReportQueue;

// A queue's address for workers that may outlive it (one on another window's port): what they
// post once the queue is gone, or closed by its owner, is dropped.
class ReportDrop {
public:
    explicit ReportDrop(ReportQueue* queue) : queue_(queue) {}
    // From any thread.
    void Post(std::function<void()> report);
    // On the queue's thread.
    void Close();

private:
    std::mutex mutex_;
    ReportQueue* queue_;  // guarded by mutex_
};

// Hands closures from worker threads to the thread this object lives on, where each runs in the
// order posted. The closures travel under a plain mutex, so every hand-over between the threads is
// one ThreadSanitizer can see; one queued wake-up, carrying nothing, runs everything queued by then.
class ReportQueue : public QObject {
    Q_OBJECT
public:
    explicit ReportQueue(QObject* parent = nullptr) : QObject(parent) {}
    ~ReportQueue() override { drop_->Close(); }

    // From any thread.
    void Post(std::function<void()> report);
    // For workers that may outlive the queue.
    std::shared_ptr<ReportDrop> Drop() const { return drop_; }

private:
    Q_INVOKABLE void RunReports();

    std::mutex mutex_;
    std::deque<std::function<void()>> reports_;  // guarded by mutex_
    std::shared_ptr<ReportDrop> drop_ = std::make_shared<ReportDrop>(this);
};
