// The Windows serial link: the registry's port list, a device that is no COM port, and COM ports
// that Wine maps onto the virtual scale's pseudo-terminal (scripts/run-windows-tests sets
// SCALETOOL_TEST_COM_PORT and SCALETOOL_TEST_HIGH_COM_PORT to their names, and runs the held-write
// and going-away tests on their own against a scale set up for them; without them those tests skip).

#include "link/PortError.h"
#include "link/SerialLink.h"
#include "link/StopSignal.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using namespace SerialLink;

namespace {

using Clock = std::chrono::steady_clock;

long long MillisSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Values added to the registry's serial port key for one test, removed again at its end.
class SerialCommValues {
public:
    SerialCommValues()
    {
        ok_ = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key_, nullptr)
              == ERROR_SUCCESS;
    }
    ~SerialCommValues()
    {
        for (const std::string& name : names_)
            ::RegDeleteValueA(key_, name.c_str());
        if (ok_)
            ::RegCloseKey(key_);
    }
    bool Ok() const { return ok_; }
    bool Add(const std::string& name, const std::string& port)
    {
        names_.push_back(name);
        return ::RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                                static_cast<DWORD>(port.size() + 1))
               == ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
    bool ok_ = false;
    std::vector<std::string> names_;
};

// The port names under the key, in the order the registry enumerates them (read with buffers
// large enough for anything).
std::vector<std::string> RegistryPortNames()
{
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    for (DWORD index = 0;; ++index) {
        char name[512];
        char data[512] = {};
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data - 1;
        if (::RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                            &dataLength)
            != ERROR_SUCCESS)
            break;
        names.emplace_back(data);
    }
    ::RegCloseKey(key);
    return names;
}

TEST(SerialPortListWin32, AppendsTheRegistrysPortNamesInItsOrder)
{
    SerialCommValues values;
    if (!values.Ok())
        GTEST_SKIP() << "no write access to HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
    // A port name longer than the first buffer is still listed, whole.
    const std::string longName = "COM" + std::string(30, '7');
    ASSERT_TRUE(values.Add("\\Device\\ScaleToolTest2", "COM21"));
    ASSERT_TRUE(values.Add("\\Device\\ScaleToolTest1", longName));
    ASSERT_TRUE(values.Add("\\Device\\ScaleToolTest0", "COM3"));

    std::vector<std::string> listed {"kept"};
    ListSerialPorts(listed);
    std::vector<std::string> expected {"kept"};
    for (const std::string& name : RegistryPortNames())
        expected.push_back(name);
    EXPECT_EQ(listed, expected);
    for (const std::string& added : {std::string("COM21"), longName, std::string("COM3")})
        EXPECT_NE(std::find(listed.begin(), listed.end(), added), listed.end()) << added;
    EXPECT_EQ(OfferedPortName("COM21"), "\\\\.\\COM21");
    EXPECT_EQ(OfferedPortName("COM3"), "COM3");
}

TEST(SerialLinkWin32, DeviceWithoutComInItsNameOpensAsItIs)
{
    const auto path = std::filesystem::temp_directory_path() / "scaletool-not-a-port.bin";
    std::ofstream(path, std::ios::binary) << "xy";
    PortHandle port;
    ASSERT_EQ(OpenSerialPort(path.string(), port, 9600), 1);
    char buffer[8] = {};
    EXPECT_EQ(ReadBytes(port, buffer, 2, 100), 2) << "nothing was purged";
    EXPECT_EQ(std::string(buffer, 2), "xy");
    const auto start = Clock::now();
    EXPECT_EQ(ReadBytes(port, buffer, 4, 100), 0);
    EXPECT_GE(MillisSince(start), 90);
    port.Close();
    std::filesystem::remove(path);
}

