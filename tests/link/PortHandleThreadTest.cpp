// The port handle shared by a closing thread and one doing I/O: closing wakes and
// waits for calls in progress, and a close/reopen storm under live traffic is race-free.

#include "link/SerialLink.h"
#include "link/SerialLinkTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

using namespace SerialLink;
using LinkTest::Clock;
using LinkTest::MillisSince;
using LinkTest::PseudoTerminal;

namespace {

const std::string kReport("\x01\x02S  1.234kg \x03\x04", 15);

TEST(PortHandleThreads, CloseWakesAWaitingRead)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    PortHandle port;
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);

    std::atomic<int> result {-2};
    std::atomic<long long> readMs {0};
    std::thread reader([&] {
        char buffer[15];
        const auto start = Clock::now();
        result = ReadBytes(port, buffer, 15, 5000);
        readMs = MillisSince(start);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = Clock::now();
    port.Close();
    const long long closeMs = MillisSince(start);
    reader.join();

    EXPECT_LT(closeMs, 500) << "Close() must not wait out the read's limit";
    EXPECT_EQ(result, 0);
    EXPECT_LT(readMs, 1000);
    EXPECT_FALSE(port.IsOpen());
}

TEST(PortHandleThreads, CloseWakesAWriteHeldByXoff)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    PortHandle port;
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 2400), 1);
    ASSERT_TRUE(pty.Send("\x13M"));
    char mark = 0;
    ASSERT_EQ(ReadBytes(port, &mark, 1, 500), 1);

    std::atomic<int> written {-1};
    std::thread writer([&] {
        const std::string block(2000, 'u');  // bounded at more than 30 s at 2400 baud
        written = WriteBytes(port, block.data(), block.size());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto start = Clock::now();
    port.Close();
    EXPECT_LT(MillisSince(start), 500);
    writer.join();
    EXPECT_LT(written, 2000);
}

TEST(PortHandleThreads, CloseAndReopenUnderTraffic)
{
    PseudoTerminal pty;
    ASSERT_TRUE(pty.Ok());
    PortHandle port;
    ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);

    std::atomic<bool> stop {false};
    std::atomic<int> polls {0};
    std::atomic<int> reports {0};

    // The scale: answers every poll byte with a report.
    std::thread scale([&] {
        while (!stop) {
            const std::string got = pty.Receive(64, 5);
            for (char byte : got) {
                if (byte == '\x11')
                    pty.Send(kReport);
            }
        }
    });
    // The reading cycle's pattern: purge, poll, read a report.
    std::thread reader([&] {
        char buffer[15];
        while (!stop) {
            Purge(port);
            if (WriteBytes(port, "\x11", 1) == 1)
                ++polls;
            if (ReadBytes(port, buffer, 15, 20) == 15)
                ++reports;
            if (!port.IsOpen())
                std::this_thread::yield();
        }
    });

    int reopened = 0;
    const auto start = Clock::now();
    while (reopened < 150 && MillisSince(start) < 3000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(reopened % 3 == 0 ? 0 : 2));
        port.Close();
        EXPECT_FALSE(port.IsOpen());
        ASSERT_EQ(OpenSerialPort(pty.Path(), port, 9600), 1);
        ++reopened;
    }
    // Let the reader run on the last port for a moment, so a report is certain to come through.
    const auto settle = Clock::now();
    const int reportsBefore = reports;
    while (reports == reportsBefore && MillisSince(settle) < 2000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    stop = true;
    reader.join();
    scale.join();

    EXPECT_GE(reopened, 50);
    EXPECT_GT(polls.load(), 0);
    EXPECT_GT(reports.load(), reportsBefore);
    port.Close();
}

} // namespace
