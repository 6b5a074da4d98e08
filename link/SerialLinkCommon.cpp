#include "link/SerialLink.h"

#include "link/PortUse.h"

#include "settings/LeadingInteger.h"

#include <algorithm>

// What the serial link does the same way on every platform.

namespace SerialLink {

void PortHandle::Close()
{
    std::lock_guard<std::mutex> serial(openClose_);
    CloseHeld();
}

bool PortHandle::IsOpen() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return device_.IsOpen() && !closing_;
}

void PortHandle::CloseHeld()
{
    Device closed;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!device_.IsOpen())
            return;
        closing_ = true;
        if (usesInProgress_ > 0)
            WakeUses();
        idle_.wait(lock, [this] { return usesInProgress_ == 0; });
        ResetWake();
        closed = device_;
        device_ = Device{};
    }
    // Outside the lock: closing may wait for queued output. closing_ still refuses new calls, and
    // openClose_ keeps a new open out until the device is gone.
    CloseDevice(closed);
    deadline_ = 0;
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = false;
}

PortFaultInfo PortHandle::Fault() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fault_;
}

void PortHandle::NoteFault(PortFault fault, int error)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (fault_.fault == PortFault::None && device_.IsOpen() && !closing_)
        fault_ = PortFaultInfo{fault, error};
}

void PortHandle::SetLineObserver(LineObserver observer)
{
    observer_ = std::move(observer);
}

int PortHandle::EndRead(const void* data, int received, PortFault fault, int error, bool closing)
{
    Observe(LineDirection::Read, data, received);
    if (fault != PortFault::None && !closing)
        NoteFault(fault, error);
    return received;
}

int WriteBytes(PortHandle& handle, const void* bytes, std::size_t length)
{
    if (length == 0 || bytes == nullptr)
        return 0;
    PortUse use(handle);
    return use ? handle.WriteDevice(use.port, bytes, length) : 0;
}

int ReadBytes(PortHandle& handle, void* buffer, int count, int limitMs)
{
    if (count <= 0)
        return -1;
    if (buffer == nullptr)
        return 0;
    PortUse use(handle);
    return use ? handle.ReadDevice(use.port, buffer, count, limitMs) : 0;
}

void Purge(PortHandle& handle)
{
    if (PortUse use(handle); use)
        PortHandle::PurgeInput(use.port);
}

bool CheckLine(PortHandle& handle)
{
    PortUse use(handle);
    if (!use)
        return false;
    if (PortHandle::HasHungUp(use.port)) {
        handle.NoteFault(PortFault::HungUp, 0);
        return false;
    }
    return handle.Fault().fault == PortFault::None;
}

int WriteText(PortHandle& handle, std::string_view text)
{
    return WriteBytes(handle, text.data(), text.size());
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
