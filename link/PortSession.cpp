#include "link/PortSession.h"

#include <cerrno>

using Clock = std::chrono::steady_clock;

PortSession::PortSession(Callbacks callbacks)
    : callbacks_(std::move(callbacks))
    , worker_(&PortSession::Run, this)
{
}

PortSession::~PortSession()
{
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        queue_.clear();
        waiting_ = 0;
    }
    stop_ = true;
    cycleStop_ = true;
    // A line held by the scale keeps the end no longer than a close.
    BoundIo();
    wake_.notify_all();
    worker_.join();
}

void PortSession::BoundIo()
{
    port_.SetIoDeadline(Clock::now() + std::chrono::milliseconds(SerialLink::kCloseDrainMs - kCloseMarginMs));
}

void PortSession::Queue(Request request, bool first)
{
    {
        std::lock_guard lock(mutex_);
        if (quit_)
            return;
        if (first)
            queue_.push_front(std::move(request));
        else
            queue_.push_back(std::move(request));
        ++waiting_;
    }
    wake_.notify_all();
}

void PortSession::Open(std::string name, int baud)
{
    Queue({.kind = Kind::Open, .name = std::move(name), .baud = baud});
}

void PortSession::Close()
{
    // The running job and the cycle see this at once; jobs asked for before still run, but a
    // line held by the scale (XOFF) keeps none of them, nor the close, past the close's bound.
    stop_ = true;
    cycleStop_ = true;
    BoundIo();
    Queue({.kind = Kind::Close});
}

void PortSession::Post(Job job)
{
    Queue({.kind = Kind::Job, .job = std::move(job)});
}

void PortSession::StartCycle(Cycle cycle)
{
    Queue({.kind = Kind::StartCycle, .cycle = std::move(cycle)});
}

void PortSession::StopCycle()
{
    cycleStop_ = true;
    Queue({.kind = Kind::StopCycle});
}

void PortSession::SetLineObserver(SerialLink::PortHandle::LineObserver observer)
{
    // Ahead of the waiting jobs: it is no exchange and should see as much as it can.
    Queue({.kind = Kind::Observer, .observer = std::move(observer)}, true);
}

bool PortSession::CycleStopped() const
{
    return stop_ || cycleStop_ || waiting_ > 0;
}

void PortSession::EndCycle()
{
    if (!cycle_)
        return;
    cycle_ = nullptr;
    if (callbacks_.cycleEnded)
        callbacks_.cycleEnded();
}

void PortSession::CheckFault()
{
    if (!open_)
        return;
    const SerialLink::PortFaultInfo fault = port_.Fault();
    if (fault.fault == SerialLink::PortFault::None)
        return;
    open_ = false;
    EndCycle();
    port_.Close();
    if (callbacks_.lost)
        callbacks_.lost(fault);
}

void PortSession::Carry(Request& request)
{
    const StopQuery jobStop = [this] { return stop_.load(); };
    switch (request.kind) {
    case Kind::Open: {
        EndCycle();
        errno = 0;
        const bool opened = SerialLink::OpenSerialPort(request.name, port_, request.baud) == 1;
        const int error = opened ? 0 : (errno != 0 ? errno : EINVAL);
        open_ = opened;
        if (callbacks_.opened)
            callbacks_.opened(error);
        break;
    }
    case Kind::Close:
        EndCycle();
        open_ = false;
        port_.Close();
        stop_ = false;
        if (callbacks_.closed)
            callbacks_.closed();
        break;
    case Kind::Job:
        if (request.job)
            request.job(port_, jobStop);
        CheckFault();
        break;
    case Kind::StartCycle:
        EndCycle();
        cycleStop_ = false;
        cycle_ = std::move(request.cycle);
        nextCycle_ = Clock::now();
        if (!open_)
            EndCycle();
        break;
    case Kind::StopCycle:
        EndCycle();
        break;
    case Kind::Observer:
        port_.SetLineObserver(std::move(request.observer));
        break;
    }
}

void PortSession::Run()
{
    const StopQuery cycleStop = [this] { return CycleStopped(); };
    auto nextCheck = Clock::now() + std::chrono::milliseconds(kIdleCheckMs);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (quit_)
            break;
        if (!queue_.empty()) {
            Request request = std::move(queue_.front());
            queue_.pop_front();
            --waiting_;
            lock.unlock();
            Carry(request);
            lock.lock();
            continue;
        }
        const auto now = Clock::now();
        if (cycle_ && open_ && now >= nextCycle_) {
            lock.unlock();
            const int pause = cycle_(port_, cycleStop);
            nextCycle_ = Clock::now() + std::chrono::milliseconds(pause > 0 ? pause : 0);
            CheckFault();
            lock.lock();
            continue;
        }
        if (open_ && now >= nextCheck) {
            lock.unlock();
            SerialLink::CheckLine(port_);
            CheckFault();
            nextCheck = Clock::now() + std::chrono::milliseconds(kIdleCheckMs);
            lock.lock();
            continue;
        }
        auto until = nextCheck;
        if (cycle_ && open_ && nextCycle_ < until)
            until = nextCycle_;
        if (open_)
            wake_.wait_until(lock, until);
        else
            wake_.wait(lock);
    }
    lock.unlock();
    // The owner is going: no more reports.
    cycle_ = nullptr;
    port_.Close();
}
