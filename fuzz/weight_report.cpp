// The weight report decoders: any bytes give at most three known fields, and a framed report is
// accepted only with its frame. The first byte picks the series, the requested length and the
// active-return state.
#include "FuzzCheck.h"

#include "link/WeightReport.h"

#include <cstdint>
#include <string_view>

namespace {

bool KnownField(int id)
{
    return id == WeightReport::kFirstField || id == WeightReport::kSecondField || id == WeightReport::kThirdField;
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
        FUZZ_REQUIRE(KnownField(field.fieldId));
        FUZZ_REQUIRE(field.text.size() <= report.size());
    }

    if (const auto framed = WeightReport::DecodeFramed(report)) {
        FUZZ_REQUIRE(report.size() >= WeightReport::kPolledFramedLength);
        FUZZ_REQUIRE(report[0] == '\x01' && report[1] == '\x02' && report[13] == '\x03' && report[14] == '\x04');
        FUZZ_REQUIRE(framed->stable == 0 || framed->stable == 1);
        FUZZ_REQUIRE(framed->weight.size() <= 9);
        for (const auto& field : WeightReport::FramedFields(*framed))
            FUZZ_REQUIRE(KnownField(field.fieldId));
    }

    static const int kLengths[] = {WeightReport::kZudLength, WeightReport::kPolledFramedLength,
                                   WeightReport::kActiveFramedLength, 0};
    const auto cycle = WeightReport::DecodeCycleReport(choice % 4 - 1, kLengths[(choice >> 2) % 4],
                                                       (choice & 0x10) != 0, report);
    FUZZ_REQUIRE(cycle.fields.size() <= 3);
    for (const auto& field : cycle.fields)
        FUZZ_REQUIRE(KnownField(field.fieldId));
    if (cycle.stable)
        FUZZ_REQUIRE(*cycle.stable == 0 || *cycle.stable == 1);
    return 0;
}
