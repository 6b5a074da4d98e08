#include "settings/LeadingInteger.h"

#include <algorithm>
#include <limits>

namespace LeadingInteger {
namespace {

struct Scan {
    bool negative = false;
    std::uint32_t low = 0;   // the magnitude modulo 2^32
    bool large = false;      // the magnitude is 2^31 or more
};

bool isSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

unsigned digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return unsigned(c - '0');
    if (c >= 'a' && c <= 'f')
        return unsigned(c - 'a' + 10);
    if (c >= 'A' && c <= 'F')
        return unsigned(c - 'A' + 10);
    return 36;
}

Scan scan(std::string_view text, bool basePrefixes)
{
    Scan result;
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        result.negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (basePrefixes && i + 1 < text.size() && text[i] == '0') {
        switch (text[i + 1]) {
        case 'x': base = 16; break;
        case 'o': base = 8; break;
        case 'b': base = 2; break;
        default: break;
        }
        if (base != 10)
            i += 2;
    }
    constexpr std::uint64_t kLarge = std::uint64_t(1) << 31;
    std::uint64_t magnitude = 0;  // held at kLarge once it gets there
    for (; i < text.size() && digitValue(text[i]) < base; ++i) {
        const unsigned digit = digitValue(text[i]);
        result.low = result.low * base + digit;
        magnitude = std::min(magnitude * base + digit, kLarge);
    }
    result.large = magnitude >= kLarge;
    return result;
}

} // namespace

std::int32_t Wrapped(std::string_view text, bool basePrefixes)
{
    const Scan found = scan(text, basePrefixes);
    return static_cast<std::int32_t>(found.negative ? 0u - found.low : found.low);
}

std::int32_t Clamped(std::string_view text)
{
    const Scan found = scan(text, false);
    if (found.large)
        return found.negative ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(found.negative ? -std::int64_t(found.low) : std::int64_t(found.low));
}

} // namespace LeadingInteger
