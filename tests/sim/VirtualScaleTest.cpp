// The virtual scale driven from the tool's side of the pseudo-terminal with plain POSIX calls.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "sim/VirtualScale.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The tool's end of the line, opened the way a serial port is.
class ToolSide {
public:
    explicit ToolSide(const std::string& path)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (fd_ >= 0) {
            termios t{};
            ::tcgetattr(fd_, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~ToolSide()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    ToolSide(const ToolSide&) = delete;
    ToolSide& operator=(const ToolSide&) = delete;

    int fd() const { return fd_; }
    bool ok() const { return fd_ >= 0; }

    void Write(const Bytes& bytes) const
    {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads until `count` bytes are in or `limit` has passed.
    Bytes Read(std::size_t count, std::chrono::milliseconds limit = 1000ms) const
    {
        Bytes got;
        const auto deadline = Clock::now() + limit;
        while (got.size() < count) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, int(left.count())) <= 0)
                break;
            char buffer[512];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0)
                break;
            got.append(buffer, std::size_t(n));
        }
        return got;
    }

    // Everything that arrives within `span`.
    Bytes ReadFor(std::chrono::milliseconds span) const { return Read(1 << 20, span); }

private:
    int fd_ = -1;
};

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out += char(b);
    return out;
}

// What the tool's reader makes of one ZUD report: blanks and the marker removed.
std::string ZudValue(Bytes report, const std::string& marker)
{
    report.erase(std::remove(report.begin(), report.end(), ' '), report.end());
    for (auto at = report.find(marker); at != Bytes::npos; at = report.find(marker))
        report.erase(at, marker.size());
    return report;
}

std::string FramedWeight(const Bytes& report)
{
    std::string text = report.substr(3, 9);
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = 2000ms)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

class VirtualScaleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        tool = std::make_unique<ToolSide>(scale.PortPath());
        ASSERT_TRUE(tool->ok());
    }

    // A load that is on the pan and at rest already.
    void SettledLoad(double kg)
    {
        scale.SetSettlingTime(0ms);
        scale.PlaceLoad(kg);
    }

    VirtualScale scale;
    std::unique_ptr<ToolSide> tool;
};

// --- splitting the received stream into commands -------------------------------------------------

struct SplitCase {
    const char* name;
    std::vector<Bytes> writes;  // each a write of its own, 20 ms apart
    std::vector<Bytes> expected;
};

class CommandSplitTest : public VirtualScaleTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(CommandSplitTest, SplitsByTheProtocolGrammar)
{
    scale.SetSilent(true);  // only the splitting is looked at here
    const SplitCase& c = GetParam();
    Bytes all;
    for (std::size_t i = 0; i < c.writes.size(); ++i) {
        if (i > 0)
            std::this_thread::sleep_for(20ms);
        tool->Write(c.writes[i]);
        all += c.writes[i];
    }
    ASSERT_TRUE(scale.WaitForCommands(c.expected.size(), 2000ms));
    std::this_thread::sleep_for(60ms);  // nothing more may come out of it
    EXPECT_EQ(scale.Commands(), c.expected);
    EXPECT_EQ(scale.Received(), all);
}

const Bytes kPostback5 = B({0xAB, 0, 0, 0, 0, 0x80, 0x01, 0x05, 0, 0, 0, 0, 0x31});

