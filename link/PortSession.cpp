#include "link/PortSession.h"

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
    }
    stop_.Raise(StopReason::Quit);
    wake_.notify_all();
    worker_.join();
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
        cycleStop_.Raise(StopReason::JobWaiting);
    }
    wake_.notify_all();
}

void PortSession::Open(std::string name, int baud)
{
    Queue({.kind = Kind::Open, .name = std::move(name), .baud = baud});
}

void PortSession::Close()
{
    // The running job and the cycle see this at once; jobs asked for before still run and end
    // after their current step. The close itself waits for output still moving.
    stop_.Raise(StopReason::Close);
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
    cycleStop_.Raise(StopReason::Cancel);
    Queue({.kind = Kind::StopCycle});
}

void PortSession::SetLineObserver(SerialLink::PortHandle::LineObserver observer)
{
    // Ahead of the waiting jobs: it is no exchange and should see as much as it can.
    Queue({.kind = Kind::Observer, .observer = std::move(observer)}, true);
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
    // Told before the close, which may still wait for output: the operator hears of it at once.
    if (callbacks_.lost)
        callbacks_.lost(fault);
    port_.Close();
}

void PortSession::Carry(Request& request)
{
    switch (request.kind) {
    case Kind::Open: {
        EndCycle();
        const bool opened = SerialLink::OpenSerialPort(request.name, port_, request.baud) == 1;
        open_ = opened;
        if (callbacks_.opened)
            callbacks_.opened(opened ? 0 : port_.OpenError());
        break;
    }
    case Kind::Close:
        EndCycle();
        open_ = false;
        port_.Close();
        stop_.Clear(StopReason::Close);
        if (callbacks_.closed)
            callbacks_.closed();
        break;
    case Kind::Job:
        if (request.job)
            request.job(port_, stop_);
        // A job is over once what it wrote has left.
        if (open_)
            SerialLink::Drain(port_);
        CheckFault();
        break;
    case Kind::StartCycle:
        EndCycle();
        cycleStop_.Clear(StopReason::Cancel);
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
    port_.SetStopSignal(&stop_);
    if (callbacks_.held)
        port_.SetHoldObserver(callbacks_.held);
    auto nextCheck = Clock::now() + std::chrono::milliseconds(kIdleCheckMs);
    std::unique_lock lock(mutex_);
    for (;;) {
        if (quit_)
            break;
        if (!queue_.empty()) {
            Request request = std::move(queue_.front());
            queue_.pop_front();
            if (queue_.empty())
                cycleStop_.Clear(StopReason::JobWaiting);
            lock.unlock();
            Carry(request);
            lock.lock();
            continue;
        }
        const auto now = Clock::now();
        if (cycle_ && open_ && now >= nextCycle_) {
            lock.unlock();
            const int pause = cycle_(port_, cycleStop_);
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
    // The owner is going: no more reports. Output still moving is waited for.
    cycle_ = nullptr;
    port_.SetHoldObserver(nullptr);
    port_.Close();
}
