#include "settings/Profile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

// What every backend shares: numbers to and from the texts the backend reads and writes.
namespace Profile {
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
