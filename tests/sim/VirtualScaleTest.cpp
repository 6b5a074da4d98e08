// The virtual scale end to end, through the tool's own link on each line it answers on (its
// pseudo-terminal, its loopback TCP port): the line's timers and its one line rate. What it answers is ScaleModelTest's; how it cuts what it
// receives, CommandSplitterTest's.

#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"
#include "support/ScaleLines.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

class VirtualScaleTest : public ::testing::TestWithParam<VirtualScale::LineKind> {
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

    VirtualScale scale = ScaleLines::On(GetParam());
    SerialLink::PortHandle port;
};

INSTANTIATE_TEST_SUITE_P(Lines, VirtualScaleTest, ::testing::ValuesIn(ScaleLines::Available()), ScaleLines::Name);

TEST_P(VirtualScaleTest, RecordsCommandsAsTheyCompleteAndSendsTheDumpInTimedPieces)
{
    Send("T");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms)) << "a lone T is a command once the line is quiet";
    const auto asked = Clock::now();
    Send(ScaleCommandSet::ReadParameters());
    Bytes dump;
    while (dump.find("end\r\n") == Bytes::npos && Clock::now() - asked < 1000ms)
        dump += Read(512, 20);
    const auto took = Clock::now() - asked;
    EXPECT_EQ(dump.rfind("parameter\r\nMODEL=VS-15\r\n", 0), 0u) << dump;
    EXPECT_EQ(dump.find("end\r\n"), dump.size() - 5);
    const auto lastPiece = 5ms + 15ms * int((dump.size() - 1) / 48);
    EXPECT_GE(took, lastPiece) << "the pieces leave one after another";
    EXPECT_EQ(scale.Commands(), (std::vector<Bytes>{"T", ScaleCommandSet::ReadParameters()}));
    EXPECT_EQ(scale.Received(), "T" + ScaleCommandSet::ReadParameters());

    scale.ClearReceived();
    EXPECT_TRUE(scale.Commands().empty());
    EXPECT_TRUE(scale.Received().empty());
    // Left running with reports due: it stops cleanly when it goes.
    scale.SetPostbackRate(10);
    EXPECT_EQ(Read(16, 500).size(), 16u);
}

// With wire time the scale takes the bytes as the line's rate carries them: 960 bytes at 9600 baud
// take a second, at 19200 half of it; without, they are in at once. Where the tool's rate
// cannot be seen (over TCP), they come at the scale's own rate.
TEST_P(VirtualScaleTest, WireTimeTakesBytesAtTheLineRate)
{
    struct Case {
        bool wireTime;
        int baud;
        std::chrono::milliseconds atLeast, atMost;
    };
    Bytes upload;
    for (int line = 0; line < 96; ++line)
        upload += "1[A1]<B>\r\n";  // 10 bytes
    const bool tcp = !ScaleLines::CarriesRate(scale);
    const Case atScaleRate{true, 19200, 950ms, 1500ms};
    for (const Case& c : {Case{false, 9600, 0ms, 300ms}, Case{true, 9600, 950ms, 1500ms},
                          tcp ? atScaleRate : Case{true, 19200, 450ms, 900ms}}) {
        scale.ClearReceived();
        scale.SetWireTime(c.wireTime);
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, c.baud), 1);
        const auto started = Clock::now();
        Send(upload);
        ASSERT_TRUE(scale.WaitForReceived(upload.size(), 3s)) << c.wireTime << " " << c.baud;
        const auto took = Clock::now() - started;
        EXPECT_GE(took, c.atLeast) << c.wireTime << " " << c.baud;
        EXPECT_LE(took, c.atMost) << c.wireTime << " " << c.baud;
        EXPECT_EQ(scale.Received(), upload);
    }
}

// The scale talks at its own rate only: polls at another rate go unanswered, its own reports
// arrive as noise, and its series decides which poll it answers.
TEST_P(VirtualScaleTest, AnswersOnlyAtItsOwnRateAndToItsOwnSeriesPoll)
{
    if (!ScaleLines::CarriesRate(scale))
        GTEST_SKIP() << ScaleLines::kNoRate;
    struct Case {
        int toolBaud;
        ScaleSeries series;
        Bytes poll;
        bool answered;
    };
    const Case cases[] = {
        {19200, ScaleSeries::None, "\x11", true}, {9600, ScaleSeries::None, "\x11", false},
        {57600, ScaleSeries::None, "R", false},   {19200, ScaleSeries::Zud, "R", true},
        {19200, ScaleSeries::Zud, "\x11", false}, {19200, ScaleSeries::Zev, "R", false},
        {19200, ScaleSeries::Rivav, "\x11", true},
    };
    scale.SetBaudRate(19200);
    for (const Case& c : cases) {
        scale.SetSeries(c.series);
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, c.toolBaud), 1);
        Send(c.poll);
        EXPECT_EQ(!Read(13).empty(), c.answered) << c.toolBaud << " " << int(c.series) << " " << int(c.poll[0]);
    }
    EXPECT_EQ(scale.Commands().size(), 5u) << "what came at another rate made no sense to it";

    scale.SetPostbackRate(10);
    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 38400), 1);
    const Bytes noise = Read(32, 300);
    ASSERT_FALSE(noise.empty());
    EXPECT_EQ(noise.find('\x01'), Bytes::npos) << "no frame byte survives a wrong rate";
    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 19200), 1);
    EXPECT_EQ(Read(16, 300).substr(0, 2), "\x01\x02");
}

} // namespace
