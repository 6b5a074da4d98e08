#include "link/SerialLink.h"

#include "link/LineProgress.h"
#include "link/NetworkPort.h"
#include "link/NetworkPortName.h"
#include "link/PortDevice.h"
#include "link/StopSignal.h"

#include "settings/LeadingInteger.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <optional>
#include <thread>

// What the serial link does the same way on every platform and transport: the time bounds, the
// owner's stop, the observer and the faults. The devices only move bytes.

namespace SerialLink {

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// The longest one wait on the device lasts before the owner's signal and the line's progress are
// looked at again: a close or quit ends a read within it.
constexpr int kSliceMs = 50;
// How often the drain looks at the driver's queue.
constexpr int kDrainLookMs = 5;
// What a purge shows the observer at most; the rest is dropped unseen.
constexpr std::size_t kPurgeShownBytes = 4096;

int MillisUntil(Clock::time_point until, Clock::time_point now)
{
    if (until <= now)
        return 0;
    return int(std::min<long long>(std::chrono::ceil<Millis>(until - now).count(), kSliceMs));
}

} // namespace

PortHandle::PortHandle() = default;

PortHandle::~PortHandle()
{
    Close();
}

void PortHandle::Close()
{
    if (!device_)
        return;
    // Output that still moves gets its time on the wire; a line that already stalled is not
    // waited for again.
    if (fault_.fault == PortFault::Stalled || !WaitForLine(0))
        device_->DiscardOutput();
    ShowHold(false);
    device_.reset();
}

bool PortHandle::Stopping() const
{
    return stop_ != nullptr && stop_->EndsPort();
}

void PortHandle::ShowHold(bool held)
{
    if (held == held_)
        return;
    held_ = held;
    if (holdObserver_)
        holdObserver_(held);
}

void PortHandle::ObserveNotes()
{
    if (!observer_ || !device_)
        return;
    for (std::string note = device_->TakeNote(); !note.empty(); note = device_->TakeNote())
        observer_(LineDirection::Note, note);
}

void PortHandle::NoteFault(PortFault fault, int error)
{
    if (fault_.fault == PortFault::None && device_)
        fault_ = PortFaultInfo{fault, error};
}

bool PortHandle::WaitForLine(std::size_t unwritten)
{
    LineProgress progress(Clock::now());
    for (;;) {
        const std::size_t queued = device_->OutputQueued();
        const LineProgress::State state = progress.Sample(unwritten + queued, Clock::now());
        if (state == LineProgress::State::Empty || state == LineProgress::State::Stalled) {
            ShowHold(false);
            return state == LineProgress::State::Empty;
        }
        ShowHold(state == LineProgress::State::Held);
        std::this_thread::sleep_for(Millis(kDrainLookMs));
    }
}

int OpenSerialPort(const std::string& name, PortHandle& handle, int baud)
{
    handle.Close();
    handle.fault_ = PortFaultInfo{};
    int error = 0;
    handle.device_ = NetworkPortName::HasNetworkScheme(name) ? OpenNetworkDevice(name, baud, error)
                                                             : OpenDevice(name, baud, error);
    handle.openError_ = handle.device_ ? 0 : (error != 0 ? error : EINVAL);
    return handle.device_ ? 1 : 0;
}

int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length)
{
    if (!handle.device_ || length == 0 || bytes == nullptr)
        return 0;
    PortDevice& device = *handle.device_;
    const auto* data = static_cast<const char*>(bytes);
    // The clock is read only once the line makes the write wait; a write that goes straight out
    // costs the system calls alone.
    std::optional<LineProgress> progress;
    std::size_t written = 0;
    PortFaultInfo fault;
    while (written < length) {
        const IoResult result = device.Write(data + written, length - written, progress ? kSliceMs : 0);
        written += result.count;
        if (result.fault != PortFault::None) {
            fault = PortFaultInfo{result.fault, result.error};
            break;
        }
        if (written == length)
            break;
        const auto now = Clock::now();
        if (!progress)
            progress.emplace(now);
        const LineProgress::State state = progress->Sample(length - written + device.OutputQueued(), now);
        if (state == LineProgress::State::Stalled) {
            fault = PortFaultInfo{PortFault::Stalled, 0};
            break;
        }
        handle.ShowHold(state == LineProgress::State::Held);
    }
    handle.Observe(LineDirection::Written, data, written);
    handle.ObserveNotes();
    handle.ShowHold(false);
    if (written < length)
        handle.NoteFault(fault.fault, fault.error);
    return int(std::min<std::size_t>(written, INT_MAX));
}

