#include "link/WeightReport.h"

#include "link/ScaleCommandSet.h"

#include <algorithm>

namespace WeightReport {
namespace {

// The bytes as a C string: everything from the first zero byte on is dropped.
std::string_view UpToZero(std::string_view bytes)
{
    const auto zero = bytes.find('\0');
    return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

std::string WithoutBlanks(std::string_view text)
{
    std::string out(text);
    out.erase(std::remove(out.begin(), out.end(), ' '), out.end());
    return out;
}

// One left-to-right pass; returns false when the marker does not occur.
bool RemoveEvery(std::string& text, std::string_view marker)
{
    std::string out;
    bool found = false;
    std::size_t from = 0;
    for (std::size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, from)) {
        out.append(text, from, at - from);
        from = at + marker.size();
        found = true;
    }
    if (!found)
        return false;
    out.append(text, from, std::string::npos);
    text = std::move(out);
    return true;
}

} // namespace

std::vector<FieldValue> DecodeZud(std::string_view report)
{
    std::string text = WithoutBlanks(UpToZero(report));
    std::vector<FieldValue> fields;
    struct Marker {
        std::string_view marker;
        Quantity quantity;
    };
    static constexpr Marker kMarkers[] = {{"ww", Quantity::Gross}, {"wn", Quantity::Net}, {"wt", Quantity::Tare}};
    for (const Marker& m : kMarkers) {
        if (RemoveEvery(text, m.marker))
            fields.push_back({m.quantity, text});
    }
    return fields;
}

std::optional<FramedReport> DecodeFramed(std::string_view report)
{
    if (report.size() < std::size_t(kPolledFramedLength))
        return std::nullopt;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(report[i]); };
    if (at(0) != 0x01 || at(1) != 0x02 || at(13) != 0x03 || at(14) != 0x04)
        return std::nullopt;
    return FramedReport{at(2) == 'S', WithoutBlanks(UpToZero(report.substr(3, 9)))};
}

std::vector<FieldValue> FramedFields(const FramedReport& report)
{
    return {{Quantity::Net, report.weight}, {Quantity::Price, std::string()}, {Quantity::Total, std::string()}};
}

CycleResult DecodeCycleReport(ScaleSeries series, int requestedLength, bool activeReturnNow, std::string_view report)
{
    CycleResult result;
    if (requestedLength <= 0 || report.size() < std::size_t(requestedLength))
        return result;
    report = report.substr(0, std::size_t(requestedLength));
    if (series == ScaleSeries::Zud) {
        result.fields = DecodeZud(report);
        return result;
    }
    if (requestedLength != kPolledFramedLength && !activeReturnNow)
        return result;
    if (const auto framed = DecodeFramed(report)) {
        result.fields = FramedFields(*framed);
        result.stable = framed->stable;
    }
    return result;
}

} // namespace WeightReport
