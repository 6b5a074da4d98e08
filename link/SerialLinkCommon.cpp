#include "link/SerialLink.h"

#include "settings/LeadingInteger.h"

#include <algorithm>

// What the serial link does the same way on every platform.

namespace SerialLink {

void PortHandle::Close()
{
    std::lock_guard<std::mutex> serial(openClose_);
    CloseHeld();
}

PortFaultInfo PortHandle::Fault() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return fault_;
}

void PortHandle::SetLineObserver(LineObserver observer)
{
    observer_ = std::move(observer);
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
