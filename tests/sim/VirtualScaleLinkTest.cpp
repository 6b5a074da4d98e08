// The virtual scale through the tool's own serial link, the way the dialogs talk to it.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"
#include "sim/VirtualScale.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class VirtualScaleLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        scale.SetSettlingTime(0ms);
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    }

    void Send(const Bytes& bytes) { ASSERT_EQ(SerialLink::WriteBytes(port, bytes.data(), bytes.size()), int(bytes.size())); }

    Bytes Read(int count, int limitMs = 100)
    {
        Bytes buffer(std::size_t(count), '\0');
        const int n = SerialLink::ReadBytes(port, buffer.data(), count, limitMs);
        buffer.resize(std::size_t(std::max(n, 0)));
        return buffer;
    }

    VirtualScale scale;
    SerialLink::PortHandle port;
};

TEST_F(VirtualScaleLinkTest, ZudCycleFillsThreeReportsThenReadsShort)
{
    scale.PlaceLoad(7.25);
    SerialLink::Purge(port);
    Send(ScaleCommandSet::ReadWeight(SeriesZud, false));
    const int length = ScaleCommandSet::WeightReportLength(SeriesZud, false);
    EXPECT_EQ(Read(length).substr(0, 2), "ww");
    EXPECT_EQ(Read(length).substr(0, 2), "wn");
    EXPECT_EQ(Read(length).substr(0, 2), "wt");
    EXPECT_TRUE(Read(length).empty());
}

TEST_F(VirtualScaleLinkTest, FramedCycleOverAConfiguredPort)
{
    // The link turns on XON/XOFF; the report must still arrive whole.
    scale.PlaceLoad(0.125);
    SerialLink::Purge(port);
    Send(ScaleCommandSet::ReadWeight(SeriesZev, false));
    const Bytes report = Read(ScaleCommandSet::WeightReportLength(SeriesZev, false));
    ASSERT_EQ(report.size(), 15u);
    EXPECT_EQ(report, Bytes("\x01\x02S    0.125k\x03\x04"));
}

TEST_F(VirtualScaleLinkTest, ActiveReturnReportsAfterPostbackSetup)
{
    Send(ScaleCommandSet::SetPostbackFrequency(10));
    const Bytes report = Read(ScaleCommandSet::WeightReportLength(SeriesRivav, true), 500);
    ASSERT_EQ(report.size(), 16u);
    EXPECT_EQ(report.substr(0, 3), "\x01\x02S");
    EXPECT_EQ(report.substr(13, 2), "\x03\x04");
}

TEST_F(VirtualScaleLinkTest, ParameterReadoutSequence)
{
    Send(ScaleCommandSet::SetPostbackFrequency(10));
    ASSERT_EQ(Read(16, 500).size(), 16u);
    Send(ScaleCommandSet::SetPostbackMode(0));
    Read(128);  // the answer to the mode change and reports still in transit
    Send(ScaleCommandSet::ReadParameters());
    Bytes dump;
    const auto start = Clock::now();
    while (dump.find("end") == Bytes::npos && Clock::now() - start < 1000ms)
        dump += Read(128);
    EXPECT_EQ(dump.find("parameter"), 0u) << dump;
    EXPECT_NE(dump.find("end"), Bytes::npos);
    EXPECT_NE(dump.find("BACK=OFF"), Bytes::npos);
}

TEST_F(VirtualScaleLinkTest, CompanyNameAndUploadThroughWriteText)
{
    SerialLink::WriteText(port, ScaleCommandSet::SetCompanyName("\xB2\xE2\xCA\xD4"));  // 测试
    SerialLink::WriteText(port, "plu\r\n");
    SerialLink::WriteText(port, "1[7]<\xC6\xBB\xB9\xFB>\r\n");
    SerialLink::WriteText(port, "end\r\n");
    ASSERT_TRUE(scale.WaitForCommands(4, 1000ms));
    EXPECT_EQ(scale.CompanyName(), "\xB2\xE2\xCA\xD4");
    EXPECT_EQ(scale.UploadedLines(), std::vector<Bytes>{"1[7]<\xC6\xBB\xB9\xFB>"});
}

TEST_F(VirtualScaleLinkTest, StoppedScaleLeavesTheLinkDeadNotHanging)
{
    scale.Stop();
    const auto start = Clock::now();
    EXPECT_TRUE(Read(15, 100).empty());
    EXPECT_LT(Clock::now() - start, 1000ms);
    EXPECT_EQ(SerialLink::WriteBytes(port, "\x11", 1), 0);
    port.Close();
    EXPECT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 0) << "the device is gone";
}

TEST_F(VirtualScaleLinkTest, PortReopenedByTheToolStillAnswers)
{
    port.Close();
    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    Send("\x11");
    EXPECT_EQ(Read(15).size(), 15u);
}

// The scale talks at its own rate only: polls at another rate go unanswered, its own reports
// arrive as noise, and its series decides which poll it answers.
TEST_F(VirtualScaleLinkTest, AnswersOnlyAtItsOwnRateAndToItsOwnSeriesPoll)
{
    struct Case {
        int toolBaud;
        int series;
        Bytes poll;
        bool answered;
    };
    const Case cases[] = {
        {19200, SeriesNone, "\x11", true},  {9600, SeriesNone, "\x11", false}, {57600, SeriesNone, "R", false},
        {19200, SeriesZud, "R", true},       {19200, SeriesZud, "\x11", false}, {19200, SeriesZev, "R", false},
        {19200, SeriesRivav, "\x11", true},
    };
    scale.SetBaudRate(19200);
    for (const Case& c : cases) {
        scale.SetSeries(c.series);
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, c.toolBaud), 1);
        Send(c.poll);
        EXPECT_EQ(!Read(13).empty(), c.answered) << c.toolBaud << " " << c.series << " " << int(c.poll[0]);
    }

    scale.SetPostbackRate(10);
    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 38400), 1);
    const Bytes noise = Read(32, 300);
    ASSERT_FALSE(noise.empty());
    EXPECT_EQ(noise.find('\x01'), Bytes::npos) << "no frame byte survives a wrong rate";
    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 19200), 1);
    const Bytes report = Read(16, 300);
    EXPECT_EQ(report.substr(0, 2), "\x01\x02");
}

} // namespace