INSTANTIATE_TEST_SUITE_P(
    Grammar, CommandSplitTest,
    ::testing::Values(
        SplitCase{"LoneTare", {"T"}, {"T"}},
        SplitCase{"LineTare", {"T\r\n"}, {"T\r\n"}},
        SplitCase{"LoneZero", {"Z"}, {"Z"}},
        SplitCase{"LineZero", {"Z\r\n"}, {"Z\r\n"}},
        SplitCase{"TareThenPoll", {"TR"}, {"T", "R"}},
        SplitCase{"PollsBackToBack", {"R\x11R"}, {"R", "\x11", "R"}},
        SplitCase{"EscNoArgument", {B({0x1B, 0x00, 0xFF})}, {B({0x1B, 0x00, 0xFF})}},
        SplitCase{"EscOneArgument",
                  {B({0x1B, 0x00, 0x03, 0x00, 0x1B, 0x00, 0x01, 0xC0, 0x1B, 0x00, 0x0E, 0x01})},
                  {B({0x1B, 0x00, 0x03, 0x00}), B({0x1B, 0x00, 0x01, 0xC0}), B({0x1B, 0x00, 0x0E, 0x01})}},
        SplitCase{"EscTwoArguments",
                  {B({0x1B, 0x00, 0x02, 0x01, 0x2C, 0x1B, 0x00, 0x0A, 0x02, 0x05, 0x1B, 0x00, 0x0B, 0x01, 0x0F})},
                  {B({0x1B, 0x00, 0x02, 0x01, 0x2C}), B({0x1B, 0x00, 0x0A, 0x02, 0x05}),
                   B({0x1B, 0x00, 0x0B, 0x01, 0x0F})}},
        SplitCase{"EscArgumentThatLooksLikeText", {B({0x1B, 0x00, 0x09, 'R'}) + "R"}, {B({0x1B, 0x00, 0x09, 'R'}), "R"}},
        SplitCase{"PostbackFrame", {kPostback5}, {kPostback5}},
        SplitCase{"FrameWithZeroRate", {ScaleCommandSet::SetPostbackFrequency(0) + "R"},
                  {ScaleCommandSet::SetPostbackFrequency(0), "R"}},
        SplitCase{"TwoCommandsInOneWrite", {"Co.Shop\r\n" + B({0x1B, 0x00, 0x05, 0x01})},
                  {"Co.Shop\r\n", B({0x1B, 0x00, 0x05, 0x01})}},
        SplitCase{"TextLinesInOneWrite", {"baud:9600\r\ncode:020\r\ng=9.788300\r\n15,5\r\n"},
                  {"baud:9600\r\n", "code:020\r\n", "g=9.788300\r\n", "15,5\r\n"}},
        SplitCase{"GravityPositionIsOneCommand", {"Lat=23.12\r\nASL=0050\r\n"}, {"Lat=23.12\r\nASL=0050\r\n"}},
        SplitCase{"LineSplitAcrossWrites", {"Co.Sh", "op\r\n"}, {"Co.Shop\r\n"}},
        SplitCase{"LineEndSplitAcrossWrites", {"plu\r", "\n"}, {"plu\r\n"}},
        SplitCase{"EscSplitAcrossWrites", {B({0x1B, 0x00}), B({0x02, 0x01, 0x2C})}, {B({0x1B, 0x00, 0x02, 0x01, 0x2C})}},
        SplitCase{"FrameSplitAcrossWrites", {kPostback5.substr(0, 6), kPostback5.substr(6)}, {kPostback5}},
        SplitCase{"UploadBlock", {"plu\r\n", "1[1001]<Apple>3.50\r\n", "2[]<>\r\n", "end\r\n"},
                  {"plu\r\n", "1[1001]<Apple>3.50\r\n", "2[]<>\r\n", "end\r\n"}},
        SplitCase{"UnfinishedLineKeptWhole", {"baud:96"}, {"baud:96"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VirtualScaleTest, LoneTareIsSettledBeforeWhatFollowsLater)
{
    scale.SetSilent(true);
    const auto sent = Clock::now();
    tool->Write("T");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    // Settled by the short wait for a line end, well before an unfinished command would be kept.
    EXPECT_LT(Clock::now() - sent, 150ms);
    tool->Write("\r\n");
    ASSERT_TRUE(scale.WaitForCommands(2, 1000ms));
    EXPECT_EQ(scale.Commands(), (std::vector<Bytes>{"T", "\r\n"}));
}

TEST_F(VirtualScaleTest, WaitForCommandsTimesOutAndClearStartsAfresh)
{
    scale.SetSilent(true);
    EXPECT_FALSE(scale.WaitForCommands(1, 50ms));
    tool->Write("RR");
    ASSERT_TRUE(scale.WaitForCommands(2, 1000ms));
    scale.ClearReceived();
    EXPECT_TRUE(scale.Commands().empty());
    EXPECT_TRUE(scale.Received().empty());
    tool->Write("\x11");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    EXPECT_EQ(scale.Commands(), std::vector<Bytes>{"\x11"});
}

// --- weight reports --------------------------------------------------------------------------------

TEST_F(VirtualScaleTest, ZudPollGetsGrossNetAndTareReports)
{
    SettledLoad(1.234);
    tool->Write("R");
    const Bytes answer = tool->Read(39);
    ASSERT_EQ(answer.size(), 39u);
    EXPECT_TRUE(tool->ReadFor(50ms).empty()) << "three reports, nothing more";
    const std::string markers[] = {"ww", "wn", "wt"};
    const std::string values[] = {"1.234", "1.234", "0.000"};
    for (int i = 0; i < 3; ++i) {
        const Bytes report = answer.substr(std::size_t(13 * i), 13);
        EXPECT_EQ(report.substr(0, 2), markers[i]);
        EXPECT_EQ(ZudValue(report, markers[i]), values[i]) << report;
    }
}

TEST_F(VirtualScaleTest, FramedPollGetsFifteenByteReport)
{
    SettledLoad(12.5);
    tool->Write("\x11");
    const Bytes report = tool->Read(15);
    ASSERT_EQ(report.size(), 15u);
    EXPECT_TRUE(tool->ReadFor(50ms).empty());
    EXPECT_EQ(report[0], '\x01');
    EXPECT_EQ(report[1], '\x02');
    EXPECT_EQ(report[2], 'S');
    EXPECT_EQ(report.substr(3, 9), "   12.500");
    EXPECT_EQ(report[13], '\x03');
    EXPECT_EQ(report[14], '\x04');
}

TEST_F(VirtualScaleTest, NegativeWeightFitsTheFields)
{
    SettledLoad(-0.25);
    tool->Write("\x11");
    EXPECT_EQ(FramedWeight(tool->Read(15)), "-0.250");
    tool->Write("R");
    EXPECT_EQ(ZudValue(tool->Read(13), "ww"), "-0.250");
}

TEST_F(VirtualScaleTest, NewLoadMovesUnstableThenSettlesExactly)
{
    scale.SetSettlingTime(600ms);
    scale.PlaceLoad(2.0);
    EXPECT_FALSE(scale.IsStable());
    tool->Write("\x11");
    const Bytes moving = tool->Read(15);
    ASSERT_EQ(moving.size(), 15u);
    EXPECT_EQ(moving[2], 'U');

    bool swungPast = false;
    const auto start = Clock::now();
    while (!scale.IsStable() && Clock::now() - start < 2s) {
        swungPast = swungPast || scale.DisplayedWeight() > 2.0;
        std::this_thread::sleep_for(5ms);
    }
    const auto took = Clock::now() - start;
    ASSERT_TRUE(scale.IsStable());
    EXPECT_GE(took, 400ms);
    EXPECT_LE(took, 1200ms);
    EXPECT_TRUE(swungPast) << "a loaded pan overshoots a little";
    EXPECT_DOUBLE_EQ(scale.DisplayedWeight(), 2.0);

    tool->Write("\x11");
    const Bytes settled = tool->Read(15);
    ASSERT_EQ(settled.size(), 15u);
    EXPECT_EQ(settled[2], 'S');
    EXPECT_EQ(FramedWeight(settled), "2.000");
}

TEST_F(VirtualScaleTest, TareTakesTheGrossAndNetFollows)
{
    SettledLoad(0.5);
    tool->Write("T");
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() == 0.5; }));
    tool->Write("R");
    const Bytes answer = tool->Read(39);
    ASSERT_EQ(answer.size(), 39u);
    EXPECT_EQ(ZudValue(answer.substr(0, 13), "ww"), "0.500");
    EXPECT_EQ(ZudValue(answer.substr(13, 13), "wn"), "0.000");
    EXPECT_EQ(ZudValue(answer.substr(26, 13), "wt"), "0.500");

    scale.PlaceLoad(2.0);
    tool->Write("\x11");
    EXPECT_EQ(FramedWeight(tool->Read(15)), "1.500") << "framed reports carry the net weight";

    scale.PlaceLoad(1.0);
    tool->Write("T\r\n");
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() == 1.0; }));
    EXPECT_DOUBLE_EQ(scale.NetWeight(), 0.0);
}

