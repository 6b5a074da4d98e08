#pragma once

#include "link/SerialLink.h"
#include "link/WeightReport.h"

#include <functional>
#include <string>

// The weight reading cycle: purge what arrived unasked, ask the scale for a report (or wait for the
// one it sends by itself), decode it and hand the values out. A port session repeats it, pausing
// for the "Sleep" setting between cycles, so commands go out between two cycles.
namespace WeightReading {

struct Callbacks {
    // One value of a report; text is the value with blanks removed.
    std::function<void(WeightReport::Quantity quantity, const std::string& text)> valueRead;
    // The stable flag of an accepted framed report.
    std::function<void(bool stable)> stableRead;
};

// The limit of each report read.
inline constexpr int kReportLimitMs = 100;

// One cycle for `series`. activeReturn() is asked when the request is chosen and again when the
// 16-byte report is decoded (unchecked since: nothing is shown). A ZUD scale may answer with
// several reports back to back; they are read until a short read or until stop() says so.
void RunCycle(SerialLink::PortHandle& port, ScaleSeries series, const std::function<bool()>& activeReturn,
              const Callbacks& callbacks, const std::function<bool()>& stop);

} // namespace WeightReading
