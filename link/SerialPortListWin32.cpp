#include "link/SerialLink.h"

#include <windows.h>

#include <algorithm>

namespace SerialLink {
namespace {

// The buffers each value is first read with; a longer name or port name is read again whole.
constexpr DWORD kNameBufferChars = 25;
constexpr DWORD kDataBufferBytes = 25;

// The text of a string value's data: up to its terminator, or all of it when it has none.
std::string DataText(const std::vector<char>& data, DWORD length)
{
    const auto end = data.begin() + std::min<std::size_t>(length, data.size());
    return std::string(data.begin(), std::find(data.begin(), end, '\0'));
}

} // namespace

void ListSerialPorts(std::vector<std::string>& list)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM\\", 0, KEY_READ, &key)
        != ERROR_SUCCESS)
        return;

    for (DWORD index = 0;; ++index) {
        std::vector<char> name(kNameBufferChars);
        std::vector<char> data(kDataBufferBytes);
        DWORD nameLength = kNameBufferChars;
        DWORD dataLength = kDataBufferBytes;
        DWORD type = REG_NONE;
        LONG result = ::RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &dataLength);
        if (result == ERROR_MORE_DATA) {
            // Still a port: read it again with buffers as long as the key's longest name and data,
            // so the list shows its whole name rather than a cut one.
            DWORD longestName = 0;
            DWORD longestData = 0;
            result = ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        &longestName, &longestData, nullptr, nullptr);
            if (result == ERROR_SUCCESS) {
                name.assign(std::max(longestName + 1, kNameBufferChars), '\0');
                data.assign(std::max(longestData + 1, kDataBufferBytes), '\0');
                nameLength = static_cast<DWORD>(name.size());
                dataLength = static_cast<DWORD>(data.size());
                result = ::RegEnumValueA(key, index, name.data(), &nameLength, nullptr, &type,
                                         reinterpret_cast<BYTE*>(data.data()), &dataLength);
            }
            if (result != ERROR_SUCCESS)
                continue;  // a value that cannot be read names no port: the next one may
        } else if (result != ERROR_SUCCESS) {
            break;  // the end of the values, or a key that cannot be read further
        }
        const std::string port = DataText(data, dataLength);
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && !port.empty())
            list.push_back(port);
    }
    ::RegCloseKey(key);
}

} // namespace SerialLink
