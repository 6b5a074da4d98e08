// Port names as the tool lists and offers them.

#include "link/ComPortName.h"
#include "link/SerialLink.h"
#include "link/SerialPortList.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <stdlib.h>

namespace {

struct NamingCase {
    const char* listed;
    const char* offered;
};

const NamingCase kNamingCases[] = {
    {"COM1", "COM1"},
    {"COM9", "COM9"},
    {"COM10", "\\\\.\\COM10"},
    {"COM12", "\\\\.\\COM12"},
    {"COM1:", "COM1:"},
    {"COM12:", "\\\\.\\COM12:"},
    {"COM", "COM"},
    {"COM0", "COM0"},
    {"COM100", "\\\\.\\COM100"},
    {"COM09", "COM09"},           // read as 9
    {"COM010", "\\\\.\\COM010"},  // read as 10
    {"COM2x15", "COM2x15"},       // only the leading digits count
    {"COM-12", "COM-12"},         // a negative number is below 10
    {"CNCA12", "CNCA12"},         // letters first: no leading digits, 0
    {"12", "\\\\.\\12"},          // no "COM" to remove, the number still counts
    {"COM 12", "\\\\.\\COM 12"},  // blanks before the digits are skipped, as atoi does
    {"/dev/ttyUSB0", "/dev/ttyUSB0"},
    {"/dev/ttyS12", "/dev/ttyS12"},  // no leading digits: 0
    {"/dev/pts/15", "/dev/pts/15"},
    {"", ""},
};

class OfferedPortNameTest : public ::testing::TestWithParam<NamingCase> {};

TEST_P(OfferedPortNameTest, FollowsTheNamingRule)
{
    EXPECT_EQ(SerialLink::OfferedPortName(GetParam().listed), GetParam().offered);
}

INSTANTIATE_TEST_SUITE_P(Names, OfferedPortNameTest, ::testing::ValuesIn(kNamingCases));

TEST(OfferedPortName, RegistryOrderIsKept)
{
    const std::vector<std::string> listed {"COM12", "COM1", "COM3"};
    std::vector<std::string> offered;
    for (const std::string& name : listed)
        offered.push_back(SerialLink::OfferedPortName(name));
    EXPECT_EQ(offered, (std::vector<std::string> {"\\\\.\\COM12", "COM1", "COM3"}));
}

// How Windows opens what a user types or the registry lists: every COM port by its device path.
struct DeviceCase {
    const char* name;
    const char* path;  // "" when it is no COM port and opens as it is
};

const DeviceCase kDeviceCases[] = {
    {"COM1", "\\\\.\\COM1"},
    {"com1", "\\\\.\\COM1"},
    {"Com3:", "\\\\.\\COM3"},
    {"COM12", "\\\\.\\COM12"},
    {"\\\\.\\COM12", "\\\\.\\COM12"},
    {"\\\\.\\com12", "\\\\.\\COM12"},
    {"COM03", "\\\\.\\COM3"},
    {"COM256", "\\\\.\\COM256"},
    {"COM0", ""},
    {"COM", ""},
    {"COM1x", ""},
    {"COM 1", ""},
    {"COM-1", ""},
    {"COM12::", ""},
    {"COM1234567890", ""},
    {"\\\\.\\CNCA0", ""},
    {"/dev/ttyS0", ""},
    {"C:\\scale.bin", ""},
    {"", ""},
};

TEST(ComDevicePath, NamesEveryComPortByItsDevicePath)
{
    for (const DeviceCase& c : kDeviceCases)
        EXPECT_EQ(SerialLink::ComDevicePath(c.name).value_or(""), c.path) << c.name;
}

#ifndef _WIN32
// The Windows list comes from the registry: tests/link/SerialPortListWin32Test.cpp.
TEST(ListSerialPorts, AppendsDevicePathsInAStableOrder)
{
    std::vector<std::string> first {"kept"};
    SerialLink::ListSerialPorts(first);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front(), "kept") << "the list is appended to, not replaced";
    for (std::size_t i = 1; i < first.size(); ++i)
        EXPECT_EQ(first[i].rfind("/dev/", 0), 0u) << first[i];

    std::vector<std::string> second {"kept"};
    SerialLink::ListSerialPorts(second);
    EXPECT_EQ(first, second);
}
#endif

} // namespace

#ifndef _WIN32
namespace {

TEST(ListSerialPortsIn, TakesTtysWithADeviceAndSerialNodesInNaturalOrder)
{
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/scaletool-ports-XXXXXX";
    const fs::path root = ::mkdtemp(pattern);
    const fs::path sys = root / "sys";
    const fs::path dev = root / "dev";
    fs::create_directories(dev);
    // sysfs: a USB adapter, an on-board UART, an empty 8250 slot, a virtual console, a device
    // without a node.
    for (const char* withDevice : {"ttyUSB0", "ttyAMA0", "ttyS1", "ttyS2", "ttyXRUSB3"})
        fs::create_directories(sys / withDevice / "device");
    fs::create_directories(sys / "tty5");
    std::ofstream(sys / "ttyS1" / "type") << "0\n";
    std::ofstream(sys / "ttyS2" / "type") << "4\n";
    for (const char* node : {"ttyUSB0", "ttyAMA0", "ttyS1", "ttyS2", "ttyS10", "ttyACM0", "tty5", "null"})
        std::ofstream(dev / node) << "";

    std::vector<std::string> list {"kept"};
    SerialLink::ListSerialPortsIn(sys.string(), dev.string(), list);
    const std::string d = dev.string() + "/";
    EXPECT_EQ(list, (std::vector<std::string> {"kept", d + "ttyACM0", d + "ttyAMA0", d + "ttyS2", d + "ttyS10",
                                               d + "ttyUSB0"}));
    fs::remove_all(root);
}

} // namespace
#endif
