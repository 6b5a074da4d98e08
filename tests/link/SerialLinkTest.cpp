// The serial link end to end over a pseudo-terminal pair: the link opens the slave like a serial
// port and the test answers on the master, byte for byte and with real timing.

#include "link/LineProgress.h"
#include "link/SerialLink.h"
#include "link/SerialLinkTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include <sys/ioctl.h>
#include <sys/stat.h>

using namespace SerialLink;
using LinkTest::Clock;
using LinkTest::MillisSince;
using LinkTest::PseudoTerminal;

namespace {

// How late a timed read may come back; the reads themselves wait with poll, this is scheduling.
constexpr long long kSlackMs = 60;

long long ThreadCpuMicros()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

// Bytes that arrived on the tool's side and are not read yet.
int PendingInput(int fd)
{
    int pending = 0;
    ::ioctl(fd, FIONREAD, &pending);
    return pending;
}

bool WaitForPendingInput(int fd, int count)
{
    const auto start = Clock::now();
    while (PendingInput(fd) < count) {
        if (MillisSince(start) > 1000)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class TempDir {
public:
    TempDir()
    {
        char pattern[] = "/tmp/serial-link-XXXXXX";
        if (::mkdtemp(pattern) != nullptr)
            path_ = pattern;
    }
    ~TempDir()
    {
        for (const std::string& file : files_)
            ::unlink(file.c_str());
        if (!path_.empty())
            ::rmdir(path_.c_str());
    }
    std::string File(const std::string& name)
    {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }
    bool Ok() const { return !path_.empty(); }

private:
    std::string path_;
    std::vector<std::string> files_;
};

class SerialLinkPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.Ok()) << "no pseudo-terminal available";
        ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);
        ASSERT_TRUE(port.IsOpen());
    }

    std::string Read(int count, int limitMs)
    {
        std::string buffer(static_cast<std::size_t>(count), '\0');
        const int n = ReadBytes(port, buffer.data(), count, limitMs);
        buffer.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buffer;
    }

    PseudoTerminal pty;
    PortHandle port;
};

const std::string kFramedReport("\x01\x02S  1.234kg \x03\x04", 15);

} // namespace

TEST(SerialLinkClosed, CallsOnAClosedHandleDoNothing)
{
    PortHandle port;
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(WriteBytes(port, "\x11", 1), 0);
    EXPECT_EQ(WriteText(port, "T\r\n"), 0);

    char buffer[16];
    const auto start = Clock::now();
    EXPECT_EQ(ReadBytes(port, buffer, 15, 500), 0);
    EXPECT_LT(MillisSince(start), 50) << "a closed port has nothing to wait for";
    Purge(port);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialLinkClosed, ReadOfNoBytesIsRefused)
{
    PortHandle port;
    char buffer[4];
    for (int count : {0, -1, -15})
        EXPECT_EQ(ReadBytes(port, buffer, count, 100), -1) << count;
}

TEST(SerialLinkOpen, RefusedRateLeavesNothingOpen)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    for (int baud : {12345, 0, -9600, 9601}) {
        PortHandle port;
        EXPECT_EQ(OpenSerialPort(pty.Path(), port, baud), 0) << baud;
        EXPECT_FALSE(port.IsOpen()) << baud;
        EXPECT_EQ(WriteText(port, "T"), 0) << baud;
    }
    // A port that was open is closed by the failed attempt, not kept.
    PortHandle port;
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);
    EXPECT_EQ(OpenSerialPort(pty.Path(), port, 12345), 0);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(WriteText(port, "T"), 0);
    EXPECT_EQ(pty.Receive(1, 50), "");
}

