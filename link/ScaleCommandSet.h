#pragma once

#include "link/ScaleSeries.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every byte string the tool sends to the scale. Builders are pure: they encode what they are
// given; whether a command is sent at all is decided by the dialog that sends it.

// Binary-safe byte string (GBK text or raw command bytes).
using Bytes = std::string;

namespace ScaleCommandSet {

Bytes Tare(ScaleSeries series);
Bytes Zero(ScaleSeries series);
// Empty when the scale reports by itself (framed series with active return): nothing is sent.
Bytes ReadWeight(ScaleSeries series, bool activeReturn);
// The length of the report that answers ReadWeight: 13, 15 or 16 bytes.
int WeightReportLength(ScaleSeries series, bool activeReturn);

Bytes SetBaud(std::string_view baudText);
Bytes SetPostbackFrequency(int rateIndex);
// "Co.%s\r\n"; the caller cuts the name (see CompanyNameForScale).
Bytes SetCompanyName(std::string_view name);
Bytes ReadParameters();

// "code:" and the area code of a city item (after its last "(", up to but not including its last
// character).
Bytes SetGravityCode(std::string_view cityItem);
Bytes SetGravityValue(double g);
Bytes SetGravityPosition(double latitude, std::int32_t altitude);
Bytes CalibrateSpan(std::int32_t capacityKg, std::int32_t weightKg);
Bytes CalibrationZero();
Bytes ServiceCommand();

Bytes SetDivisionValue(std::uint16_t grams);
Bytes SetPostbackMode(std::uint8_t mode);
inline constexpr std::uint8_t kPostbackStable = 0x0F;
inline constexpr std::uint8_t kPostbackOnCommand = 0x0E;
// List index 0..3; any other index sends 3.
Bytes SetOverflowAlarm(int listIndex);
Bytes SetAnimalMode(bool on);
Bytes SetFalseStability(std::uint8_t listIndex);
Bytes SetLedBrightness(std::uint8_t listIndex);
// List index 0..19 of VK01..FA11; any other index sends 0x11.
Bytes SetReturnProtocol(int listIndex);
// List index 0..9 of Auto..0.05g; any other index sends 00 00.
Bytes SetPrecision(int listIndex);
// List index 0..10 of "No Zero tracking".."5e".
Bytes SetZeroTracking(int listIndex);
// 0 lock, 1 unlock.
Bytes SetButtonLock(std::uint8_t listIndex);

} // namespace ScaleCommandSet