int WriteText(PortHandle& handle, std::string_view text)
{
    return WriteBytes(handle, text.data(), text.size());
}

bool Drain(PortHandle& handle)
{
    if (!handle.device_)
        return false;
    if (!handle.WaitForLine(0)) {
        handle.NoteFault(PortFault::Stalled, 0);
        return false;
    }
    return CheckLine(handle);
}

int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs)
{
    if (count <= 0)
        return -1;
    if (buffer == nullptr || !handle.device_)
        return 0;
    PortDevice& device = *handle.device_;
    auto* data = static_cast<char*>(buffer);
    // The limit counts from the first wait (a read that finds its bytes waiting takes microseconds),
    // and the last byte's time is taken when the read finds no more.
    bool timed = false;
    Clock::time_point deadline;
    Clock::time_point lastByte;
    int receivedByLastByte = 0;
    int received = 0;
    int wait = 0;
    PortFaultInfo fault;
    while (received < count && !handle.Stopping()) {
        const IoResult result = device.Read(data + received, std::size_t(count - received),
                                            fault.fault == PortFault::None ? wait : 0);
        received += int(result.count);
        if (result.count > 0)
            continue;
        if (result.fault != PortFault::None && fault.fault == PortFault::None)
            fault = PortFaultInfo{result.fault, result.error};
        const auto now = Clock::now();
        if (!timed) {
            deadline = now + Millis(std::max(limitMs, 0));
            timed = true;
        }
        if (received != receivedByLastByte) {
            lastByte = now;
            receivedByLastByte = received;
        }
        const auto until = received > 0 ? std::max(deadline, lastByte + Millis(kInterByteGapMs)) : deadline;
        wait = MillisUntil(until, now);
        if (wait == 0)
            break;
        // Nothing more comes from a failed device: wait out the limit, so a caller that loops on a
        // dead port does not spin, but still end at once on the owner's stop.
        if (fault.fault != PortFault::None)
            std::this_thread::sleep_for(Millis(wait));
    }
    handle.Observe(LineDirection::Read, data, std::size_t(received));
    handle.ObserveNotes();
    if (fault.fault != PortFault::None && !handle.Stopping())
        handle.NoteFault(fault.fault, fault.error);
    return received;
}

void Purge(PortHandle& handle)
{
    if (!handle.device_)
        return;
    if (handle.observer_) {
        // An answer that came too late is what a line monitor is for: show it before it goes.
        std::array<char, 256> sink{};
        std::size_t shown = 0;
        while (shown < kPurgeShownBytes) {
            const IoResult result = handle.device_->Read(sink.data(), sink.size(), 0);
            if (result.count == 0)
                break;
            handle.Observe(LineDirection::Discarded, sink.data(), result.count);
            shown += result.count;
        }
    }
    handle.device_->DiscardInput();
}

bool CheckLine(PortHandle& handle)
{
    if (!handle.device_)
        return false;
    if (handle.device_->HasHungUp()) {
        handle.NoteFault(PortFault::HungUp, 0);
        return false;
    }
    return handle.fault_.fault == PortFault::None;
}

std::string OfferedPortName(const std::string& listed)
{
    std::string rest = listed;
    for (std::size_t at = rest.find("COM"); at != std::string::npos; at = rest.find("COM", at))
        rest.erase(at, 3);
    rest.erase(std::remove(rest.begin(), rest.end(), ':'), rest.end());
    if (LeadingInteger::Clamped(rest) >= 10)
        return "\\\\.\\" + listed;
    return listed;
}

} // namespace SerialLink
