// Finding scales: what counts as an answer, and scans over virtual scales and a silent line. The
// scans at several rates need lines with a rate (pseudo-terminals); on Windows the finder is tried
// over the virtual scale's TCP line here and over COM ports by the Windows test script.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/ScaleCommandSet.h"
#include "link/ScaleFinder.h"
#include "support/ScaleSetUp.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "link/SerialLinkTestSupport.h"
#endif

using namespace std::chrono_literals;
using ScaleFinder::Answer;
using ScaleFinder::Probe;
using ScaleFinder::ReportForm;

namespace {

const std::vector<int> kRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out += char(b);
    return out;
}

const Bytes kFramed = "\x01\x02S    0.125k\x03\x04";  // 15 bytes
const Bytes kUnasked = kFramed + "\r";               // 16 bytes

struct ClassifyCase {
    const char* name;
    Probe probe;
    Bytes answer;
    std::optional<Answer> expected;
};

class ClassifyTest : public ::testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyTest, TakesOnlyWholeReportsOfAKnownForm)
{
    EXPECT_EQ(ScaleFinder::Classify(GetParam().probe, GetParam().answer), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ClassifyTest,
    ::testing::Values(
        ClassifyCase{"ZudReport", Probe::ZudPoll, "ww      1.234", Answer{ReportForm::Zud, ScaleSeries::Zud, "1.234"}},
        ClassifyCase{"ZudReportsBackToBack", Probe::ZudPoll, "wn     -0.500ww      1.000",
                     Answer{ReportForm::Zud, ScaleSeries::Zud, "-0.500"}},
        ClassifyCase{"ZudZeroPadded", Probe::ZudPoll, Bytes("wt 0.2", 6) + Bytes(7, '\0'), Answer{ReportForm::Zud, ScaleSeries::Zud, "0.2"}},
        ClassifyCase{"PolledFramed", Probe::FramedPoll, kFramed, Answer{ReportForm::PolledFramed, ScaleSeries::Zev, "0.125"}},
        ClassifyCase{"UnaskedWhileListening", Probe::Listen, kUnasked, Answer{ReportForm::Unasked, ScaleSeries::Rivav, "0.125"}},
        ClassifyCase{"UnaskedAfterATail", Probe::Listen, Bytes("5k\x03\x04\r") + kUnasked,
                     Answer{ReportForm::Unasked, ScaleSeries::Rivav, "0.125"}},
        ClassifyCase{"UnaskedDuringTheZudPoll", Probe::ZudPoll, kUnasked, Answer{ReportForm::Unasked, ScaleSeries::Rivav, "0.125"}},
        ClassifyCase{"ZudPartial", Probe::ZudPoll, "ww      1.2", std::nullopt},
        ClassifyCase{"FramedPartial", Probe::FramedPoll, kFramed.substr(0, 14), std::nullopt},
        ClassifyCase{"FramedWithoutItsSixteenthByteWhileListening", Probe::Listen, kFramed, std::nullopt},
        ClassifyCase{"FramedBadEnd", Probe::FramedPoll, "\x01\x02S    0.125k\x03\x05", std::nullopt},
        ClassifyCase{"FramedJunkWeight", Probe::FramedPoll, "\x01\x02S  abcdefgk\x03\x04", std::nullopt},
        ClassifyCase{"FramedAfterJunk", Probe::FramedPoll, "x" + kFramed, std::nullopt},
        ClassifyCase{"ZudWithoutMarker", Probe::ZudPoll, "xx      1.234", std::nullopt},
        ClassifyCase{"ZudMarkerWithoutNumber", Probe::ZudPoll, "ww     hello", std::nullopt},
        ClassifyCase{"ZudWithControlBytes", Probe::ZudPoll, "ww    \x01\x02 1.234", std::nullopt},
        ClassifyCase{"ZudTextAfterTheFramedPoll", Probe::FramedPoll, "ww      1.234ww", std::nullopt},
        ClassifyCase{"FramedAfterTheZudPoll", Probe::ZudPoll, kFramed, std::nullopt},
        ClassifyCase{"Nothing", Probe::Listen, "", std::nullopt},
        ClassifyCase{"Junk", Probe::FramedPoll, "\xFF\xFE\x00\x13\x11junk junk!", std::nullopt},
        // A framed report sent at 9600 and read at 19200: each byte turns into two, none of them right.
        ClassifyCase{"WrongRateNoise", Probe::Listen,
                     B({0x80, 0xFF, 0x81, 0xFF, 0xA9, 0xFF, 0x90, 0xFF, 0x90, 0xFF, 0x90, 0xFF, 0x90, 0xFF, 0x98,
                        0xFF, 0x97, 0xFF, 0x98, 0xFF, 0x99, 0xFF, 0x9A, 0xFF, 0xB5, 0xFF, 0x81, 0xFF, 0x82, 0xFF, 0x86, 0xFF}),
                     std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

// On a network port the line's rate is the server's business: each port is tried once, the scales
// on two of them are found and the silent one costs one listen, side by side.
TEST(ScaleScan, TriesEachNetworkPortOnceAndFindsTheScalesOnThem)
{
    VirtualScale zud(VirtualScale::LineKind::Tcp);
    ScaleSetUp::Answering(zud, 9600, ScaleSeries::Zud, 2.5);
    VirtualScale rivav(VirtualScale::LineKind::Tcp);
    ScaleSetUp::Reporting(rivav, 9600, ScaleSeries::Rivav);
    VirtualScale silent(VirtualScale::LineKind::Tcp);
    silent.SetSilent(true);
    ASSERT_TRUE(zud.Start() && rivav.Start() && silent.Start());
    const std::vector<std::string> ports = {silent.PortPath(), zud.PortPath(), rivav.PortPath()};
    std::vector<ScaleFinder::Progress> steps;
    const std::atomic<bool> cancel{false};
    const ScaleFinder::Timing timing{250, 80};
    const ScaleFinder::Result result =
        ScaleFinder::Scan(ports, kRates, cancel, [&](const ScaleFinder::Progress& p) { steps.push_back(p); }, {timing});

    ASSERT_EQ(result.scales.size(), 2u);
    EXPECT_EQ(result.scales[0].port, zud.PortPath());
    EXPECT_EQ(result.scales[0].answer, (Answer{ReportForm::Zud, ScaleSeries::Zud, "2.500"}));
    EXPECT_EQ(result.scales[1].port, rivav.PortPath());
    EXPECT_EQ(result.scales[1].answer.form, ReportForm::Unasked);
    EXPECT_TRUE(result.unopened.empty());
    EXPECT_EQ(steps.size(), 3u) << "one try a port";
    EXPECT_FALSE(silent.Received().empty()) << "the silent port was polled";
    for (const Bytes& command : zud.Commands())
        EXPECT_TRUE(command == "R" || command == "\x11") << command;
}

#ifdef _WIN32
TEST(ScaleScan, RatesLocksAndCancelsOnSerialLines)
{
    GTEST_SKIP() << "a scan at several rates, another program's lock and a cancel between rates need lines "
                    "with a rate: Windows has no pseudo-terminals, and the script runs --find over a COM port";
}
#else
// Descriptors of this process open on `path`.
int OpenCount(const std::string& path)
{
    int count = 0;
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(fd.path(), linkError) == path)
            ++count;
    }
    return count;
}

TEST(ScaleScan, FindsEachScaleAtItsRateAndSeriesAndNothingOnASilentLine)
{
    VirtualScale zud;
    ScaleSetUp::Answering(zud, 4800, ScaleSeries::Zud, 2.5);
    VirtualScale rivav;
    ScaleSetUp::Reporting(rivav, 38400, ScaleSeries::Rivav);
    LinkTest::PseudoTerminal silent;
    ASSERT_TRUE(zud.Start() && rivav.Start() && silent.Ok());
    const std::vector<std::string> ports = {silent.Path(), zud.PortPath(), "/dev/no-such-serial-port", rivav.PortPath()};
    const int heldBefore = OpenCount(silent.Path()) + OpenCount(zud.PortPath()) + OpenCount(rivav.PortPath());

    std::vector<ScaleFinder::Progress> steps;
    const std::atomic<bool> cancel{false};
    const auto started = LinkTest::Clock::now();
    // A listen long enough to be sure of one of the ten reports a second, however the clocks fall.
    const ScaleFinder::Timing timing{250, 80};
    const ScaleFinder::Result result =
        ScaleFinder::Scan(ports, kRates, cancel, [&](const ScaleFinder::Progress& p) { steps.push_back(p); }, {timing});
    const auto tookMs = LinkTest::MillisSince(started);

    ASSERT_EQ(result.scales.size(), 2u);
    EXPECT_EQ(result.scales[0].port, zud.PortPath());
    EXPECT_EQ(result.scales[0].baud, 4800);
    EXPECT_EQ(result.scales[0].answer, (Answer{ReportForm::Zud, ScaleSeries::Zud, "2.500"}));
    EXPECT_EQ(result.scales[1].port, rivav.PortPath());
    EXPECT_EQ(result.scales[1].baud, 38400);
    EXPECT_EQ(result.scales[1].answer.form, ReportForm::Unasked);
    EXPECT_EQ(result.scales[1].answer.series, ScaleSeries::Rivav);
    ASSERT_EQ(result.unopened.size(), 1u);
    EXPECT_EQ(result.unopened[0].port, "/dev/no-such-serial-port");
    EXPECT_EQ(result.unopened[0].error, ENOENT);
    EXPECT_FALSE(result.cancelled);

    // Only harmless traffic: polls, never a setting.
    for (const Bytes& command : zud.Commands())
        EXPECT_TRUE(command == "R" || command == "\x11") << command;
    // The silent line was tried at every rate; each scale's port was left at its own rate.
    const auto triedOn = [&](const std::string& port) {
        return std::count_if(steps.begin(), steps.end(), [&](const auto& p) { return p.port == port; });
    };
    EXPECT_EQ(triedOn(silent.Path()), 7);
    EXPECT_EQ(triedOn(zud.PortPath()), 2);
    EXPECT_EQ(triedOn(rivav.PortPath()), 5);
    EXPECT_EQ(OpenCount(silent.Path()) + OpenCount(zud.PortPath()) + OpenCount(rivav.PortPath()), heldBefore);
    // The silent line: one long listen, then short ones; the zud scale: one long listen; the noisy
    // line of the reporting scale: long listens, each ended early by the noise. About 6 s.
    EXPECT_LT(tookMs, 9000);
}

// A scale that reports once a second is heard at its rate, though the first rate only hears its
// noise; a silent line still costs one long listen, not seven.
TEST(ScaleScan, HearsAScaleReportingOnceASecondWithoutSlowingSilentLines)
{
    VirtualScale slow;
    slow.SetBaudRate(9600);
    slow.SetSeries(ScaleSeries::Rivav);
    slow.SetPostbackRate(1);
    LinkTest::PseudoTerminal silent;
    ASSERT_TRUE(slow.Start() && silent.Ok());
    std::map<int, long long> doneAfterMs;
    const std::atomic<bool> cancel{false};
    const auto started = LinkTest::Clock::now();
    const auto result = ScaleFinder::Scan({silent.Path(), slow.PortPath()}, kRates, cancel, {}, {},
                                          [&](const ScaleFinder::PortResult& r) {
                                              doneAfterMs[r.portIndex] = LinkTest::MillisSince(started);
                                          });
    ASSERT_EQ(result.scales.size(), 1u);
    EXPECT_EQ(result.scales[0].port, slow.PortPath());
    EXPECT_EQ(result.scales[0].baud, 9600);
    EXPECT_EQ(result.scales[0].answer.form, ReportForm::Unasked);
    ASSERT_EQ(doneAfterMs.size(), 2u);
    // Silent: 1100 + 160 + 6 * 260 ms = 2.8 s. Listening long at every rate would take 8.8 s.
    EXPECT_LT(doneAfterMs[0], 4000);
    // Three long listens (2400 and 4800 hear noise) and the polls between them: about 3.5 s.
    EXPECT_LT(doneAfterMs[1], 5000);
}

// Ports are tried at once: four silent lines take about as long as one, each told as it ends.
TEST(ScaleScan, FourSilentPortsTakeAboutAsLongAsOne)
{
    std::vector<std::unique_ptr<LinkTest::PseudoTerminal>> lines;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        lines.push_back(std::make_unique<LinkTest::PseudoTerminal>());
        ASSERT_TRUE(lines.back()->Ok());
        paths.push_back(lines.back()->Path());
    }
    const std::atomic<bool> cancel{false};
    const ScaleFinder::Search quick{{50, 30, 200}};
    const auto scanMs = [&](const std::vector<std::string>& ports, std::vector<int>& told) {
        const auto started = LinkTest::Clock::now();
        const auto result = ScaleFinder::Scan(ports, kRates, cancel, {}, quick,
                                              [&](const ScaleFinder::PortResult& r) { told.push_back(r.portIndex); });
        EXPECT_TRUE(result.scales.empty() && result.unopened.empty() && !result.cancelled);
        return LinkTest::MillisSince(started);
    };
    std::vector<int> toldOne, toldFour;
    const long long one = scanMs({paths[0]}, toldOne);
    const long long four = scanMs(paths, toldFour);
    std::sort(toldFour.begin(), toldFour.end());
    EXPECT_EQ(toldOne, std::vector<int>{0});
    EXPECT_EQ(toldFour, (std::vector<int>{0, 1, 2, 3}));
    // One silent port: 200 + 60 + 6 * 110 ms = 0.9 s; one after another four would take 3.7 s.
    EXPECT_LT(four, one * 3 / 2) << one << " ms for one port";
}

// Another program's port: one it only holds keeps the settings it had; one it locked is not opened.
TEST(ScaleScan, LeavesAnotherProgramsPortAsItFoundIt)
{
    for (const bool locked : {false, true}) {
        LinkTest::PseudoTerminal line;
        ASSERT_TRUE(line.Ok());
        termios held {};
        ASSERT_EQ(::tcgetattr(line.Slave(), &held), 0);
        ::cfsetispeed(&held, B9600);
        ::cfsetospeed(&held, B9600);
        held.c_iflag &= ~(IXON | IXOFF);
        ASSERT_EQ(::tcsetattr(line.Slave(), TCSANOW, &held), 0);
        const int holder = ::open(line.Path().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        if (locked) {
            ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        }

        int tried = 0;
        const std::atomic<bool> cancel{false};
        const auto result = ScaleFinder::Scan({line.Path()}, {9600, 19200}, cancel, [&](const auto&) { ++tried; });
        termios after {};
        ASSERT_EQ(::tcgetattr(line.Slave(), &after), 0);
        EXPECT_EQ(::cfgetospeed(&after), speed_t(B9600)) << locked;
        EXPECT_EQ(after.c_iflag, held.c_iflag) << locked;
        EXPECT_EQ(after.c_cflag, held.c_cflag) << locked;
        EXPECT_TRUE(result.scales.empty());
        if (locked) {
            ASSERT_EQ(result.unopened.size(), 1u);
            EXPECT_EQ(result.unopened[0].error, EBUSY);
            EXPECT_EQ(tried, 1);
        } else {
            EXPECT_TRUE(result.unopened.empty());
            EXPECT_EQ(tried, 2);
            EXPECT_EQ(line.Receive(64, 50), "R\x11R\x11") << "the line was probed";
        }
        ::close(holder);
    }
}

TEST(ScaleScan, CancelInMidScanStopsWithinOneProbeAndLeavesNoPortOpen)
{
    LinkTest::PseudoTerminal first;
    LinkTest::PseudoTerminal second;
    ASSERT_TRUE(first.Ok() && second.Ok());
    const int heldBefore = OpenCount(first.Path()) + OpenCount(second.Path());

    std::atomic<bool> cancel{false};
    std::atomic<bool> reachedSecond{false};
    LinkTest::Clock::time_point cancelledAt;
    std::thread canceller([&] {
        while (!reachedSecond)
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(150ms);  // inside a probe of the second port
        cancelledAt = LinkTest::Clock::now();
        cancel = true;
    });
    std::vector<ScaleFinder::Progress> steps;
    const auto result = ScaleFinder::Scan({first.Path(), second.Path()}, kRates, cancel, [&](const ScaleFinder::Progress& p) {
        steps.push_back(p);
        if (p.portIndex == 1 && p.rateIndex == 1)
            reachedSecond = true;
    });
    const auto returnedAt = LinkTest::Clock::now();
    canceller.join();

    EXPECT_TRUE(result.cancelled);
    EXPECT_TRUE(result.scales.empty());
    EXPECT_TRUE(result.unopened.empty());
    EXPECT_LE(steps.size(), 10u) << "no rate is tried after the cancel";
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(returnedAt - cancelledAt).count(), 400);
    EXPECT_EQ(OpenCount(first.Path()) + OpenCount(second.Path()), heldBefore);
}
#endif

} // namespace
