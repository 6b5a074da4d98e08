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

namespace {

// The NUL-separated names a list call fills in, growing the buffer until they fit.
template <typename ListCall>
std::vector<std::string> ListedNames(ListCall call)
{
    std::vector<char> buffer(4096);
    for (;;) {
        const DWORD length = call(buffer.data(), DWORD(buffer.size()));
        if (length + 2 < buffer.size()) {
            std::vector<std::string> names;
            for (std::size_t at = 0; at < length && buffer[at] != '\0';) {
                std::string name(buffer.data() + at);
                at += name.size() + 1;
                names.push_back(std::move(name));
            }
            return names;
        }
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

std::vector<std::string> SectionNames(const std::string& path)
{
    return ListedNames([&](char* text, DWORD size) { return ::GetPrivateProfileSectionNamesA(text, size, path.c_str()); });
}

std::vector<std::string> KeyNames(const std::string& path, std::string_view section)
{
    const std::string name(section);
    return ListedNames([&](char* text, DWORD size) {
        return ::GetPrivateProfileStringA(name.c_str(), nullptr, "", text, size, path.c_str());
    });
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