TEST(SerialLinkWin32, MissingPortFailsAndLeavesNothingOpen)
{
    PortHandle port;
    EXPECT_EQ(OpenSerialPort("\\\\.\\COM250", port, 9600), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(WriteText(port, "\x11"), 0);
}

// The virtual scale behind a COM port.
class ComPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* name = std::getenv("SCALETOOL_TEST_COM_PORT");
        if (name == nullptr || *name == '\0')
            GTEST_SKIP() << "SCALETOOL_TEST_COM_PORT names no COM port mapped onto the virtual scale";
        name_ = name;
        ASSERT_EQ(OpenSerialPort(name_, port_, 9600), 1) << name_;
    }

    std::string Read(int count, int limitMs)
    {
        std::string bytes(static_cast<std::size_t>(count), '\0');
        const int n = ReadBytes(port_, bytes.data(), count, limitMs);
        bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return bytes;
    }

    std::string name_;
    PortHandle port_;
};

// A 15-byte framed report: 01 02, 'S' or 'U', the weight in 9 characters, 'k', 03 04.
bool IsFramedReport(const std::string& bytes)
{
    return bytes.size() == 15 && bytes.compare(0, 2, "\x01\x02") == 0 && (bytes[2] == 'S' || bytes[2] == 'U')
           && bytes[12] == 'k' && bytes.compare(13, 2, "\x03\x04") == 0;
}

TEST_F(ComPort, PollBringsAFramedReport)
{
    std::string seen;
    port_.SetLineObserver([&](LineDirection direction, std::string_view bytes) {
        seen += direction == LineDirection::Written ? ">" : "<";
        seen += bytes;
    });
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    const std::string report = Read(15, 100);
    EXPECT_TRUE(IsFramedReport(report));
    EXPECT_EQ(seen, ">\x11<" + report) << "the observer sees both ways";
    EXPECT_TRUE(CheckLine(port_));
    EXPECT_EQ(port_.Fault().fault, PortFault::None);
}

TEST_F(ComPort, ReportsSentBackToBackAreReadWhole)
{
    ASSERT_EQ(WriteText(port_, "R"), 1);
    const std::string reports = Read(39, 100);
    ASSERT_EQ(reports.size(), 39u);
    EXPECT_EQ(reports.substr(0, 2), "ww");
    EXPECT_EQ(reports.substr(13, 2), "wn");
    EXPECT_EQ(reports.substr(26, 2), "wt");
}

TEST_F(ComPort, SilentLineEndsAfterTheLimitAndOneRead)
{
    const auto start = Clock::now();
    EXPECT_EQ(Read(16, 100), "");
    const long long elapsed = MillisSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LT(elapsed, 100 + 16 + 100 + 20 + 200) << "a read waits 100 ms plus 1 ms a byte, then a pause";
}

TEST_F(ComPort, PurgeDiscardsAReportThatArrived)
{
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Purge(port_);
    EXPECT_EQ(Read(15, 100), "");
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    EXPECT_TRUE(IsFramedReport(Read(15, 100))) << "the port works on after a purge";
}