TEST_F(VirtualScaleTest, TareWhileMovingWaitsForRest)
{
    scale.SetSettlingTime(300ms);
    scale.PlaceLoad(1.0);
    tool->Write("T");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    ASSERT_TRUE(WaitUntil([&] { return scale.IsStable(); }));
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() == 1.0; }, 500ms)) << scale.Tare();
    EXPECT_DOUBLE_EQ(scale.NetWeight(), 0.0);
}

TEST_F(VirtualScaleTest, ZeroOnlyNearZero)
{
    SettledLoad(0.3);  // within a few per cent of 15 kg
    tool->Write("Z");
    ASSERT_TRUE(WaitUntil([&] { return scale.DisplayedWeight() == 0.0; }));
    scale.PlaceLoad(1.3);
    EXPECT_NEAR(scale.DisplayedWeight(), 1.0, 1e-9) << "zero moved by what was on the pan";
    tool->Write("T");
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() != 0.0; }));
    EXPECT_NEAR(scale.Tare(), 1.0, 1e-9) << "tare is taken from the zeroed reading";

    scale.PlaceLoad(6.3);
    tool->Write("Z\r\n");
    ASSERT_TRUE(scale.WaitForCommands(3, 1000ms));
    std::this_thread::sleep_for(50ms);
    EXPECT_NEAR(scale.DisplayedWeight(), 6.0, 1e-9) << "a loaded pan is not zeroed";
    EXPECT_NEAR(scale.Tare(), 1.0, 1e-9) << "an ignored zero leaves the tare";
}

