#include "cli/ScaleExchange.h"

#include "link/WeightReading.h"

#include <chrono>

namespace ScaleExchange {

std::optional<Reading> ReadWeightOnce(SerialLink::PortHandle& port, ScaleSeries series)
{
    Reading reading;
    WeightReading::Callbacks callbacks;
    callbacks.valueRead = [&reading](WeightReport::Quantity quantity, const std::string& text) {
        reading.fields.push_back({quantity, text});
    };
    callbacks.stableRead = [&reading](bool stable) { reading.stable = stable; };
    // A ZUD scale that sends without pausing would keep one cycle reading: a reading ends after a
    // second, as a report comes many times a second.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    WeightReading::RunCycle(port, series, [] { return false; }, callbacks,
                            [until] { return std::chrono::steady_clock::now() >= until; });
    if (reading.fields.empty())
        return std::nullopt;
    return reading;
}

} // namespace ScaleExchange
