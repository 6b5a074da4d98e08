#include "link/ComPortName.h"

#include <algorithm>
#include <cctype>

namespace SerialLink {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view start)
{
    return text.size() >= start.size()
           && std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
                  return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
              });
}

} // namespace

std::optional<std::string> ComDevicePath(std::string_view name)
{
    if (StartsWithNoCase(name, "\\\\.\\"))
        name.remove_prefix(4);
    if (!StartsWithNoCase(name, "COM"))
        return std::nullopt;
    name.remove_prefix(3);
    if (!name.empty() && name.back() == ':')
        name.remove_suffix(1);
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (name.empty() || !std::all_of(name.begin(), name.end(), digit))
        return std::nullopt;
    // COM03 is COM3; there is no COM0.
    name.remove_prefix(std::min(name.find_first_not_of('0'), name.size()));
    if (name.empty() || name.size() > 9)
        return std::nullopt;
    return "\\\\.\\COM" + std::string(name);
}

} // namespace SerialLink
