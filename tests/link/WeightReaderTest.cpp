#include "app/SettingsProfile.h"
#include "link/ScaleCommand.h"
#include "link/SerialLink.h"
#include "link/WeightReader.h"
#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kGross = 1016;
constexpr int kTare = 1018;
constexpr int kNet = 1020;

using Field = std::pair<int, std::string>;

// What the reader handed out, collected from its thread.
class Recorder {
    template <class F>
    void Note(F&& change)
    {
        {
            std::lock_guard lock(mutex_);
            change();
        }
        changed_.notify_all();
    }
    template <class F>
    auto Locked(F&& read) const
    {
        std::lock_guard lock(mutex_);
        return read();
    }

public:
    WeightReader::Callbacks Callbacks()
    {
        WeightReader::Callbacks c;
        c.showField = [this](int id, const std::string& text) {
            Note([&] {
                fields_.emplace_back(id, text);
                threads_.insert(std::this_thread::get_id());
            });
        };
        c.setStable = [this](int stable) { Note([&] { stables_.push_back(stable); }); };
        c.showLamp = [this](bool visible) { Note([&] { lamps_.push_back(visible); }); };
        c.finished = [this] { Note([&] { ++finished_; }); };
        return c;
    }

    bool WaitForFields(std::size_t count, std::chrono::milliseconds timeout = 2s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return fields_.size() >= count; });
    }
    bool WaitForFinished(int count, std::chrono::milliseconds timeout = 2s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return finished_ >= count; });
    }

    std::vector<Field> Fields() const { return Locked([&] { return fields_; }); }
    std::vector<int> Stables() const { return Locked([&] { return stables_; }); }
    std::vector<bool> Lamps() const { return Locked([&] { return lamps_; }); }
    int Finished() const { return Locked([&] { return finished_; }); }
    std::set<std::thread::id> Threads() const { return Locked([&] { return threads_; }); }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        fields_.clear();
        stables_.clear();
        threads_.clear();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Field> fields_;
    std::vector<int> stables_;
    std::vector<bool> lamps_;
    int finished_ = 0;
    std::set<std::thread::id> threads_;
};

std::string Framed(char status, const std::string& weight, bool byItself = false)
{
    std::string r{'\x01', '\x02', status};
    r += weight;
    r += "k\x03\x04";
    if (byItself)
        r += '\r';
    return r;
}

std::size_t CountCommand(const std::vector<Bytes>& commands, const Bytes& command)
{
    return std::size_t(std::count(commands.begin(), commands.end(), command));
}

template <class F>
std::chrono::milliseconds Timed(F&& f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

class WeightReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        scale.SetSettlingTime(0ms);
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    }
    void TearDown() override
    {
        reader.Stop();
        port.Close();
        scale.Stop();
    }

    // Waits until the scale has received `count` copies of `command`.
    bool WaitForPolls(const Bytes& command, std::size_t count, std::chrono::milliseconds timeout = 2s)
    {
        const auto until = Clock::now() + timeout;
        while (Clock::now() < until) {
            if (CountCommand(scale.Commands(), command) >= count)
                return true;
            std::this_thread::sleep_for(2ms);
        }
        return false;
    }

    VirtualScale scale;
    SerialLink::PortHandle port;
    std::atomic<int> series{SeriesZev};
    std::atomic<bool> activeReturn{false};
    std::atomic<int> sleepMs{0};
    Recorder recorded;
    WeightReader reader{port, series, activeReturn, [this] { return sleepMs.load(); }, recorded.Callbacks()};
};

TEST_F(WeightReaderTest, ZudAnswerOfThreeReportsFillsThreeFieldsInOneCycle)
{
    series = SeriesZud;
    sleepMs = 10000;  // one cycle only
    scale.QueueReply("ww  1.250 kg" "\r" "wt 0.250kg   " "wn  1.000kg  ");
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    reader.Stop();
    const std::vector<Field> expected{{kGross, "1.250kg\r"}, {kTare, "0.250kg"}, {kNet, "1.000kg"}};
    EXPECT_EQ(recorded.Fields(), expected);
    EXPECT_TRUE(recorded.Stables().empty());
    EXPECT_TRUE(recorded.Lamps().empty());
    EXPECT_EQ(scale.Commands(), std::vector<Bytes>{"R"});
}

