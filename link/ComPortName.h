#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace SerialLink {

// The device path Windows opens a COM port by, for a name as users type it or the registry lists
// it: "COM12", "com3", "COM3:" and "\\.\COM12" all name their port as "\\.\COM12" (from COM10 up
// only that form opens, and it opens COM1 too). Empty for a name that is no COM port (another
// driver's device, a file): that is opened as it is.
std::optional<std::string> ComDevicePath(std::string_view name);

} // namespace SerialLink
