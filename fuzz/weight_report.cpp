// The weight report decoders: any bytes give at most three values, a ZUD report only gross, tare
// and net, and a framed report is accepted only with its frame. The first byte picks the series, the requested length and the
// active-return state.
#include "FuzzCheck.h"

#include "link/WeightReport.h"

#include <cstdint>
#include <string_view>

namespace {

using WeightReport::Quantity;

bool ZudQuantity(Quantity quantity)
{
    return quantity == Quantity::Gross || quantity == Quantity::Tare || quantity == Quantity::Net;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t choice = data[0];
    const std::string_view report(reinterpret_cast<const char*>(data) + 1, size - 1);

    const auto zud = WeightReport::DecodeZud(report);
    FUZZ_REQUIRE(zud.size() <= 3);
    for (const auto& field : zud) {
        FUZZ_REQUIRE(ZudQuantity(field.quantity));
        FUZZ_REQUIRE(field.text.size() <= report.size());
    }

    if (const auto framed = WeightReport::DecodeFramed(report)) {
        FUZZ_REQUIRE(report.size() >= WeightReport::kPolledFramedLength);
        FUZZ_REQUIRE(report[0] == '\x01' && report[1] == '\x02' && report[13] == '\x03' && report[14] == '\x04');
        FUZZ_REQUIRE(framed->stable == (report[2] == 'S'));
        FUZZ_REQUIRE(framed->weight.size() <= 9);
    }

    static const int kLengths[] = {WeightReport::kZudLength, WeightReport::kPolledFramedLength,
                                   WeightReport::kActiveFramedLength, 0};
    const auto series = ScaleSeries(choice % 4 - 1);  // None, Zud, Zev or Rivav
    const bool activeReturn = (choice & 0x10) != 0;
    const auto cycle = WeightReport::DecodeCycleReport(series, kLengths[(choice >> 2) % 4], activeReturn, report);
    FUZZ_REQUIRE(cycle.fields.size() <= 3);
    if (cycle.stable)
        FUZZ_REQUIRE(cycle.fields.size() == 3 && cycle.fields[0].quantity == Quantity::Net);
    return 0;
}
