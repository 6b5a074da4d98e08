#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Decoding of the scale's weight reports. Pure functions over the bytes one read delivered.
namespace WeightReport {

// The reading fields a report fills.
inline constexpr int kFirstField = 1016;   // "Gross" (ZUD), "Net" (framed series)
inline constexpr int kSecondField = 1018;  // "TARE" (ZUD), "Price" (framed series)
inline constexpr int kThirdField = 1020;   // "Net" (ZUD), "Total" (framed series)

inline constexpr int kZudLength = 13;
inline constexpr int kPolledFramedLength = 15;
inline constexpr int kActiveFramedLength = 16;

struct FieldValue {
    int fieldId;
    std::string text;
    bool operator==(const FieldValue&) const = default;
};

// ZUD text report: the text up to the first zero byte, blanks removed; then the markers "ww" (1016),
// "wn" (1020) and "wt" (1018) are tested in that order, each one removing every occurrence of itself
// and showing what is left. Fields are returned in that order; no marker gives nothing.
std::vector<FieldValue> DecodeZud(std::string_view report);

struct FramedReport {
    int stable;          // 1 when the status byte is 'S', 0 otherwise
    std::string weight;  // bytes 3..11 up to a zero byte, blanks removed
    bool operator==(const FramedReport&) const = default;
};

// Framed report (01 02 status weight[9] x 03 04 [x]): nothing unless the four frame bytes are right
// and at least 15 bytes are there.
std::optional<FramedReport> DecodeFramed(std::string_view report);

// What an accepted framed report shows: the weight in 1016, 1018 and 1020 emptied.
std::vector<FieldValue> FramedFields(const FramedReport& report);

// What the first report of a reading cycle shows.
struct CycleResult {
    std::vector<FieldValue> fields;
    std::optional<int> stable;  // set only by an accepted framed report
};

// `requestedLength` is the length the cycle asked for, `activeReturnNow` the state of the active-return
// box when the report is in. A short report shows nothing. A 16-byte report read after active return
// was switched off is not decoded at all (no three-value layout is supported).
CycleResult DecodeCycleReport(int series, int requestedLength, bool activeReturnNow, std::string_view report);

} // namespace WeightReport
