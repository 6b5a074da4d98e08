// Network ports end to end: the link against a real device server (ser2net) in front of the
// virtual scale, over RFC 2217 and raw TCP, and a connection that nothing answers.

#include "link/NetworkPortName.h"
#include "link/ParameterDump.h"
#include "link/PortSession.h"
#include "link/ScaleFinder.h"
#include "link/SerialLink.h"
#include "link/TelnetCodec.h"
#include "sim/VirtualScale.h"
#include "link/Ser2netSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace SerialLink;
using namespace std::chrono_literals;

namespace {

using Clock = std::chrono::steady_clock;

long long MillisSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// One framed reading: purge, poll, the 15-byte report.
std::string PollFramed(PortHandle& port)
{
    Purge(port);
    if (WriteBytes(port, "\x11", 1) != 1)
        return "write failed";
    std::string report(15, '\0');
    const int n = ReadBytes(port, report.data(), 15, 300);
    report.resize(n > 0 ? std::size_t(n) : 0);
    return report;
}

class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (LinkTest::Ser2netPath() == nullptr)
            GTEST_SKIP() << "ser2net is not installed (Debian package ser2net): network ports are not tested";
        ASSERT_TRUE(scale.Start());
        scale.SetSettlingTime(0ms);
        scale.PlaceLoad(1.25);
        // The scale talks at 9600 only; the server starts its Telnet line at 4800.
        ASSERT_TRUE(server.Start(scale.PortPath(), 4800, 9600)) << "ser2net did not start";
    }

    VirtualScale scale;
    LinkTest::Ser2net server;
    PortHandle port;
};

TEST_F(NetworkPortTest, Rfc2217SetsTheRateAndTheMonitorSeesOnlyLineBytes)
{
    ASSERT_EQ(OpenSerialPort(server.Rfc2217Name(), port, 4800), 1);
    EXPECT_EQ(PollFramed(port), "") << "at the server's own rate the scale does not understand";
    port.Close();

    std::string written, read, notes;
    port.SetLineObserver([&](LineDirection direction, std::string_view bytes) {
        (direction == LineDirection::Written ? written : direction == LineDirection::Note ? notes : read) += bytes;
    });
    ASSERT_EQ(OpenSerialPort(server.Rfc2217Name(), port, 9600), 1);
    std::string report;
    for (int cycle = 0; cycle < 5; ++cycle) {
        report = PollFramed(port);
        ASSERT_EQ(report.size(), 15u) << "cycle " << cycle;
    }
    EXPECT_NE(report.find("1.25"), std::string::npos) << report;
    EXPECT_EQ(written, std::string(5, '\x11')) << "the monitor shows the poll bytes, not the Telnet framing";
    EXPECT_EQ(read.size(), 75u);
    EXPECT_EQ(read.find('\xFF'), std::string::npos);
    EXPECT_EQ(notes, "") << "ser2net confirms the line settings";
    EXPECT_TRUE(CheckLine(port));
}

TEST_F(NetworkPortTest, UploadArrivesByteForByte)
{
    ASSERT_EQ(OpenSerialPort(server.Rfc2217Name(), port, 9600), 1);
    std::string block = "plu\r\n";
    for (int row = 1; row <= 200; ++row)
        block += std::to_string(row) + ",\xC6\xBB\xB9\xFB,12.50,\xFF\r\n";  // GBK text and a 0xFF byte
    block += "end\r\n";
    ASSERT_EQ(WriteBytes(port, block.data(), block.size()), int(block.size()));
    EXPECT_TRUE(Drain(port));
    ASSERT_TRUE(scale.WaitForReceived(block.size(), 10s)) << scale.Received().size() << " of " << block.size();
    EXPECT_EQ(scale.Received(), block) << "0xFF doubled on the way and undone by the server, nothing else added";
    EXPECT_EQ(scale.UploadedLines().size(), 200u);
}

// Postback off, then the dump request: 1B 00 FF reaches the scale as three bytes, the dump comes
// back whole.
void ExpectDump(PortHandle& port, const VirtualScale& scale)
{
    const std::string dump = ReadParameterDump(port);
    ASSERT_GE(dump.size(), 22u) << dump;
    EXPECT_EQ(dump.substr(0, 22), "parameter\r\nMODEL=VS-15");
    EXPECT_EQ(dump.substr(dump.size() - 3), "end");
    EXPECT_EQ(scale.Received(), std::string("\x1B\x00\x03\x00\x1B\x00\xFF", 7));
}

TEST_F(NetworkPortTest, ParameterDumpOverRfc2217)
{
    ASSERT_EQ(OpenSerialPort(server.Rfc2217Name(), port, 9600), 1);
    ExpectDump(port, scale);
}

TEST_F(NetworkPortTest, RawTcpTakesTheServersLineSettings)
{
    ASSERT_EQ(OpenSerialPort(server.RawName(), port, 2400), 1);
    const std::string report = PollFramed(port);
    ASSERT_EQ(report.size(), 15u) << "the rate asked for does not apply to a raw port";
    EXPECT_NE(report.find("1.25"), std::string::npos) << report;
    scale.ClearReceived();
    ExpectDump(port, scale);
    port.Close();

    // The finder tries a raw port once: the rate it asks for does not apply there.
    int tries = 0;
    const std::atomic<bool> cancel{false};
    scale.SetSilent(true);
    const auto result = ScaleFinder::Scan({server.RawName()}, {2400, 4800, 9600}, cancel,
                                          [&](const ScaleFinder::Progress&) { ++tries; });
    EXPECT_TRUE(result.scales.empty());
    EXPECT_EQ(tries, 1);
}

