#include "link/SerialLink.h"
#include "link/SerialPortList.h"

#include <algorithm>
#include <fstream>
#include <string_view>

#include <dirent.h>
#include <sys/stat.h>

namespace SerialLink {
namespace {

// Natural order, so /dev/ttyS2 comes before /dev/ttyS10.
bool NaturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            std::size_t ei = i;
            std::size_t ej = j;
            while (ei < a.size() && isDigit(a[ei]))
                ++ei;
            while (ej < b.size() && isDigit(b[ej]))
                ++ej;
            std::size_t si = i;
            std::size_t sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj)
                return ei - si < ej - sj;
            const int order = a.compare(si, ei - si, b, sj, ej - sj);
            if (order != 0)
                return order < 0;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    return names;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// An 8250 slot the kernel reserves without a UART behind it reports type 0.
bool EmptyUartSlot(const std::string& sysClassTty, const std::string& name)
{
    std::ifstream type(sysClassTty + "/" + name + "/type");
    int value = -1;
    return type >> value && value == 0;
}

} // namespace

void ListSerialPortsIn(const std::string& sysClassTty, const std::string& devDir, std::vector<std::string>& list)
{
    std::vector<std::string> names;
    for (const std::string& name : Entries(sysClassTty)) {
        if (Exists(sysClassTty + "/" + name + "/device"))
            names.push_back(name);
    }
    for (const std::string& name : Entries(devDir)) {
        if (name.starts_with("ttyUSB") || name.starts_with("ttyACM") || name.starts_with("ttyS"))
            names.push_back(name);
    }
    std::vector<std::string> found;
    for (const std::string& name : names) {
        const std::string path = devDir + "/" + name;
        if (!EmptyUartSlot(sysClassTty, name) && Exists(path))
            found.push_back(path);
    }
    std::sort(found.begin(), found.end(), NaturalLess);
    found.erase(std::unique(found.begin(), found.end()), found.end());
    list.insert(list.end(), found.begin(), found.end());
}

void ListSerialPorts(std::vector<std::string>& list)
{
    ListSerialPortsIn("/sys/class/tty", "/dev", list);
}

} // namespace SerialLink
