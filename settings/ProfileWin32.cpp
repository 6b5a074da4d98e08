#include "settings/Profile.h"

#include <windows.h>

// The settings file through the system's own private-profile functions, so the file reads and
// changes exactly as every other program on the machine sees it.
namespace Profile {

std::string ReadText(const std::string& path, std::string_view section, std::string_view key,
                     std::string_view fallback)
{
    char text[kMaxTextBytes + 1] = {};
    const DWORD length = ::GetPrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                                    std::string(fallback).c_str(), text, sizeof text,
                                                    path.c_str());
    return std::string(text, length);
}

int ReadInt(const std::string& path, std::string_view section, std::string_view key, int fallback)
{
    return static_cast<int>(::GetPrivateProfileIntA(std::string(section).c_str(), std::string(key).c_str(),
                                                    fallback, path.c_str()));
}

bool WriteText(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value)
{
    if (!IsWritableText(section) || !IsWritableText(key) || !IsWritableText(value))
        return false;
    return ::WritePrivateProfileStringA(std::string(section).c_str(), std::string(key).c_str(),
                                        std::string(value).c_str(), path.c_str())
           != FALSE;
}

} // namespace Profile
