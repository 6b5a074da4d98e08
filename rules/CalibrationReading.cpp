#include "rules/CalibrationReading.h"

#include <algorithm>

namespace CalibrationReading {
namespace {

std::string without(std::string_view piece, char letter)
{
    std::string rest;
    for (char c : piece) {
        if (c != letter && c != ' ')
            rest += c;
    }
    return rest;
}

} // namespace

std::vector<Reading> Parse(std::string_view received)
{
    // The bytes are text: it ends at the first NUL.
    received = received.substr(0, std::min(received.find('\0'), received.size()));
    std::string text;
    for (char c : received) {
        if (c != '\r')
            text += c;
    }

    std::vector<Reading> readings;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        const std::string_view piece =
            std::string_view(text).substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!piece.empty()) {
            switch (piece.front()) {
            case 'C': readings.push_back({Value::Maximum, without(piece, 'C')}); break;
            case 'F': readings.push_back({Value::CalibrationWeight, without(piece, 'F')}); break;
            case 'W': readings.push_back({Value::Weight, without(piece, 'W')}); break;
            default: break;
            }
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return readings;
}

std::string DisplayText(const Reading& reading)
{
    // GBK bytes of 最大, 砝码 and 重量.
    switch (reading.value) {
    case Value::Maximum: return "\xD7\xEE\xB4\xF3:" + reading.rest;
    case Value::CalibrationWeight: return "\xED\xC0\xC2\xEB:" + reading.rest;
    case Value::Weight: return "\xD6\xD8\xC1\xBF:" + reading.rest;
    }
    return reading.rest;
}

std::string ReadBlock(SerialLink::PortHandle& port)
{
    char buffer[kTickBytes];
    const int count = SerialLink::ReadBytes(port, buffer, kTickBytes, kTickLimitMs);
    return count > 0 ? std::string(buffer, std::size_t(count)) : std::string();
}

} // namespace CalibrationReading