TEST(SerialLinkOpen, MissingDeviceFails)
{
    PortHandle port;
    EXPECT_EQ(OpenSerialPort("/dev/no-such-serial-port", port, 9600), 0);
    EXPECT_EQ(OpenSerialPort("", port, 9600), 0);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialLinkOpen, DeviceThatIsNoTerminalOpensAsItIs)
{
    TempDir dir;
    ASSERT_TRUE(dir.Ok());

    // A regular file: opened without purge, its bytes read back, and the end of it does not spin.
    const std::string file = dir.File("port.bin");
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("hello", out);
    std::fclose(out);

    PortHandle port;
    ASSERT_EQ(OpenSerialPort(file, port, 12345), 1) << "no rate is applied to a device that is not a terminal";
    EXPECT_TRUE(port.IsOpen());
    char buffer[8] = {};
    EXPECT_EQ(ReadBytes(port, buffer, 5, 100), 5);
    EXPECT_EQ(std::string(buffer, 5), "hello");
    Purge(port);

    const auto start = Clock::now();
    const long long cpuBefore = ThreadCpuMicros();
    EXPECT_EQ(ReadBytes(port, buffer, 1, 100), 0);
    const long long elapsed = MillisSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LE(elapsed, 100 + kSlackMs);
    EXPECT_LT(ThreadCpuMicros() - cpuBefore, 20000) << "waiting at the end of the file must not spin";
    port.Close();

    // A FIFO opened for reading and writing hears itself.
    const std::string fifo = dir.File("port.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(OpenSerialPort(fifo, port, 9600), 1);
    EXPECT_EQ(WriteText(port, "abc"), 3);
    Purge(port);  // nothing to purge on a FIFO: the bytes stay
    EXPECT_EQ(ReadBytes(port, buffer, 3, 100), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST_F(SerialLinkPty, OpenConfiguresTheLine)
{
    for (int baud : {9600, 115200, 2400}) {
        ASSERT_EQ(OpenSerialPort(pty.Path(), port, baud), 1) << baud;
        termios line {};
        ASSERT_EQ(::tcgetattr(pty.Slave(), &line), 0);
        const speed_t expected = baud == 9600 ? B9600 : baud == 115200 ? B115200 : B2400;
        EXPECT_EQ(::cfgetospeed(&line), expected) << baud;
        EXPECT_EQ(::cfgetispeed(&line), expected) << baud;
        EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
        EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
        EXPECT_EQ(line.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
        EXPECT_EQ(line.c_iflag & (IXANY | ICRNL | INLCR | ISTRIP), 0u) << "input must be raw";
        EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u) << "no line editing, no echo";
        EXPECT_EQ(line.c_oflag & OPOST, 0u) << "output must be raw";

        int exclusive = 0;
        ASSERT_EQ(::ioctl(pty.Slave(), TIOCGEXCL, &exclusive), 0);
        EXPECT_EQ(exclusive, 1) << "the port is opened for this tool alone";
    }
    port.Close();
    int exclusive = 1;
    ASSERT_EQ(::ioctl(pty.Slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "closing gives the port free again";
}

TEST_F(SerialLinkPty, OpenDiscardsWhatWaitedOnTheLine)
{
    port.Close();
    ASSERT_TRUE(pty.Send("stale"));
    ASSERT_TRUE(WaitForPendingInput(pty.Slave(), 5));
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);
    EXPECT_EQ(Read(5, 50), "");
}

TEST_F(SerialLinkPty, WrittenBytesReachTheScale)
{
    EXPECT_EQ(WriteBytes(port, "\x11", 1), 1);
    EXPECT_EQ(pty.Receive(1, 500), "\x11");

    const std::string line("Co.\xc9\xcc\xb5\xea\r\n", 9);  // GBK text passes unchanged
    EXPECT_EQ(WriteText(port, line), 9);
    EXPECT_EQ(pty.Receive(9, 500), line);

    const std::string binary("\x1b\x00\xff\x13\x11\r\n", 7);  // NUL, XON and XOFF bytes too
    EXPECT_EQ(WriteBytes(port, binary.data(), binary.size()), 7);
    EXPECT_EQ(pty.Receive(7, 500), binary);

    EXPECT_EQ(WriteBytes(port, "x", 0), 0);
    EXPECT_EQ(pty.Receive(1, 30), "");
}

TEST_F(SerialLinkPty, WriteAfterCloseSendsNothing)
{
    port.Close();
    EXPECT_EQ(WriteText(port, "T\r\n"), 0);
    EXPECT_EQ(pty.Receive(3, 50), "");
}

TEST_F(SerialLinkPty, ReadsExactCounts)
{
    ASSERT_TRUE(pty.Send(kFramedReport + "abcde"));
    EXPECT_EQ(Read(15, 100), kFramedReport);
    EXPECT_EQ(Read(3, 100), "abc") << "a read takes no more than it is asked for";
    EXPECT_EQ(Read(2, 100), "de");

    char buffer[4];
    ASSERT_TRUE(pty.Send("Z"));
    ASSERT_TRUE(WaitForPendingInput(pty.Slave(), 1));
    EXPECT_EQ(ReadBytes(port, buffer, 0, 100), -1);
    EXPECT_EQ(ReadBytes(port, buffer, -5, 100), -1);
    EXPECT_EQ(Read(1, 100), "Z") << "a refused read leaves the bytes in place";
}

TEST_F(SerialLinkPty, SilentLineEndsAtTheLimit)
{
    for (int limit : {100, 50, 20}) {
        const auto start = Clock::now();
        EXPECT_EQ(Read(15, limit), "") << limit;
        const long long elapsed = MillisSince(start);
        EXPECT_GE(elapsed, limit) << limit;
        EXPECT_LE(elapsed, limit + kSlackMs) << limit;
    }
}

TEST_F(SerialLinkPty, ReportInTwoPiecesIsJoined)
{
    std::thread scale([this] {
        pty.Send(kFramedReport.substr(0, 8));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.Send(kFramedReport.substr(8));
    });
    EXPECT_EQ(Read(15, 100), kFramedReport);
    scale.join();
}

TEST_F(SerialLinkPty, ReportStraddlingTheLimitIsNotCut)
{
    // The second half comes after the limit but within the gap that follows the first half. The
    // first half is already waiting, so a late start of the scale's thread cannot empty the read.
    pty.Send(kFramedReport.substr(0, 5));
    std::thread scale([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(35));
        pty.Send(kFramedReport.substr(5));
    });
    const auto start = Clock::now();
    EXPECT_EQ(Read(15, 20), kFramedReport);
    EXPECT_LT(MillisSince(start), 35 + kSlackMs);
    scale.join();
}

TEST_F(SerialLinkPty, SlowTrickleIsReadToTheEnd)
{
    // A slow line (or a slow scale) delivers byte by byte, well past the limit.
    std::thread scale([this] {
        for (char byte : kFramedReport) {
            pty.Send(std::string(1, byte));
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
        }
    });
    EXPECT_EQ(Read(15, 30), kFramedReport);
    scale.join();
}

TEST_F(SerialLinkPty, ShortReportEndsAtTheLimit)
{
    std::thread scale([this] {
        pty.Send(kFramedReport.substr(0, 5));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        pty.Send(kFramedReport.substr(5));
    });
    const auto start = Clock::now();
    EXPECT_EQ(Read(15, 100), kFramedReport.substr(0, 5));
    const long long elapsed = MillisSince(start);
    EXPECT_GE(elapsed, 100);
    EXPECT_LE(elapsed, 100 + kSlackMs);
    scale.join();
    EXPECT_EQ(Read(10, 100), kFramedReport.substr(5)) << "the late rest stays for the next read";
}

TEST_F(SerialLinkPty, PurgeDiscardsPendingInputAndShowsIt)
{
    std::vector<std::pair<LineDirection, std::string>> seen;
    port.SetLineObserver([&](LineDirection direction, std::string_view bytes) { seen.emplace_back(direction, bytes); });
    ASSERT_TRUE(pty.Send("old report"));
    ASSERT_TRUE(WaitForPendingInput(pty.Slave(), 10));
    Purge(port);
    EXPECT_EQ(PendingInput(pty.Slave()), 0);
    // A late answer is what a line monitor is for: it sees what the purge threw away.
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen.front(), std::make_pair(LineDirection::Discarded, std::string("old report")));
    EXPECT_EQ(Read(10, 50), "");

    ASSERT_TRUE(pty.Send("new"));
    EXPECT_EQ(Read(3, 200), "new") << "the port still works after a purge";
}

// A held line is waited for while the scale may still release it; past the bound of no progress the
// write ends short and the handle says the line stalled. Whatever was reported written arrives.
struct Hold {
    const char* name;
    int releaseAfterMs;  // -1: never released
    bool whole;
};

class SerialLinkHold : public SerialLinkPty, public ::testing::WithParamInterface<Hold> {};

TEST_P(SerialLinkHold, WriteWaitsForTheLineWhileItCanMove)
{
    const Hold hold = GetParam();
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 115200), 1);
    std::vector<bool> heldSeen;
    port.SetHoldObserver([&](bool held) { heldSeen.push_back(held); });
    // XOFF is taken by the line itself; the byte after it shows that it has been seen.
    ASSERT_TRUE(pty.Send("\x13M"));
    ASSERT_EQ(Read(1, 500), "M");

    std::thread release;
    if (hold.releaseAfterMs >= 0) {
        release = std::thread([this, hold] {
            std::this_thread::sleep_for(std::chrono::milliseconds(hold.releaseAfterMs));
            pty.Send("\x11");
        });
    }
    const std::string block(1000, 'u');
    const auto start = Clock::now();
    const int written = WriteBytes(port, block.data(), block.size());
    const long long elapsed = MillisSince(start);
    if (release.joinable())
        release.join();
    if (hold.whole) {
        EXPECT_EQ(written, 1000);
        EXPECT_EQ(port.Fault().fault, PortFault::None);
        EXPECT_GE(elapsed, hold.releaseAfterMs - kSlackMs);
    } else {
        EXPECT_LT(written, 1000);
        EXPECT_EQ(port.Fault().fault, PortFault::Stalled);
        EXPECT_GE(elapsed, LineProgress::kStallBound.count());
        EXPECT_LE(elapsed, LineProgress::kStallBound.count() + 5 * kSlackMs);
        ASSERT_TRUE(pty.Send("\x11"));
    }
    if (hold.releaseAfterMs < 0 || hold.releaseAfterMs >= 2 * LineProgress::kHeldAfter.count()) {
        EXPECT_EQ(heldSeen, (std::vector<bool>{true, false})) << "the hold is told once, and its end";
    }
    EXPECT_EQ(pty.Receive(std::size_t(written), 1000).size(), static_cast<std::size_t>(written));
}

