#include "link/SerialLink.h"

#include <algorithm>
#include <climits>

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
