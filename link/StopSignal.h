#pragma once

#include <atomic>

// Why work on a port ends early. One mechanism for every owner: a port session raises its reasons
// from any thread; the worker's exchanges ask between their steps, and reads ask while they wait.
enum class StopReason : unsigned {
    Close = 1u << 0,       // the port is being closed
    Quit = 1u << 1,        // the owner goes away
    Cancel = 1u << 2,      // the operator cancelled the exchange
    JobWaiting = 1u << 3,  // another exchange waits its turn (ends the reading cycle only)
};

class StopSignal {
public:
    // A signal may follow another: it is raised when either is (a job's cancel under its session's
    // close). The parent must outlive it.
    explicit StopSignal(const StopSignal* parent = nullptr) : parent_(parent) {}
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Raise(StopReason reason) { bits_.fetch_or(unsigned(reason)); }
    void Clear(StopReason reason) { bits_.fetch_and(~unsigned(reason)); }
    bool Has(StopReason reason) const { return (Bits() & unsigned(reason)) != 0; }

    // The port goes away: waits end, exchanges end after their current step.
    bool EndsPort() const { return (Bits() & (unsigned(StopReason::Close) | unsigned(StopReason::Quit))) != 0; }
    // An exchange ends early: the port goes away or the operator cancelled it.
    bool EndsExchange() const { return EndsPort() || Has(StopReason::Cancel); }
    // Any reason at all: what the reading cycle ends on.
    bool Raised() const { return Bits() != 0; }

private:
    unsigned Bits() const { return bits_.load() | (parent_ != nullptr ? parent_->Bits() : 0u); }

    std::atomic<unsigned> bits_{0};
    const StopSignal* parent_;
};
