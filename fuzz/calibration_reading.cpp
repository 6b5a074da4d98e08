// The calibration-mode lines: any bytes give readings without spaces, never more than one per
// byte, and each can be shown.
#include "FuzzCheck.h"

#include "rules/CalibrationReading.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view received(reinterpret_cast<const char*>(data), size);
    const auto readings = CalibrationReading::Parse(received);
    FUZZ_REQUIRE(readings.size() <= size);
    for (const auto& reading : readings) {
        FUZZ_REQUIRE(reading.rest.find(' ') == std::string::npos);
        FUZZ_REQUIRE(reading.rest.size() < size);
        const std::string shown = CalibrationReading::DisplayText(reading);
        FUZZ_REQUIRE(shown.size() >= reading.rest.size());
    }
    return 0;
}