TEST_F(ComPort, StopEndsAReadInProgress)
{
    // The port's owner is the reader; another thread only raises the signal.
    StopSignal stop;
    port_.SetStopSignal(&stop);
    int result = -2;
    std::thread reader([&] {
        char buffer[16];
        result = ReadBytes(port_, buffer, 16, 5000);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const auto start = Clock::now();
    stop.Raise(StopReason::Close);
    reader.join();
    EXPECT_LT(MillisSince(start), 1000);
    EXPECT_EQ(result, 0);
    port_.Close();
    EXPECT_EQ(WriteText(port_, "\x11"), 0) << "a closed port writes nothing";
}

// Windows opens a COM port for one program at a time; the next is told it is in use.
TEST_F(ComPort, SecondOpenIsToldThePortIsInUse)
{
    PortHandle second;
    if (OpenSerialPort(name_, second, 9600) == 1)
        GTEST_SKIP() << "Wine opens a COM port more than once (Windows does not): no exclusive open to test";
    EXPECT_EQ(ClassifyOpenError(second.OpenError()), OpenProblem::InUse) << SystemErrorText(second.OpenError());
    EXPECT_EQ(OpenErrorText(second.OpenError()), "another program uses it, or access was denied");
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    EXPECT_TRUE(IsFramedReport(Read(15, 300))) << "the first owner keeps its port";
}

TEST_F(ComPort, ReopenTheSamePortWorks)
{
    ASSERT_EQ(OpenSerialPort(name_, port_, 9600), 1) << "the held port is closed before it opens again";
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    EXPECT_TRUE(IsFramedReport(Read(15, 100)));
}

// Settings another program left on the port that this line does not have are cleared by the open:
// CTS flow (every write stalls on a three-wire cable), DSR flow, other XON/XOFF characters.
TEST(ComPortSettings, OpenClearsWhatAnotherProgramLeft)
{
    const char* name = std::getenv("SCALETOOL_TEST_COM_PORT");
    if (name == nullptr || *name == '\0')
        GTEST_SKIP() << "SCALETOOL_TEST_COM_PORT names no COM port mapped onto the virtual scale";
    const std::string path = std::string("\\\\.\\") + name;
    const auto settingsNow = [&](DCB& settings) {
        HANDLE raw = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (raw == INVALID_HANDLE_VALUE)
            return false;
        settings = DCB {};
        settings.DCBlength = sizeof settings;
        const bool ok = ::GetCommState(raw, &settings);
        ::CloseHandle(raw);
        return ok;
    };
    DCB left {};
    ASSERT_TRUE(settingsNow(left));
    left.fOutxCtsFlow = TRUE;
    left.fRtsControl = RTS_CONTROL_HANDSHAKE;
    left.fOutxDsrFlow = TRUE;
    left.XonChar = 0x01;
    left.XoffChar = 0x02;
    HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetCommState(other, &left));
    ::CloseHandle(other);
    ASSERT_TRUE(settingsNow(left));
    ASSERT_TRUE(left.fOutxCtsFlow) << "the port keeps what the other program set";

    {
        PortHandle port;
        ASSERT_EQ(OpenSerialPort(name, port, 9600), 1);
        ASSERT_EQ(WriteText(port, "\x11"), 1);
        std::string report(15, '\0');
        report.resize(std::size_t(std::max(ReadBytes(port, report.data(), 15, 300), 0)));
        EXPECT_TRUE(IsFramedReport(report));
    }
    DCB ours {};
    ASSERT_TRUE(settingsNow(ours));
    EXPECT_FALSE(ours.fOutxCtsFlow);
    EXPECT_FALSE(ours.fOutxDsrFlow);
    // fRtsControl is not checked: Wine reports RTS as enabled whenever no handshake is set.
    EXPECT_EQ(ours.XonChar, 0x11);
    EXPECT_EQ(ours.XoffChar, 0x13);
    EXPECT_TRUE(ours.fOutX && ours.fInX) << "XON/XOFF both ways, as on POSIX";
    EXPECT_EQ(ours.BaudRate, DWORD(9600));
}

// Every way a user or the registry names a port opens it, whatever its number; a port that is not
// there says so. SCALETOOL_TEST_HIGH_COM_PORT names a COM port from 10 up mapped onto the same scale.
TEST(ComPortNames, OpenAsTypedOrSayWhyNot)
{
    const char* low = std::getenv("SCALETOOL_TEST_COM_PORT");
    const char* high = std::getenv("SCALETOOL_TEST_HIGH_COM_PORT");
    if (low == nullptr || high == nullptr || *low == '\0' || *high == '\0')
        GTEST_SKIP() << "SCALETOOL_TEST_COM_PORT and SCALETOOL_TEST_HIGH_COM_PORT name no COM ports on the scale";
    const auto lower = [](std::string name) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        return name;
    };
    const std::vector<std::string> names {low, lower(low), std::string(low) + ":", "\\\\.\\" + std::string(low),
                                          high, lower(high), "\\\\.\\" + lower(high)};
    for (const std::string& name : names) {
        PortHandle port;
        ASSERT_EQ(OpenSerialPort(name, port, 9600), 1) << name << ": " << OpenErrorText(port.OpenError());
        ASSERT_EQ(WriteText(port, "\x11"), 1) << name;
        std::string report(15, '\0');
        report.resize(std::size_t(std::max(ReadBytes(port, report.data(), 15, 300), 0)));
        EXPECT_TRUE(IsFramedReport(report)) << name << " answers at 9600 8N1";
    }
    PortHandle missing;
    for (const char* name : {"COM250", "com250", "\\\\.\\COM250"}) {
        EXPECT_EQ(OpenSerialPort(name, missing, 9600), 0) << name;
        EXPECT_EQ(ClassifyOpenError(missing.OpenError()), OpenProblem::NotThere) << name;
        EXPECT_EQ(OpenErrorText(missing.OpenError()), "it is not there") << name;
    }
}

