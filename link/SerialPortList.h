#pragma once

#include <string>
#include <vector>

namespace SerialLink {

// Ports found under the given sysfs tty class folder and device folder, appended as device paths in
// natural order ("ttyS2" before "ttyS10"), each once: every tty with a device behind it in sysfs,
// plus ttyUSB*, ttyACM* and ttyS* nodes in the device folder; a ttyS slot whose sysfs type is 0
// (no UART fitted) is left out, and so is any name without a node in the device folder.
// ListSerialPorts(list) is this over /sys/class/tty and /dev.
void ListSerialPortsIn(const std::string& sysClassTty, const std::string& devDir, std::vector<std::string>& list);

} // namespace SerialLink
