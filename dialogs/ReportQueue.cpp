#include "dialogs/ReportQueue.h"

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
    std::vector<std::function<void()>> reports;
    {
        std::lock_guard lock(mutex_);
        reports.swap(reports_);
    }
    for (const auto& report : reports)
        report();
}
