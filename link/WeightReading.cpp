#include "link/WeightReading.h"

#include "link/ScaleCommandSet.h"
#include "link/WeightReport.h"

#include <array>
#include <string_view>
#include <vector>

namespace WeightReading {

void RunCycle(SerialLink::PortHandle& port, ScaleSeries series, const std::function<bool()>& activeReturn,
              const Callbacks& callbacks, const std::function<bool()>& stop)
{
    // Big enough for the longest report a scale sends; cleared before each read.
    std::array<char, 37> buffer{};
    const auto received = [&buffer](int count) { return std::string_view(buffer.data(), std::size_t(count)); };
    const auto show = [&callbacks](const std::vector<WeightReport::FieldValue>& fields) {
        if (callbacks.valueRead) {
            for (const WeightReport::FieldValue& field : fields)
                callbacks.valueRead(field.quantity, field.text);
        }
    };

    SerialLink::Purge(port);
    const bool active = activeReturn();
    const Bytes request = ScaleCommandSet::ReadWeight(series, active);
    const int length = ScaleCommandSet::WeightReportLength(series, active);
    if (!request.empty()
        && SerialLink::WriteBytes(port, request.data(), request.size()) != int(request.size()))
        return;

    buffer.fill(0);
    if (SerialLink::ReadBytes(port, buffer.data(), length, kReportLimitMs) != length)
        return;
    const auto result = WeightReport::DecodeCycleReport(series, length, activeReturn(), received(length));
    if (result.stable && callbacks.stableRead)
        callbacks.stableRead(*result.stable);
    show(result.fields);
    // A scale that never pauses would keep this going, so a stop ends it too.
    if (series == ScaleSeries::Zud) {
        while (!stop()) {
            buffer.fill(0);
            if (SerialLink::ReadBytes(port, buffer.data(), length, kReportLimitMs) != length)
                break;
            show(WeightReport::DecodeZud(received(length)));
        }
    }
}

} // namespace WeightReading
