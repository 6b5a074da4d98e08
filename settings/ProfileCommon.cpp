#include "settings/Profile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// What every backend shares: numbers to and from the texts the backend reads and writes.
namespace Profile {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

} // namespace

int ParseProfileInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        switch (text[i + 1]) {
        case 'x': base = 16; break;
        case 'o': base = 8; break;
        case 'b': base = 2; break;
        default: break;
        }
        if (base != 10)
            i += 2;
    }
    std::uint32_t value = 0;  // wraps modulo 2^32 like the platform's reader
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = unsigned(c - '0');
        else if (base == 16 && lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
            digit = unsigned(lowerAscii(c) - 'a' + 10);
        else
            break;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value);
}

double ReadReal(const std::string& path, std::string_view section, std::string_view key,
                std::string_view fallback)
{
    return std::atof(ReadText(path, section, key, fallback).c_str());
}

bool WriteInt(const std::string& path, std::string_view section, std::string_view key, int value)
{
    return WriteText(path, section, key, std::to_string(value));
}

bool WriteReal(const std::string& path, std::string_view section, std::string_view key, double value)
{
    char text[512];
    std::snprintf(text, sizeof text, "%f", value);
    return WriteText(path, section, key, text);
}

} // namespace Profile
