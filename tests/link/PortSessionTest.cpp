// The port session against the virtual scale over the real link: the order and wholeness of what
// goes out while reading runs, the loss of the device at any moment, a close on a held line, and
// the line tap.

#include "commodity/CommodityUpload.h"
#include "link/ParameterDump.h"
#include "link/LineProgress.h"
#include "link/PortSession.h"
#include "link/ScaleCommandSet.h"
#include "link/WeightReading.h"
#include "sim/VirtualScale.h"
#include "support/ScaleLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// What the session reported, collected from its worker.
struct Reports {
    std::mutex mutex;
    std::condition_variable changed;
    int opened = -1;
    int closed = 0;
    int lost = 0;
    int cycleEnded = 0;
    int fields = 0;
    std::vector<bool> held;
    SerialLink::PortFault fault = SerialLink::PortFault::None;

    template <class F>
    void Note(F&& change)
    {
        {
            std::lock_guard lock(mutex);
            change();
        }
        changed.notify_all();
    }
    template <class P>
    bool Wait(P&& done, std::chrono::milliseconds timeout = 3s)
    {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, done);
    }
    template <class F>
    auto Read(F&& read)
    {
        std::lock_guard lock(mutex);
        return read();
    }
};

class PortSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        scale.SetSettlingTime(0ms);
        PortSession::Callbacks callbacks;
        callbacks.opened = [this](int error) { reports.Note([&] { reports.opened = error; }); };
        callbacks.closed = [this] { reports.Note([&] { ++reports.closed; }); };
        callbacks.lost = [this](SerialLink::PortFaultInfo fault) {
            reports.Note([&] {
                ++reports.lost;
                reports.fault = fault.fault;
            });
        };
        callbacks.cycleEnded = [this] { reports.Note([&] { ++reports.cycleEnded; }); };
        callbacks.held = [this](bool held) { reports.Note([&] { reports.held.push_back(held); }); };
        session = std::make_unique<PortSession>(callbacks);
        ASSERT_TRUE(Open());
    }

    bool Open()
    {
        reports.Note([&] { reports.opened = -1; });
        session->Open(scale.PortPath(), 9600);
        return reports.Wait([&] { return reports.opened >= 0; }) && reports.Read([&] { return reports.opened; }) == 0;
    }

    void StartReading(ScaleSeries series, int sleepMs)
    {
        WeightReading::Callbacks shown;
        shown.valueRead = [this](WeightReport::Quantity, const std::string&) { reports.Note([&] { ++reports.fields; }); };
        session->StartCycle([=](SerialLink::PortHandle& port, const StopSignal& stop) {
            WeightReading::RunCycle(port, series, [] { return false; }, shown, [&stop] { return stop.Raised(); });
            return sleepMs;
        });
    }

    void Send(const Bytes& bytes)
    {
        session->Post([bytes](SerialLink::PortHandle& port, const StopSignal&) {
            SerialLink::WriteBytes(port, bytes.data(), bytes.size());
        });
    }

    int Lost() { return reports.Read([&] { return reports.lost; }); }

    VirtualScale scale = ScaleLines::ForThisRun();
    Reports reports;
    std::unique_ptr<PortSession> session;
};

// Every byte the scale got, polls taken out.
Bytes WithoutPolls(Bytes received, char poll)
{
    received.erase(std::remove(received.begin(), received.end(), poll), received.end());
    return received;
}

struct CommandsCase {
    const char* name;
    ScaleSeries series;
    char poll;
    std::vector<Bytes> commands;
};

class CommandsWhileReading : public PortSessionTest, public ::testing::WithParamInterface<CommandsCase> {};

