#include "link/ScaleCommandSet.h"

#include "link/WeightReport.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace ScaleCommandSet {
namespace {

Bytes esc(std::uint8_t code)
{
    return Bytes{'\x1B', '\x00', char(code)};
}

Bytes esc(std::uint8_t code, std::uint8_t argument)
{
    return esc(code) + char(argument);
}

Bytes esc(std::uint8_t code, std::uint8_t first, std::uint8_t second)
{
    return esc(code) + char(first) + char(second);
}

const Bytes kCrLf = "\r\n";

struct PrecisionCode {
    std::uint8_t decimals;
    std::uint8_t unit;
};

// Auto, 1g, 2g, 5g, 0.1g, 0.2g, 0.5g, 0.01g, 0.02g, 0.05g
constexpr std::array<PrecisionCode, 10> kPrecision{{
    {0, 0}, {0, 1}, {0, 2}, {0, 5}, {1, 1}, {1, 2}, {1, 5}, {2, 1}, {2, 2}, {2, 5},
}};

// VK01, VK02, OS2X, PS1X, VIVA, G100, DH, YH, WINTEC; FA1..FA11 follow as 0x81..0x8B.
constexpr std::array<std::uint8_t, 9> kNamedProtocols{0x11, 0x12, 0x21, 0x22, 0x31, 0x41, 0x51, 0x61, 0x71};

std::string AreaCodeOf(std::string_view cityItem)
{
    auto open = cityItem.rfind('(');
    if (open == std::string_view::npos || cityItem.size() < open + 2)
        return {};
    return std::string(cityItem.substr(open + 1, cityItem.size() - open - 2));
}

std::uint8_t ReturnProtocolCode(int listIndex)
{
    if (listIndex >= 0 && listIndex < int(kNamedProtocols.size()))
        return kNamedProtocols[std::size_t(listIndex)];
    if (listIndex >= int(kNamedProtocols.size()) && listIndex < int(kNamedProtocols.size()) + 11)
        return std::uint8_t(0x81 + listIndex - int(kNamedProtocols.size()));
    return 0x11;
}

} // namespace

Bytes Tare(ScaleSeries series)
{
    return series == ScaleSeries::Zud ? Bytes("T") : Bytes("T\r\n");
}

Bytes Zero(ScaleSeries series)
{
    return series == ScaleSeries::Zud ? Bytes("Z") : Bytes("Z\r\n");
}

Bytes ReadWeight(ScaleSeries series, bool activeReturn)
{
    if (series == ScaleSeries::Zud)
        return "R";
    return activeReturn ? Bytes() : Bytes("\x11");
}

int WeightReportLength(ScaleSeries series, bool activeReturn)
{
    if (series == ScaleSeries::Zud)
        return WeightReport::kZudLength;
    return activeReturn ? WeightReport::kActiveFramedLength : WeightReport::kPolledFramedLength;
}

Bytes SetBaud(std::string_view baudText)
{
    return "baud:" + Bytes(baudText) + kCrLf;
}

Bytes SetPostbackFrequency(int rateIndex)
{
    Bytes frame(13, '\0');
    frame[0] = char(0xAB);
    frame[5] = char(0x80);
    frame[6] = char(0x01);
    frame[7] = char(std::uint8_t(rateIndex));
    unsigned sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += std::uint8_t(frame[std::size_t(i)]);
    frame[12] = char(sum & 0xFF);
    return frame;
}

Bytes SetCompanyName(std::string_view name)
{
    return "Co." + Bytes(name) + kCrLf;
}

Bytes ReadParameters()
{
    return esc(0xFF);
}

Bytes SetGravityCode(std::string_view cityItem)
{
    return "code:" + AreaCodeOf(cityItem) + kCrLf;
}

Bytes SetGravityValue(double g)
{
    char text[400];
    std::snprintf(text, sizeof text, "g=%f\r\n", g);
    return text;
}

Bytes SetGravityPosition(double latitude, std::int32_t altitude)
{
    char lat[400];
    std::snprintf(lat, sizeof lat, "%.3f", latitude);
    Bytes latitudeText(lat);
    latitudeText.resize(std::min<std::size_t>(latitudeText.size(), 5));
    char text[512];
    std::snprintf(text, sizeof text, "Lat=%s\r\nASL=%04d\r\n", latitudeText.c_str(), int(altitude));
    return text;
}

Bytes CalibrateSpan(std::int32_t capacityKg, std::int32_t weightKg)
{
    return std::to_string(capacityKg) + "," + std::to_string(weightKg) + kCrLf;
}

Bytes CalibrationZero()
{
    return "Z";
}

Bytes ServiceCommand()
{
    return esc(0x01, 0xC0);
}

Bytes SetDivisionValue(std::uint16_t grams)
{
    return esc(0x02, std::uint8_t(grams >> 8), std::uint8_t(grams & 0xFF));
}

Bytes SetPostbackMode(std::uint8_t mode)
{
    return esc(0x03, mode);
}

Bytes SetOverflowAlarm(int listIndex)
{
    return esc(0x04, std::uint8_t(listIndex >= 0 && listIndex <= 3 ? listIndex : 3));
}

Bytes SetAnimalMode(bool on)
{
    return esc(0x05, on ? 1 : 0);
}

Bytes SetFalseStability(std::uint8_t listIndex)
{
    return esc(0x07, listIndex);
}

Bytes SetLedBrightness(std::uint8_t listIndex)
{
    return esc(0x08, listIndex);
}

Bytes SetReturnProtocol(int listIndex)
{
    return esc(0x09, ReturnProtocolCode(listIndex));
}

Bytes SetPrecision(int listIndex)
{
    if (listIndex < 0 || listIndex >= int(kPrecision.size()))
        return esc(0x0A, 0, 0);
    const auto code = kPrecision[std::size_t(listIndex)];
    return esc(0x0A, code.decimals, code.unit);
}

Bytes SetZeroTracking(int listIndex)
{
    // Even entries are whole divisions, odd ones tenths of a division.
    if (listIndex % 2 == 0)
        return esc(0x0B, 0, std::uint8_t(listIndex / 2));
    return esc(0x0B, 1, std::uint8_t(5 * listIndex));
}

Bytes SetButtonLock(std::uint8_t listIndex)
{
    return esc(0x0E, listIndex);
}

} // namespace ScaleCommandSet