TEST_F(VirtualScaleTest, ZeroClearsTare)
{
    SettledLoad(0.2);
    tool->Write("T");
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() == 0.2; }));
    tool->Write("Z");
    ASSERT_TRUE(WaitUntil([&] { return scale.Tare() == 0.0; }));
    EXPECT_DOUBLE_EQ(scale.DisplayedWeight(), 0.0);
}

// --- reporting by itself ---------------------------------------------------------------------------

int CountPostbackReports(const Bytes& bytes, bool* wellFormed)
{
    *wellFormed = bytes.size() % 16 == 0;
    for (std::size_t at = 0; at + 16 <= bytes.size(); at += 16) {
        const Bytes r = bytes.substr(at, 16);
        *wellFormed = *wellFormed && r[0] == '\x01' && r[1] == '\x02' && r[13] == '\x03' && r[14] == '\x04'
            && r[15] == '\r';
    }
    return int(bytes.size() / 16);
}

TEST_F(VirtualScaleTest, PostbackFrameStartsAndStopsReportsAtTheRate)
{
    SettledLoad(3.0);
    tool->Write(kPostback5);
    ASSERT_TRUE(WaitUntil([&] { return scale.PostbackRate() == 5; }));
    const Bytes second = tool->ReadFor(1000ms);
    bool wellFormed = false;
    const int count = CountPostbackReports(second, &wellFormed);
    EXPECT_TRUE(wellFormed);
    EXPECT_GE(count, 4);
    EXPECT_LE(count, 6);
    EXPECT_EQ(FramedWeight(second.substr(0, 16)), "3.000");

    tool->Write(ScaleCommandSet::SetPostbackFrequency(0));
    ASSERT_TRUE(WaitUntil([&] { return scale.PostbackRate() == 0; }));
    tool->ReadFor(50ms);  // one may have been on its way
    EXPECT_TRUE(tool->ReadFor(400ms).empty());
}

