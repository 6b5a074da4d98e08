#include "link/SerialLink.h"

#include <algorithm>
#include <climits>

// What the serial link does the same way on every platform.

namespace SerialLink {
namespace {

// The number at the front of a text, read like atoi: leading blanks, a sign, digits; none gives 0.
long long LeadingNumber(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX)
            value = INT_MAX;
    }
    return negative ? -value : value;
}

} // namespace

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
    if (LeadingNumber(rest) >= 10)
        return "\\\\.\\" + listed;
    return listed;
}

} // namespace SerialLink
