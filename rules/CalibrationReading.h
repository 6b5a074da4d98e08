#pragma once

#include "link/SerialLink.h"

#include <string>
#include <string_view>
#include <vector>

// The lines a scale in calibration mode reports: the first letter names the value ("C" maximum
// capacity, "F" calibration weight, "W" current weight), the rest is shown as sent, spaces removed.
namespace CalibrationReading {

enum class Value { Maximum, CalibrationWeight, Weight };

struct Reading {
    Value value;
    std::string rest;  // what followed, every space and every copy of the letter removed
    bool operator==(const Reading&) const = default;
};

// The readings in the bytes of one read, in order. Each read stands alone: a line cut off at the
// end of a read is taken as it is, and its continuation in the next read (no letter in front) is
// ignored.
std::vector<Reading> Parse(std::string_view received);

// What the dialog shows for a reading, GBK: "最大:%s", "砝码:%s" or "重量:%s".
std::string DisplayText(const Reading& reading);

// One tick of the readings: a read of up to kTickBytes within kTickLimitMs, as received.
inline constexpr int kTickIntervalMs = 300;
inline constexpr int kTickBytes = 128;
inline constexpr int kTickLimitMs = 50;
std::string ReadBlock(SerialLink::PortHandle& port);

} // namespace CalibrationReading
