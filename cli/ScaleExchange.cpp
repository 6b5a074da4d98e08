#include "cli/ScaleExchange.h"

#include "link/WeightReader.h"

#include <array>
#include <string_view>

namespace ScaleExchange {

std::size_t SendWrites(SerialLink::PortHandle& port, const std::vector<Bytes>& writes,
                       const std::function<void(std::size_t sent)>& sent)
{
    std::size_t done = 0;
    for (const Bytes& write : writes) {
        if (SerialLink::WriteBytes(port, write.data(), write.size()) != int(write.size()))
            break;
        ++done;
        if (sent)
            sent(done);
    }
    return done;
}

std::optional<Reading> ReadWeightOnce(SerialLink::PortHandle& port, int series)
{
    std::array<char, 37> buffer{};
    SerialLink::Purge(port);
    const Bytes request = ScaleCommandSet::ReadWeight(series, false);
    const int length = ScaleCommandSet::WeightReportLength(series, false);
    if (!request.empty() && SerialLink::WriteBytes(port, request.data(), request.size()) != int(request.size()))
        return std::nullopt;
    if (SerialLink::ReadBytes(port, buffer.data(), length, WeightReader::kReportLimitMs) != length)
        return std::nullopt;
    const auto cycle = WeightReport::DecodeCycleReport(series, length, false,
                                                       std::string_view(buffer.data(), std::size_t(length)));
    if (cycle.fields.empty())
        return std::nullopt;
    Reading reading{cycle.fields, cycle.stable};
    // A ZUD scale answers with gross, net and tare reports back to back.
    if (series == SeriesZud) {
        for (int more = 0; more < 2; ++more) {
            buffer.fill(0);
            if (SerialLink::ReadBytes(port, buffer.data(), length, WeightReader::kReportLimitMs) != length)
                break;
            for (auto& field : WeightReport::DecodeZud(std::string_view(buffer.data(), std::size_t(length))))
                reading.fields.push_back(std::move(field));
        }
    }
    return reading;
}

} // namespace ScaleExchange