TEST_F(VirtualScaleTest, PostbackModeCommandSetsRateAndStops)
{
    tool->Write(B({0x1B, 0x00, 0x03, 0x0A}));
    ASSERT_TRUE(WaitUntil([&] { return scale.PostbackRate() == 10; }));
    bool wellFormed = false;
    const int count = CountPostbackReports(tool->ReadFor(500ms), &wellFormed);
    EXPECT_TRUE(wellFormed);
    EXPECT_GE(count, 4);
    EXPECT_LE(count, 6);

    tool->Write(B({0x1B, 0x00, 0x03, 0x00}));
    ASSERT_TRUE(WaitUntil([&] { return scale.PostbackRate() == 0; }));
    tool->ReadFor(50ms);
    EXPECT_TRUE(tool->ReadFor(300ms).empty());
}

TEST_F(VirtualScaleTest, MalformedPostbackFramesAreIgnored)
{
    Bytes badSum = kPostback5;
    badSum[12] = char(0x32);
    Bytes tooFast = ScaleCommandSet::SetPostbackFrequency(11);
    tool->Write(badSum + tooFast);
    ASSERT_TRUE(scale.WaitForCommands(2, 1000ms));
    EXPECT_EQ(scale.PostbackRate(), 0);
    EXPECT_TRUE(tool->ReadFor(300ms).empty());
}

TEST_F(VirtualScaleTest, StableBackReportsWhenTheReadingComesToRest)
{
    scale.SetSettlingTime(200ms);
    tool->Write(B({0x1B, 0x00, 0x03, 0x0F}));
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    EXPECT_EQ(scale.PostbackRate(), 0);
    scale.PlaceLoad(4.0);
    const Bytes report = tool->Read(16, 1000ms);
    ASSERT_EQ(report.size(), 16u);
    EXPECT_EQ(report[2], 'S');
    EXPECT_EQ(FramedWeight(report), "4.000");
    EXPECT_TRUE(tool->ReadFor(300ms).empty()) << "one report per coming to rest";
}

// --- parameter dump --------------------------------------------------------------------------------

TEST_F(VirtualScaleTest, DumpArrivesInPiecesFromParameterToEnd)
{
    tool->Write(B({0x1B, 0x00, 0xFF}));
    std::vector<Bytes> pieces;
    Bytes dump;
    const auto deadline = Clock::now() + 1000ms;
    while (dump.find("end") == Bytes::npos && Clock::now() < deadline) {
        const Bytes piece = tool->Read(1, 200ms);
        if (piece.empty())
            continue;
        // Collect whatever is there right now, as one block.
        std::this_thread::sleep_for(2ms);
        pollfd p{tool->fd(), POLLIN, 0};
        Bytes block = piece;
        while (::poll(&p, 1, 0) > 0) {
            char buffer[512];
            const ssize_t n = ::read(tool->fd(), buffer, sizeof buffer);
            if (n <= 0)
                break;
            block.append(buffer, std::size_t(n));
        }
        pieces.push_back(block);
        dump += block;
    }
    dump += tool->ReadFor(50ms);
    EXPECT_EQ(dump.rfind("parameter\r\n", 0), 0u) << dump;
    ASSERT_GE(dump.size(), 5u);
    EXPECT_EQ(dump.substr(dump.size() - 5), "end\r\n");
    EXPECT_EQ(dump.find("end"), dump.size() - 5) << "no other \"end\" inside";
    EXPECT_NE(dump.find("CAP=15kg\r\n"), Bytes::npos);
    EXPECT_GE(pieces.size(), 2u) << "sent in chunks";
}

TEST_F(VirtualScaleTest, DumpListsWhatTheScaleWasTold)
{
    tool->Write(B({0x1B, 0x00, 0x02, 0x01, 0x2C}) + "code:0755\r\n" + "30,10\r\n" + ScaleCommandSet::SetPostbackFrequency(3)
                + B({0x1B, 0x00, 0x03, 0x00}) + B({0x1B, 0x00, 0xFF}));
    Bytes dump = tool->Read(1 << 16, 600ms);
    EXPECT_NE(dump.find("DIV=300g\r\n"), Bytes::npos) << dump;
    EXPECT_NE(dump.find("CODE=0755\r\n"), Bytes::npos);
    EXPECT_NE(dump.find("CAP=30kg\r\nDIV"), Bytes::npos);
    EXPECT_NE(dump.find("CAL=10kg\r\n"), Bytes::npos);
    EXPECT_NE(dump.find("BACK=OFF\r\n"), Bytes::npos);
}

