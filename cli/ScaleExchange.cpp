#include "cli/ScaleExchange.h"

#include "commodity/CommodityUpload.h"
#include "link/WeightReading.h"

#include <chrono>

namespace ScaleExchange {

std::size_t SendWrites(SerialLink::PortHandle& port, const std::vector<Bytes>& writes,
                       const std::function<void(std::size_t sent)>& sent)
{
    std::size_t done = 0;
    SendUploadBlock(port, writes, [] { return false; }, [&](int count) {
        done = std::size_t(count);
        if (sent)
            sent(done);
    });
    return done;
}

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