TEST_P(CommandsWhileReading, ArriveWholeAndInOrder)
{
    const CommandsCase& c = GetParam();
    StartReading(c.series, 5);
    ASSERT_TRUE(reports.Wait([&] { return reports.fields > 0; }));
    // Pressed at varied moments: during the purge, the poll, the report and the pause.
    std::mt19937 spacing(7);
    Bytes expected;
    for (int press = 0; press < 30; ++press) {
        const Bytes& command = c.commands[std::size_t(press) % c.commands.size()];
        Send(command);
        expected += command;
        std::this_thread::sleep_for(std::chrono::microseconds(spacing() % 15000));
    }
    session->StopCycle();
    ASSERT_TRUE(reports.Wait([&] { return reports.cycleEnded == 1; }));
    scale.WaitForCommands(60, 500ms);
    std::this_thread::sleep_for(250ms);  // the scale's last command is complete once the line is quiet
    EXPECT_EQ(WithoutPolls(scale.Received(), c.poll), expected);
    EXPECT_EQ(Lost(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandsWhileReading,
    ::testing::Values(CommandsCase{"zud", ScaleSeries::Zud, 'R', {"T", "Co.Shop\r\n", "Z"}},
                      CommandsCase{"framed", ScaleSeries::Rivav, '\x11', {"T\r\n", "Z\r\n", "baud:9600\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Where the device goes away: while reading, inside an upload, inside a readout, while idle.
enum class Flow { Reading, Upload, Readout, Idle };

class LossDuring : public PortSessionTest, public ::testing::WithParamInterface<Flow> {};

TEST_P(LossDuring, EndsTheSessionOnceAndOpensAgainOnceBack)
{
    std::atomic<int> jobEnded{0};
    std::atomic<bool> complete{true};
    switch (GetParam()) {
    case Flow::Reading:
        StartReading(ScaleSeries::Zev, 0);
        ASSERT_TRUE(reports.Wait([&] { return reports.fields > 0; }));
        break;
    case Flow::Upload:
        session->Post([&](SerialLink::PortHandle& port, const StopSignal& stop) {
            std::vector<Bytes> block(2000, Bytes("1[A1]<Apple>2.50\r\n"));
            // Slow enough to be caught in the middle.
            complete = SendUploadBlock(port, block, [&stop] { return stop.EndsExchange(); }, [](int) { std::this_thread::sleep_for(1ms); });
            ++jobEnded;
        });
        ASSERT_TRUE(scale.WaitForCommands(5, 2s));
        break;
    case Flow::Readout:
        scale.SetSilent(true);
        session->Post([&](SerialLink::PortHandle& port, const StopSignal&) {
            ReadParameterDump(port);
            complete = port.Fault().fault == SerialLink::PortFault::None;
            ++jobEnded;
        });
        ASSERT_TRUE(scale.WaitForCommands(1, 2s));
        break;
    case Flow::Idle:
        break;
    }
    const auto pulled = Clock::now();
    scale.Unplug();
    ASSERT_TRUE(reports.Wait([&] { return reports.lost == 1; }));
    EXPECT_LT(Clock::now() - pulled, 1500ms);
    EXPECT_EQ(reports.Read([&] { return reports.fault; }), SerialLink::PortFault::HungUp);
    if (GetParam() == Flow::Reading) {
        EXPECT_EQ(reports.Read([&] { return reports.cycleEnded; }), 1);
    }
    if (GetParam() == Flow::Upload || GetParam() == Flow::Readout) {
        EXPECT_EQ(jobEnded, 1);
        EXPECT_FALSE(complete) << "a job cut by the loss must not look complete";
    }
    // Writes on the closed port afterwards fail quietly: no second report.
    Send("T");
    std::this_thread::sleep_for(2 * std::chrono::milliseconds(PortSession::kIdleCheckMs));
    EXPECT_EQ(Lost(), 1);

    ASSERT_TRUE(scale.PlugIn());
    scale.ClearReceived();
    ASSERT_TRUE(Open());
    Send("T");
    ASSERT_TRUE(scale.WaitForCommands(1, 2s));
    EXPECT_EQ(scale.Commands().front(), Bytes("T"));
}

std::string FlowName(const ::testing::TestParamInfo<Flow>& info)
{
    static const char* const names[] = {"reading", "upload", "readout", "idle"};
    return names[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Table, LossDuring,
                         ::testing::Values(Flow::Reading, Flow::Upload, Flow::Readout, Flow::Idle), FlowName);

TEST_F(PortSessionTest, CloseWaitsForAHeldLineAndLosesNothing)
{
    if (!ScaleLines::CarriesFlowControl(scale))
        GTEST_SKIP() << ScaleLines::kNoFlowControl;
    scale.SendRaw("\x13");  // XOFF: the scale takes nothing more for now
    std::this_thread::sleep_for(50ms);
    for (int i = 0; i < 10; ++i)
        Send(Bytes(200, 'x'));
    std::this_thread::sleep_for(300ms);
    session->Close();
    std::this_thread::sleep_for(700ms);
    EXPECT_EQ(reports.Read([&] { return reports.closed; }), 0) << "the close waits while the line is held";
    scale.SendRaw("\x11");
    ASSERT_TRUE(reports.Wait([&] { return reports.closed == 1; }, 5s));
    EXPECT_EQ(Lost(), 0) << "a close asked for is no loss";
    ASSERT_TRUE(scale.WaitForReceived(2000, 2s));
}

TEST_F(PortSessionTest, LineHeldPastTheBoundIsALossReportedOnce)
{
    if (!ScaleLines::CarriesFlowControl(scale))
        GTEST_SKIP() << ScaleLines::kNoFlowControl;
    scale.SendRaw("\x13");
    std::this_thread::sleep_for(50ms);
    Send(Bytes(200, 'x'));
    const auto asked = Clock::now();
    ASSERT_TRUE(reports.Wait([&] { return reports.lost == 1; }, LineProgress::kStallBound + 3s));
    EXPECT_GE(Clock::now() - asked, LineProgress::kStallBound - 100ms);
    EXPECT_EQ(reports.Read([&] { return reports.fault; }), SerialLink::PortFault::Stalled);
    EXPECT_EQ(reports.Read([&] { return reports.held; }), (std::vector<bool>{true, false}));
    scale.SendRaw("\x11");
    Send("T");
    std::this_thread::sleep_for(2 * std::chrono::milliseconds(PortSession::kIdleCheckMs));
    EXPECT_EQ(Lost(), 1);
}

// Closing or quitting during the parameter readout (a second of waiting on a silent scale) ends it
// within a read's slice, not after its second.
TEST_F(PortSessionTest, ReadoutEndsEarlyOnCloseAndQuit)
{
    for (const bool quit : {false, true}) {
        if (quit) {
            ASSERT_TRUE(Open());
        }
        scale.SetSilent(true);
        std::atomic<bool> ended{false};
        session->Post([&](SerialLink::PortHandle& port, const StopSignal& stop) {
            ReadParameterDump(port, &stop);
            ended = true;
        });
        ASSERT_TRUE(scale.WaitForCommands(1, 2s));
        std::this_thread::sleep_for(100ms);
        const auto asked = Clock::now();
        if (quit) {
            session.reset();
        } else {
            session->Close();
            ASSERT_TRUE(reports.Wait([&] { return reports.closed == 1; }, 2s));
        }
        EXPECT_TRUE(ended);
        EXPECT_LT(Clock::now() - asked, 300ms) << (quit ? "quit" : "close");
    }
}

TEST_F(PortSessionTest, LineObserverSeesEveryWriteAndRead)
{
    std::mutex mutex;
    std::vector<std::pair<LineDirection, Bytes>> seen;
    session->SetLineObserver([&](LineDirection direction, std::string_view bytes) {
        std::lock_guard lock(mutex);
        seen.emplace_back(direction, Bytes(bytes));
    });
    scale.QueueReply(Bytes("\x01\x02S    1.234k\x03\x04", 15));
    StartReading(ScaleSeries::Zev, 10000);
    ASSERT_TRUE(reports.Wait([&] { return reports.fields > 0; }));
    Send("T\r\n");
    session->StopCycle();
    ASSERT_TRUE(reports.Wait([&] { return reports.cycleEnded == 1; }));
    ASSERT_TRUE(scale.WaitForCommands(2, 2s));
    session->SetLineObserver({});
    std::this_thread::sleep_for(50ms);
    std::lock_guard lock(mutex);
    const std::vector<std::pair<LineDirection, Bytes>> expected{
        {LineDirection::Written, "\x11"},
        {LineDirection::Read, Bytes("\x01\x02S    1.234k\x03\x04", 15)},
        {LineDirection::Written, "T\r\n"}};
    EXPECT_EQ(seen, expected);
}

} // namespace