TEST_F(VirtualScaleTest, ParameterDumpCanBeReplaced)
{
    const Bytes custom = "xx parameter\r\nA=1\r\nend\r\ntrailing";
    scale.SetParameterDump(custom);
    tool->Write(B({0x1B, 0x00, 0xFF}));
    EXPECT_EQ(tool->Read(custom.size() + 10, 600ms), custom);
}

// --- company name and upload -----------------------------------------------------------------------

TEST_F(VirtualScaleTest, CompanyNameKeepsGbkBytes)
{
    const Bytes name = "\xC9\xCF\xBA\xA3\xB3\xAC\xCA\xD0 Shop";  // 上海超市 in GBK
    tool->Write("Co." + name + "\r\n");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    EXPECT_EQ(scale.CompanyName(), name);
    tool->Write("Co.\r\n");
    ASSERT_TRUE(scale.WaitForCommands(2, 1000ms));
    EXPECT_EQ(scale.CompanyName(), "");
}

TEST_F(VirtualScaleTest, UploadBlockCollectsLinesUntilEnd)
{
    const std::vector<Bytes> lines = {"1[1001]<\xC6\xBB\xB9\xFB>3.50", "2[]<>", "3[R]<T\r>1"};
    tool->Write("plu\r\n");
    for (const Bytes& line : lines)
        tool->Write(line + "\r\n");
    ASSERT_TRUE(scale.WaitForCommands(1 + lines.size(), 1000ms));
    EXPECT_TRUE(scale.UploadedLines().empty()) << "only a finished block counts";
    tool->Write("\x11");  // the weight reader may poll in between
    EXPECT_EQ(tool->Read(15).size(), 15u);
    tool->Write("end\r\n");
    ASSERT_TRUE(scale.WaitForCommands(lines.size() + 3, 1000ms));
    EXPECT_EQ(scale.UploadedLines(), lines);
}

TEST_F(VirtualScaleTest, UploadLinesTheSameAsTheCommandSetBuilds)
{
    std::vector<Bytes> expected;
    Bytes block = "plu\r\n";
    for (int i = 1; i <= 200; ++i) {
        expected.push_back(std::to_string(i) + "[]<>");
        block += expected.back() + "\r\n";
    }
    tool->Write(block + "end\r\n");
    ASSERT_TRUE(scale.WaitForCommands(202, 2000ms));
    EXPECT_EQ(scale.UploadedLines(), expected);
}

// --- test controls ---------------------------------------------------------------------------------

TEST_F(VirtualScaleTest, SilentScaleRecordsButAnswersNothing)
{
    scale.SetSilent(true);
    tool->Write("R");
    tool->Write("\x11");
    tool->Write(B({0x1B, 0x00, 0xFF}));
    ASSERT_TRUE(scale.WaitForCommands(3, 1000ms));
    EXPECT_TRUE(tool->ReadFor(300ms).empty());
    scale.SetSilent(false);
    tool->Write("\x11");
    EXPECT_EQ(tool->Read(15).size(), 15u);
}

TEST_F(VirtualScaleTest, QueuedRepliesAnswerOnePollEach)
{
    SettledLoad(1.0);
    scale.QueueReply("first");
    scale.QueueReply(B({0x01, 0x02, 'S', 0x00}));
    tool->Write("R");
    EXPECT_EQ(tool->Read(5), "first");
    EXPECT_TRUE(tool->ReadFor(50ms).empty());
    tool->Write("\x11");
    EXPECT_EQ(tool->Read(4), B({0x01, 0x02, 'S', 0x00}));
    EXPECT_TRUE(tool->ReadFor(50ms).empty());
    tool->Write("R");
    EXPECT_EQ(ZudValue(tool->Read(13), "ww"), "1.000") << "back to generated reports";
}