TEST_F(NetworkPortTest, FinderFindsTheScaleBehindTheServer)
{
    const std::atomic<bool> cancel{false};
    const auto result = ScaleFinder::Scan({server.Rfc2217Name()}, {2400, 4800, 9600, 19200}, cancel, {});
    ASSERT_EQ(result.scales.size(), 1u);
    EXPECT_EQ(result.scales[0].port, server.Rfc2217Name());
    EXPECT_EQ(result.scales[0].baud, 9600);
    EXPECT_EQ(result.scales[0].answer.weight, "1.250");
}

TEST_F(NetworkPortTest, ServerKilledWhileReadingIsOneLoss)
{
    std::mutex mutex;
    int lost = 0, opened = -1;
    PortFault fault = PortFault::None;
    PortSession::Callbacks callbacks;
    callbacks.opened = [&](int error) { std::lock_guard lock(mutex); opened = error; };
    callbacks.lost = [&](PortFaultInfo info) {
        std::lock_guard lock(mutex);
        ++lost;
        fault = info.fault;
    };
    std::atomic<int> reports{0};
    PortSession session(callbacks);
    session.Open(server.Rfc2217Name(), 9600);
    session.StartCycle([&](PortHandle& handle, const StopSignal&) {
        if (PollFramed(handle).size() == 15)
            ++reports;
        return 20;
    });
    const auto until = [&](auto done) {
        for (auto start = Clock::now(); !done() && MillisSince(start) < 5000;)
            std::this_thread::sleep_for(10ms);
        return done();
    };
    ASSERT_TRUE(until([&] { return reports.load() >= 3; })) << "no readings before the server went away";
    server.Kill();
    ASSERT_TRUE(until([&] { std::lock_guard lock(mutex); return lost > 0; })) << "the loss was not noticed";
    std::this_thread::sleep_for(500ms);
    std::lock_guard lock(mutex);
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(fault, PortFault::HungUp);
}

// A server that takes the bytes and never answers the negotiation: the port is used all the same,
// and the monitor gets one note that the line settings were not confirmed.
TEST(NetworkPortOpen, UnconfirmedLineIsUsedWithANote)
{
    const LinkTest::LoopbackListener listener;
    ASSERT_NE(listener.Port(), 0);
    PortHandle port;
    std::vector<std::string> notes;
    port.SetLineObserver([&](LineDirection direction, std::string_view text) {
        if (direction == LineDirection::Note)
            notes.emplace_back(text);
    });
    auto start = Clock::now();
    ASSERT_EQ(OpenSerialPort("rfc2217://127.0.0.1:" + std::to_string(listener.Port()), port, 9600), 1);
    EXPECT_LT(MillisSince(start), 500) << "the open waits for no acknowledgement";
    start = Clock::now();
    EXPECT_EQ(WriteBytes(port, "\x11", 1), 1);
    EXPECT_LT(MillisSince(start), 1300) << "the first bytes wait for the rate's answer a second at most";
    const int server = listener.Accept();
    std::string received;
    for (int round = 1; round < 12; ++round) {
        EXPECT_EQ(WriteBytes(port, "\x11", 1), 1);
        char report[15];
        EXPECT_EQ(ReadBytes(port, report, 15, 200), 0);
        char chunk[512];
        const ssize_t n = ::recv(server, chunk, sizeof chunk, MSG_DONTWAIT);
        received.append(chunk, n > 0 ? std::size_t(n) : 0);
    }
    EXPECT_TRUE(CheckLine(port));
    EXPECT_EQ(notes, std::vector<std::string>{Telnet::ComPortClient::kNoteUnconfirmed});
    EXPECT_EQ(received.substr(received.size() - 12), std::string(12, '\x11')) << "the polls went out";
    ::close(server);
}

// Nothing to connect to: a port nobody listens on is refused at once, and a listener whose queue is
// full never answers; either open fails within the connect bound.
TEST(NetworkPortOpen, FailsWithinTheBoundAndSaysWhy)
{
    PortHandle port;
    const int closedPort = LinkTest::FreePort();
    auto start = Clock::now();
    EXPECT_EQ(OpenSerialPort("rfc2217://127.0.0.1:" + std::to_string(closedPort), port, 9600), 0);
    EXPECT_LT(MillisSince(start), 1000);
    EXPECT_EQ(port.OpenError(), NetworkPortName::RefusedError());
    EXPECT_FALSE(port.IsOpen());

    // A listener that never accepts, its queue filled: further connections get no answer.
    const LinkTest::LoopbackListener listener(0);
    const std::string silent = "socket://127.0.0.1:" + std::to_string(listener.Port());
    const sockaddr_in address = LinkTest::Loopback(listener.Port());
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        fillers.push_back(s);
    }
    std::this_thread::sleep_for(100ms);
    start = Clock::now();
    EXPECT_EQ(OpenSerialPort(silent, port, 9600), 0);
    const long long took = MillisSince(start);
    EXPECT_GE(took, 2900);
    EXPECT_LE(took, 3300);
    EXPECT_EQ(port.OpenError(), NetworkPortName::NoAnswerError());
    EXPECT_EQ(NetworkPortName::OpenFailure(silent, port.OpenError()), "no answer from 127.0.0.1:" + silent.substr(19));
    for (int s : fillers)
        ::close(s);
}

} // namespace
