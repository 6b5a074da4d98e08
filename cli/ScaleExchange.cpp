#include "cli/ScaleExchange.h"

#include "commodity/CommodityUpload.h"
#include "link/WeightReading.h"

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
    WeightReading::RunCycle(port, series, [] { return false; }, callbacks, [] { return false; });
    if (reading.fields.empty())
        return std::nullopt;
    return reading;
}

} // namespace ScaleExchange