TEST_F(VirtualScaleTest, SendRawAndCalibrationLinesReachTheTool)
{
    scale.SendRaw(B({0x00, 0xFF, 'x'}));
    EXPECT_EQ(tool->Read(3), B({0x00, 0xFF, 'x'}));
    scale.SendCalibrationLines("C 15\r\nF 5\r\nW 0.000\r\n");
    EXPECT_EQ(tool->Read(20), "C 15\r\nF 5\r\nW 0.000\r\n");
    EXPECT_TRUE(scale.Commands().empty()) << "the scale's own bytes are not recorded";
}

TEST_F(VirtualScaleTest, AnswersPromptly)
{
    SettledLoad(1.0);
    const auto start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        tool->Write("\x11");
        ASSERT_EQ(tool->Read(15).size(), 15u);
    }
    EXPECT_LT(Clock::now() - start, 1000ms);
}

// --- the line itself -------------------------------------------------------------------------------

TEST_F(VirtualScaleTest, ToolCanCloseAndReopenThePort)
{
    tool.reset();
    tool = std::make_unique<ToolSide>(scale.PortPath());
    ASSERT_TRUE(tool->ok());
    tool->Write("\x11");
    EXPECT_EQ(tool->Read(15).size(), 15u);
    EXPECT_TRUE(scale.IsRunning());
}

TEST_F(VirtualScaleTest, StopMakesThePortGoAway)
{
    scale.Stop();
    EXPECT_FALSE(scale.IsRunning());
    pollfd p{tool->fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    char byte;
    errno = 0;
    const ssize_t n = ::read(tool->fd(), &byte, 1);
    EXPECT_TRUE(n == 0 || (n < 0 && errno == EIO));
    errno = 0;
    EXPECT_EQ(::write(tool->fd(), "R", 1), -1);
    EXPECT_EQ(errno, EIO);
    scale.Stop();  // twice is harmless
}

TEST_F(VirtualScaleTest, RestartsOnAFreshPort)
{
    tool->Write("R");
    ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    scale.Stop();
    tool.reset();
    ASSERT_TRUE(scale.Start());
    EXPECT_TRUE(scale.Start()) << "starting a running scale changes nothing";
    ToolSide again(scale.PortPath());
    ASSERT_TRUE(again.ok());
    again.Write("\x11");
    EXPECT_EQ(again.Read(15).size(), 15u);
    EXPECT_EQ(scale.Commands(), (std::vector<Bytes>{"R", "\x11"}));
}

TEST(VirtualScaleLifetime, DestroyedWhileReportingAndWithoutStart)
{
    {
        VirtualScale idle;  // never started
        EXPECT_FALSE(idle.IsRunning());
        idle.SendRaw("x");
    }
    VirtualScale scale;
    ASSERT_TRUE(scale.Start());
    ToolSide tool(scale.PortPath());
    tool.Write(B({0x1B, 0x00, 0x03, 0x0A}) + B({0x1B, 0x00, 0xFF}));
    ASSERT_TRUE(scale.WaitForCommands(2, 1000ms));
    // Leaves with reports and dump chunks still due.
}

TEST(VirtualScaleLifetime, ReportsPileUpBoundedWhileNobodyReads)
{
    VirtualScale scale;
    ASSERT_TRUE(scale.Start());
    {
        ToolSide tool(scale.PortPath());
        tool.Write(B({0x1B, 0x00, 0x03, 0x0A}));
        ASSERT_TRUE(scale.WaitForCommands(1, 1000ms));
    }
    for (int i = 0; i < 2000; ++i)
        scale.SendRaw(Bytes(64, 'x'));  // far more than the line holds
    ToolSide tool(scale.PortPath());
    tcflush(tool.fd(), TCIOFLUSH);
    tool.Write(B({0x1B, 0x00, 0x03, 0x00}));
    EXPECT_TRUE(WaitUntil([&] { return scale.PostbackRate() == 0; }));
}

} // namespace
