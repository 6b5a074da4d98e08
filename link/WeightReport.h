#pragma once

#include "link/ScaleSeries.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Decoding of the scale's weight reports. Pure functions over the bytes one read delivered.
namespace WeightReport {

// What a report carries: a ZUD scale reports gross, tare and net; the framed series report the
// net weight, with price and total (always empty).
enum class Quantity { Gross, Tare, Net, Price, Total };

inline constexpr int kZudLength = 13;
inline constexpr int kPolledFramedLength = 15;
inline constexpr int kActiveFramedLength = 16;

struct FieldValue {
    Quantity quantity;
    std::string text;
    bool operator==(const FieldValue&) const = default;
};

// ZUD text report: the text up to the first zero byte, blanks removed; then the markers "ww" (gross),
// "wn" (net) and "wt" (tare) are tested in that order, each one removing every occurrence of itself
// and showing what is left. Values are returned in that order; no marker gives nothing.
std::vector<FieldValue> DecodeZud(std::string_view report);

struct FramedReport {
    bool stable;         // the status byte is 'S'
    std::string weight;  // bytes 3..11 up to a zero byte, blanks removed
    bool operator==(const FramedReport&) const = default;
};

// Framed report (01 02 status weight[9] x 03 04 [x]): nothing unless the four frame bytes are right
// and at least 15 bytes are there.
std::optional<FramedReport> DecodeFramed(std::string_view report);

// What an accepted framed report shows: the weight as the net, price and total emptied.
std::vector<FieldValue> FramedFields(const FramedReport& report);

// What the first report of a reading cycle shows.
struct CycleResult {
    std::vector<FieldValue> fields;
    std::optional<bool> stable;  // set only by an accepted framed report
};

// `requestedLength` is the length the cycle asked for, `activeReturnNow` the state of the active-return
// box when the report is in. A short report shows nothing. A 16-byte report read after active return
// was switched off is not decoded at all (no three-value layout is supported).
CycleResult DecodeCycleReport(ScaleSeries series, int requestedLength, bool activeReturnNow, std::string_view report);

} // namespace WeightReport