TEST_F(WeightReaderTest, ZudScaleOwnAnswerShowsItsWeights)
{
    series = SeriesZud;
    sleepMs = 10000;
    scale.PlaceLoad(2.5);
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    reader.Stop();
    const std::vector<Field> expected{{kGross, "2.500"}, {kNet, "2.500"}, {kTare, "0.000"}};
    EXPECT_EQ(recorded.Fields(), expected);
}

struct FramedCase {
    const char* name;
    Bytes reply;
    bool accepted;
    int stable;
    std::string weight;
};

class FramedReplies : public WeightReaderTest, public ::testing::WithParamInterface<FramedCase> {};

TEST_P(FramedReplies, ShowOnlyWhatIsWellFramed)
{
    const FramedCase& c = GetParam();
    sleepMs = 10000;
    scale.QueueReply(c.reply);
    reader.Start();
    ASSERT_TRUE(WaitForPolls("\x11", 1));
    if (c.accepted) {
        ASSERT_TRUE(recorded.WaitForFields(3));
    } else {
        EXPECT_FALSE(recorded.WaitForFields(1, 300ms));
    }
    reader.Stop();
    EXPECT_EQ(scale.Commands(), std::vector<Bytes>{"\x11"});
    if (c.accepted) {
        const std::vector<Field> expected{{kGross, c.weight}, {kTare, ""}, {kNet, ""}};
        EXPECT_EQ(recorded.Fields(), expected);
        EXPECT_EQ(recorded.Stables(), std::vector<int>{c.stable});
    } else {
        EXPECT_TRUE(recorded.Fields().empty());
        EXPECT_TRUE(recorded.Stables().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FramedReplies,
    ::testing::Values(FramedCase{"stable", Framed('S', "    1.234"), true, 1, "1.234"},
                      FramedCase{"unstable", Framed('U', "    1.234"), true, 0, "1.234"},
                      FramedCase{"blank_padded", Framed('S', " 1 . 2 3 "), true, 1, "1.23"},
                      FramedCase{"byte_13_wrong", [] {
                                     Bytes r = Framed('S', "    1.234");
                                     r[13] = '\x05';
                                     return r;
                                 }(), false, 0, ""},
                      FramedCase{"byte_0_wrong", Bytes(1, '\0') + Framed('S', "    1.234").substr(1), false, 0, ""},
                      FramedCase{"short", Framed('S', "    1.234").substr(0, 12), false, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WeightReaderTest, RivavShowsTheLampWhileReadingAndHidesItAfter)
{
    series = SeriesRivav;
    scale.PlaceLoad(0.75);
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    reader.Stop();
    ASSERT_GE(recorded.Lamps().size(), 2u);
    EXPECT_EQ(recorded.Lamps(), (std::vector<bool>{true, false}));
    EXPECT_EQ(recorded.Fields().front(), Field(kGross, "0.750"));
    EXPECT_EQ(recorded.Stables().front(), 1);
    EXPECT_EQ(recorded.Finished(), 1);
}

TEST_F(WeightReaderTest, ActiveReturnSendsNoPollAndShowsTheScalesOwnReports)
{
    series = SeriesRivav;
    activeReturn = true;
    scale.PlaceLoad(3.0);
    const Bytes postback = ScaleCommandSet::SetPostbackFrequency(10);
    ASSERT_EQ(SerialLink::WriteBytes(port, postback.data(), postback.size()), int(postback.size()));
    ASSERT_TRUE(scale.WaitForCommands(1, 1s));
    ASSERT_EQ(scale.PostbackRate(), 10);
    scale.ClearReceived();

    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(6, 3s));  // two reports at least
    reader.Stop();
    EXPECT_EQ(scale.Received(), Bytes());  // not one byte reached the scale
    EXPECT_EQ(recorded.Fields().front(), Field(kGross, "3.000"));
    EXPECT_EQ(recorded.Stables().front(), 1);
}

TEST_F(WeightReaderTest, ActiveReturnReportsSentRawAreShown)
{
    series = SeriesZev;
    activeReturn = true;
    std::atomic<bool> sending{true};
    std::thread scaleSide([&] {
        while (sending) {
            scale.SendRaw(Framed('U', "   -0.020", true));
            std::this_thread::sleep_for(40ms);
        }
    });
    reader.Start();
    const bool shown = recorded.WaitForFields(3);
    reader.Stop();
    sending = false;
    scaleSide.join();
    ASSERT_TRUE(shown);
    EXPECT_EQ(recorded.Fields().front(), Field(kGross, "-0.020"));
    EXPECT_EQ(recorded.Stables().front(), 0);
    EXPECT_EQ(CountCommand(scale.Commands(), "\x11"), 0u);
}

TEST_F(WeightReaderTest, SleepSettingIsReadEveryCycle)
{
    // The pause comes from the settings file at each cycle, as the dialog does it.
    const auto dir = std::filesystem::temp_directory_path() / ("reader-sleep-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string ini = (dir / "Option.ini").string();
    ASSERT_TRUE(Profile::WriteInt(ini, "System", "Sleep", 0));
    WeightReader fileReader(port, series, activeReturn,
                            [&ini] { return Profile::ReadInt(ini, "System", "Sleep", 100); }, recorded.Callbacks());

    fileReader.Start();
    // Without a pause the polls follow each other closely.
    ASSERT_TRUE(WaitForPolls("\x11", 6, 1500ms));

    ASSERT_TRUE(Profile::WriteInt(ini, "System", "Sleep", 600));
    const std::size_t before = CountCommand(scale.Commands(), "\x11");
    ASSERT_TRUE(WaitForPolls("\x11", before + 1));  // the cycle that reads the new value
    const std::size_t atPause = CountCommand(scale.Commands(), "\x11");
    std::this_thread::sleep_for(350ms);
    EXPECT_LE(CountCommand(scale.Commands(), "\x11"), atPause + 1);

    ASSERT_TRUE(Profile::WriteInt(ini, "System", "Sleep", 0));
    ASSERT_TRUE(WaitForPolls("\x11", atPause + 6, 1500ms));  // back to fast once the long pause ends
    fileReader.Stop();
    std::filesystem::remove_all(dir);
}

TEST_F(WeightReaderTest, StopDuringLongSleepReturnsAtOnce)
{
    sleepMs = 10000;
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    std::this_thread::sleep_for(20ms);  // well inside the pause
    const auto took = Timed([&] { reader.Stop(); });
    EXPECT_LT(took, 100ms);
    EXPECT_FALSE(reader.IsRunning());
    EXPECT_EQ(recorded.Finished(), 1);
}

TEST_F(WeightReaderTest, RequestStopDoesNotWaitAndTheReaderEndsByItself)
{
    sleepMs = 10000;
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    const auto took = Timed([&] { reader.RequestStop(); });
    EXPECT_LT(took, 20ms);
    ASSERT_TRUE(recorded.WaitForFinished(1, 500ms));
    EXPECT_FALSE(reader.IsRunning());
}

TEST_F(WeightReaderTest, StartWhileRunningLeavesOneReader)
{
    sleepMs = 5;
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    reader.Start();
    reader.Start();
    // Each restart joined its predecessor, which ended normally.
    EXPECT_EQ(recorded.Finished(), 2);
    EXPECT_TRUE(reader.IsRunning());
    recorded.Clear();
    ASSERT_TRUE(recorded.WaitForFields(9));
    EXPECT_EQ(recorded.Threads().size(), 1u);
    reader.Stop();
    EXPECT_EQ(recorded.Finished(), 3);
}

TEST_F(WeightReaderTest, UncheckAndRecheckQuicklyLeavesOneReader)
{
    sleepMs = 5;
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    for (int i = 0; i < 5; ++i) {
        reader.RequestStop();
        reader.Start();
    }
    EXPECT_EQ(recorded.Finished(), 5);
    recorded.Clear();
    ASSERT_TRUE(recorded.WaitForFields(9));
    EXPECT_EQ(recorded.Threads().size(), 1u);
}

TEST_F(WeightReaderTest, StopThenRestartReadsAgain)
{
    sleepMs = 10000;
    reader.Start();
    ASSERT_TRUE(recorded.WaitForFields(3));
    reader.Stop();
    EXPECT_FALSE(reader.IsRunning());
    EXPECT_EQ(recorded.Finished(), 1);

    scale.PlaceLoad(4.2);
    reader.Start();
    EXPECT_TRUE(reader.IsRunning());
    ASSERT_TRUE(recorded.WaitForFields(6));
    reader.Stop();
    EXPECT_EQ(recorded.Fields()[3], Field(kGross, "4.200"));
    EXPECT_EQ(recorded.Finished(), 2);
}

TEST_F(WeightReaderTest, StopWhileTheScaleIsSilent)
{
    scale.SetSilent(true);
    reader.Start();
    ASSERT_TRUE(WaitForPolls("\x11", 2));
    const auto took = Timed([&] { reader.Stop(); });
    EXPECT_LT(took, 400ms);  // at most the read in progress
    EXPECT_TRUE(recorded.Fields().empty());
    EXPECT_EQ(recorded.Finished(), 1);
}

TEST_F(WeightReaderTest, ZudScaleThatNeverPausesStillStops)
{
    series = SeriesZud;
    std::atomic<bool> sending{true};
    std::thread scaleSide([&] {
        while (sending) {
            scale.SendRaw("wn    1.000  ");
            std::this_thread::sleep_for(1ms);
        }
    });
    reader.Start();
    const bool shown = recorded.WaitForFields(5);
    const auto took = Timed([&] { reader.Stop(); });
    sending = false;
    scaleSide.join();
    ASSERT_TRUE(shown);
    EXPECT_LT(took, 400ms);
    EXPECT_FALSE(reader.IsRunning());
}

TEST_F(WeightReaderTest, ClosedPortIdlesUntilStoppedAndResumesWhenReopened)
{
    port.Close();
    reader.Start();
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(reader.IsRunning());  // a closed port does not end reading
    EXPECT_TRUE(scale.Commands().empty());

    ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    ASSERT_TRUE(recorded.WaitForFields(3));
    const auto took = Timed([&] { reader.Stop(); });
    EXPECT_LT(took, 400ms);
}

TEST_F(WeightReaderTest, ClosingThePortFromAnotherThreadWhileReading)
{
    scale.SetSilent(true);  // the reader spends its time inside reads
    reader.Start();
    ASSERT_TRUE(WaitForPolls("\x11", 1));
    std::thread closer([&] { port.Close(); });
    closer.join();
    EXPECT_FALSE(port.IsOpen());
    const std::size_t polls = scale.Commands().size();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(scale.Commands().size(), polls);  // nothing is written to a closed port
    EXPECT_TRUE(reader.IsRunning());
    reader.Stop();
    EXPECT_EQ(recorded.Finished(), 1);
}

TEST_F(WeightReaderTest, StopThenCloseAsTheDialogDoes)
{
    for (int round = 0; round < 3; ++round) {
        reader.Start();
        ASSERT_TRUE(WaitForPolls("\x11", std::size_t(round + 1)));
        reader.RequestStop();
        std::thread closer([&] {
            reader.Stop();
            port.Close();
        });
        closer.join();
        EXPECT_FALSE(reader.IsRunning());
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    }
    EXPECT_EQ(recorded.Finished(), 3);
}

TEST_F(WeightReaderTest, DestroyingARunningReaderStopsIt)
{
    std::atomic<int> localSeries{SeriesZev};
    Recorder local;
    {
        WeightReader temporary(port, localSeries, activeReturn, [] { return 10000; }, local.Callbacks());
        temporary.Start();
        ASSERT_TRUE(local.WaitForFields(3));
    }
    EXPECT_EQ(local.Finished(), 1);
}

} // namespace
