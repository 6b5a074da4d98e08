// The link against the virtual scale on each line it answers on (a pseudo-terminal, a loopback TCP
// port): the reading cycle's exchange, a silent scale and a pulled cable, as the tool meets them.

#include "link/SerialLink.h"
#include "sim/VirtualScale.h"
#include "support/ScaleLines.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

using namespace SerialLink;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

long long MillisSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class SerialLinkVirtualScale : public ::testing::TestWithParam<VirtualScale::LineKind> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        scale.SetSettlingTime(0ms);
        ASSERT_EQ(OpenSerialPort(scale.PortPath(), port, 9600), 1);
    }

    // One reading cycle: purge, poll, read the framed report.
    std::string PollFramed(int limitMs = 100)
    {
        Purge(port);
        if (WriteBytes(port, "\x11", 1) != 1)
            return "write failed";
        std::string report(15, '\0');
        const int n = ReadBytes(port, report.data(), 15, limitMs);
        report.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return report;
    }

    VirtualScale scale = ScaleLines::On(GetParam());
    PortHandle port;
};

INSTANTIATE_TEST_SUITE_P(Lines, SerialLinkVirtualScale, ::testing::ValuesIn(ScaleLines::Available()), ScaleLines::Name);

TEST_P(SerialLinkVirtualScale, PollBringsAFramedReport)
{
    scale.PlaceLoad(2.5);
    const std::string report = PollFramed();
    ASSERT_EQ(report.size(), 15u);
    EXPECT_EQ(report.substr(0, 2), "\x01\x02");
    EXPECT_EQ(report[2], 'S');
    EXPECT_NE(report.substr(3, 9).find("2.5"), std::string::npos) << report;
    EXPECT_EQ(report.substr(13, 2), "\x03\x04");
    ASSERT_TRUE(scale.WaitForCommands(1, 500ms));
    EXPECT_EQ(scale.Commands().front(), "\x11") << "the poll byte passes the XON/XOFF line unchanged";
}

TEST_P(SerialLinkVirtualScale, EveryCycleOfAReadingRunGetsItsReport)
{
    scale.PlaceLoad(0.75);
    for (int cycle = 0; cycle < 20; ++cycle)
        ASSERT_EQ(PollFramed().size(), 15u) << "cycle " << cycle;
    ASSERT_TRUE(scale.WaitForCommands(20, 1000ms));
    for (const Bytes& command : scale.Commands())
        EXPECT_EQ(command, "\x11");
}

TEST_P(SerialLinkVirtualScale, ExactRepliesArriveWhole)
{
    const Bytes odd("\x01\x02U -0.010kg\x03\x04", 15);
    scale.QueueReply(odd);
    EXPECT_EQ(PollFramed(), odd);
}

TEST_P(SerialLinkVirtualScale, SilentScaleCostsOneLimit)
{
    scale.SetSilent(true);
    const auto start = Clock::now();
    EXPECT_EQ(PollFramed(100), "");
    const long long elapsed = MillisSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LE(elapsed, 160);
    ASSERT_TRUE(scale.WaitForCommands(1, 500ms));
    EXPECT_EQ(scale.Received(), "\x11");
}

TEST_P(SerialLinkVirtualScale, PulledCableDoesNotHang)
{
    ASSERT_EQ(PollFramed().size(), 15u);
    scale.Stop();
    // A bridge passes the hang-up on once it has noticed the scale went.
    const auto stopped = Clock::now();
    while (GetParam() == VirtualScale::LineKind::Bridged && CheckLine(port) && MillisSince(stopped) < 2000)
        std::this_thread::sleep_for(20ms);
    // Through Wine's serial driver a failing call takes longer than on a pseudo-terminal.
    const long long slackMs = GetParam() == VirtualScale::LineKind::Bridged ? 150 : 0;
    for (int cycle = 0; cycle < 3; ++cycle) {
        const auto start = Clock::now();
        Purge(port);
        EXPECT_EQ(WriteBytes(port, "\x11", 1), 0) << cycle;
        EXPECT_LT(MillisSince(start), 50 + slackMs) << "a write to a dead port fails at once";
        char report[15];
        EXPECT_EQ(ReadBytes(port, report, 15, 100), 0) << cycle;
        EXPECT_LE(MillisSince(start), 100 + 60 + slackMs) << cycle;
    }
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

} // namespace

namespace {

// Over TCP a tool that opens the port again (after a crash, say) takes the line from the
// connection before, which then finds its scale gone.
TEST(SerialLinkVirtualScaleTcp, NewerConnectionTakesTheLine)
{
    VirtualScale scale(VirtualScale::LineKind::Tcp);
    ASSERT_TRUE(scale.Start());
    ASSERT_EQ(scale.PortPath().rfind("socket://127.0.0.1:", 0), 0u) << scale.PortPath();
    PortHandle first, second;
    ASSERT_EQ(OpenSerialPort(scale.PortPath(), first, 9600), 1);
    ASSERT_EQ(WriteBytes(first, "\x11", 1), 1);
    char report[15];
    ASSERT_EQ(ReadBytes(first, report, 15, 200), 15);
    ASSERT_EQ(OpenSerialPort(scale.PortPath(), second, 9600), 1);
    ASSERT_EQ(WriteBytes(second, "\x11", 1), 1);
    EXPECT_EQ(ReadBytes(second, report, 15, 200), 15);
    EXPECT_EQ(ReadBytes(first, report, 15, 200), 0);
    EXPECT_EQ(first.Fault().fault, PortFault::HungUp);
}

} // namespace