// The system words what we have no text of our own for, and names the code it cannot word.
TEST(SystemErrorText, WordsTheSystemsCodes)
{
    EXPECT_EQ(ClassifyOpenError(ERROR_ACCESS_DENIED), OpenProblem::InUse);
    EXPECT_FALSE(SystemErrorText(ERROR_ACCESS_DENIED).empty());
    EXPECT_NE(SystemErrorText(ERROR_ACCESS_DENIED).back(), '\n');
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), "system error " + std::to_string(0x2FFFFFFF));
}

// Run on its own by the script with the scale holding the line (XOFF) once it has 100 bytes, for
// SCALETOOL_TEST_HOLD_SECONDS: a hold it lifts is waited for, one past the bound of no progress
// ends the write short, and the close after it does not wait again.
TEST_F(ComPort, HeldWriteWaitsWhileTheLineCanMove)
{
    const char* seconds = std::getenv("SCALETOOL_TEST_HOLD_SECONDS");
    if (seconds == nullptr || *seconds == '\0')
        GTEST_SKIP() << "SCALETOOL_TEST_HOLD_SECONDS is not set: the scale does not hold the line";
    const bool lifted = std::atoi(seconds) < 10;
    std::vector<bool> heldSeen;
    port_.SetHoldObserver([&](bool held) { heldSeen.push_back(held); });
    // More than the driver and the pseudo-terminal buffer, so the write itself must wait.
    const std::string block(64 * 1024, 'A');
    const auto start = Clock::now();
    const int written = WriteBytes(port_, block.data(), block.size());
    const long long elapsed = MillisSince(start);
    if (lifted) {
        EXPECT_EQ(written, int(block.size()));
        EXPECT_TRUE(Drain(port_));
        EXPECT_EQ(port_.Fault().fault, PortFault::None);
        EXPECT_GE(elapsed, (std::atoi(seconds) - 1) * 1000) << "the write waited for the hold";
    } else {
        EXPECT_LT(written, int(block.size()));
        EXPECT_EQ(port_.Fault().fault, PortFault::Stalled);
        EXPECT_LT(elapsed, 16000) << "the write gives up ten seconds after the line last moved";
    }
    ASSERT_FALSE(heldSeen.empty());
    EXPECT_TRUE(heldSeen.front());
    EXPECT_FALSE(heldSeen.back()) << "the hold's end is told";
    const auto closing = Clock::now();
    port_.Close();
    EXPECT_LT(MillisSince(closing), lifted ? 12000 : 2000) << "a stalled line is not waited for again";
}

// Run on its own by the script: it stops the virtual scale once "opened" appears in
// SCALETOOL_TEST_HANDSHAKE_DIR and answers with "gone".
TEST_F(ComPort, ScaleGoingAwayNeitherHangsNorSpins)
{
    const char* dir = std::getenv("SCALETOOL_TEST_HANDSHAKE_DIR");
    if (dir == nullptr || *dir == '\0')
        GTEST_SKIP() << "SCALETOOL_TEST_HANDSHAKE_DIR is not set: nobody stops the scale";
    const std::filesystem::path handshake(dir);
    ASSERT_EQ(WriteText(port_, "\x11"), 1);
    ASSERT_TRUE(IsFramedReport(Read(15, 100)));
    std::ofstream(handshake / "opened") << "1";
    const auto waitStart = Clock::now();
    while (!std::filesystem::exists(handshake / "gone") && MillisSince(waitStart) < 20000)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(std::filesystem::exists(handshake / "gone"));

    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        EXPECT_EQ(Read(15, 100), "");
        EXPECT_LT(MillisSince(start), 1000);
        EXPECT_GE(MillisSince(start), 90) << "a dead line is not read in a busy loop";
    }
    EXPECT_EQ(port_.Fault().fault, PortFault::HungUp);
    EXPECT_FALSE(CheckLine(port_));
    const auto start = Clock::now();
    (void)WriteText(port_, "\x11");
    port_.Close();
    EXPECT_LT(MillisSince(start), 2000);
}

} // namespace
