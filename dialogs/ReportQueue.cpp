#include "dialogs/ReportQueue.h"

#include <utility>

void ReportQueue::Post(std::function<void()> report)
{
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        wake = reports_.empty();
        reports_.push_back(std::move(report));
    }
    if (wake)
        QMetaObject::invokeMethod(this, "RunReports", Qt::QueuedConnection);
}

void ReportQueue::RunReports()
{
    // One at a time from the front: a report that runs the event loop (a modal window) and so
    // runs this again continues with the reports queued before later ones, never ahead of them.
    for (;;) {
        std::function<void()> report;
        {
            std::lock_guard lock(mutex_);
            if (reports_.empty())
                return;
            report = std::move(reports_.front());
            reports_.pop_front();
        }
        report();
    }
}

void ReportDrop::Post(std::function<void()> report)
{
    std::lock_guard lock(mutex_);
    if (queue_ != nullptr)
        queue_->Post(std::move(report));
}

void ReportDrop::Close()
{
    std::lock_guard lock(mutex_);
    queue_ = nullptr;
}