INSTANTIATE_TEST_SUITE_P(Table, SerialLinkHold,
                         ::testing::Values(Hold{"brief", 200, true}, Hold{"seconds", 3000, true},
                                           Hold{"pastTheBound", -1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SerialLinkPty, ScaleGoneDoesNotHangOrSpin)
{
    ASSERT_TRUE(pty.Send("ab"));
    ASSERT_TRUE(WaitForPendingInput(pty.Slave(), 2));
    EXPECT_EQ(Read(2, 100), "ab");
    pty.CloseMaster();

    for (int round = 0; round < 2; ++round) {
        const auto start = Clock::now();
        const long long cpuBefore = ThreadCpuMicros();
        EXPECT_EQ(Read(15, 200), "");
        const long long elapsed = MillisSince(start);
        EXPECT_LE(elapsed, 200 + kSlackMs);
        EXPECT_LT(ThreadCpuMicros() - cpuBefore, 20000) << "a dead port must not be polled in a loop";
    }

    const auto start = Clock::now();
    EXPECT_EQ(WriteText(port, "T\r\n"), 0);
    EXPECT_LT(MillisSince(start), 100);
    Purge(port);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialLinkPty, ReopenMovesToTheNewPort)
{
    PseudoTerminal other;
    ASSERT_TRUE(other.Ok());
    ASSERT_EQ(OpenSerialPort(other.Path(), port, 9600), 1);
    EXPECT_EQ(WriteText(port, "Z"), 1);
    EXPECT_EQ(other.Receive(1, 500), "Z");
    EXPECT_EQ(pty.Receive(1, 50), "") << "the first port was closed, not written";
    int exclusive = 1;
    ASSERT_EQ(::ioctl(pty.Slave(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
}
