#include "link/ParameterDump.h"
#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"
#include "sim/VirtualScale.h"
#include "support/ScaleLines.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

struct DumpCase {
    const char* name;
    std::vector<std::string> blocks;
    std::string text;
    bool done;
};

class DumpBlocks : public ::testing::TestWithParam<DumpCase> {};

TEST_P(DumpBlocks, AreJoinedAndTrimmed)
{
    ParameterDump dump;
    for (const std::string& block : GetParam().blocks)
        dump.Append(block);
    EXPECT_EQ(dump.Text(), GetParam().text) << GetParam().name;
    EXPECT_EQ(dump.Done(), GetParam().done) << GetParam().name;
}

const std::string kDump = "parameter\r\nBaud=9600\r\nDiv=5\r\nend";

INSTANTIATE_TEST_SUITE_P(
    Table, DumpBlocks,
    ::testing::Values(
        DumpCase{"whole dump in one block", {kDump}, kDump, true},
        DumpCase{"leftover weight report before it", {"\x01\x02S  1.000kg\x03\x04ww 1.0 " + kDump}, kDump, true},
        DumpCase{"line end after end dropped", {kDump + "\r\n"}, kDump, true},
        DumpCase{"second dump after end dropped", {kDump + "\r\n" + kDump}, kDump, true},
        DumpCase{"split across blocks", {"junk para", "meter\r\nBaud=96", "00\r\ne", "nd\r\n"},
                 "parameter\r\nBaud=9600\r\nend", true},
        DumpCase{"end inside a longer word", {"parameter\r\nmode=endless\r\n"}, "parameter\r\nmode=end", true},
        DumpCase{"zero byte cuts its block only", {std::string("parameter\r\nA=1\0B=2\r\n", 21), "C=3\r\nend"},
                 "parameter\r\nA=1C=3\r\nend", true},
        DumpCase{"zero byte at the start of a block", {"parameter\r\n", std::string("\0end", 4)}, "parameter\r\n",
                 false},
        DumpCase{"no end yet", {"xx", "parameter\r\nBaud=9600"}, "parameter\r\nBaud=9600", false},
        DumpCase{"junk kept until parameter arrives", {"\x01\x02junk"}, "\x01\x02junk", false},
        // The first "end" of the joined text completes it, even in junk before the dump...
        DumpCase{"end before parameter", {"weekend "}, "weekend", true},
        // ...unless "parameter" arrives in the same block and drops the junk first.
        DumpCase{"junk with end and the dump in one block", {"weekend " + kDump}, kDump, true},
        DumpCase{"parameter and end in one word", {"parameterend tail"}, "parameterend", true},
        DumpCase{"nothing", {}, "", false}),
    [](const auto& info) {
        std::string name;
        for (const char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

using namespace std::chrono_literals;

// The whole exchange against the virtual scale over the real link.
class ParameterReadout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scale.Start());
        ASSERT_EQ(SerialLink::OpenSerialPort(scale.PortPath(), port, 9600), 1);
    }
    void TearDown() override
    {
        port.Close();
        scale.Stop();
    }

    std::string Read()
    {
        const auto start = std::chrono::steady_clock::now();
        std::string text = ReadParameterDump(port);
        took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return text;
    }

    VirtualScale scale = ScaleLines::ForThisRun();
    SerialLink::PortHandle port;
    std::chrono::milliseconds took{0};
};

const Bytes kStopPostback{'\x1B', '\x00', '\x03', '\x00'};
const Bytes kReadParameters{'\x1B', '\x00', '\xFF'};

TEST_F(ParameterReadout, StopsPostbackThenReadsTheWholeDump)
{
    const std::string text = Read();
    EXPECT_EQ(scale.Commands(), (std::vector<Bytes>{kStopPostback, kReadParameters}));
    ASSERT_GT(text.size(), std::size_t(ParameterDump::kBlockBytes));  // came in more than one block
    EXPECT_EQ(text.rfind("parameter\r\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 5), "\r\nend");
    EXPECT_NE(text.find("BACK=OFF\r\n"), std::string::npos);  // the scale had its postback stopped first
    EXPECT_LT(took, 1000ms);  // ends at "end", not at the time limit
}

TEST_F(ParameterReadout, ReportsOfARunningPostbackAreNotShown)
{
    const Bytes postback = ScaleCommandSet::SetPostbackFrequency(10);
    ASSERT_EQ(SerialLink::WriteBytes(port, postback.data(), postback.size()), int(postback.size()));
    ASSERT_TRUE(scale.WaitForCommands(1, 1s));
    std::this_thread::sleep_for(250ms);  // reports pile up unread
    const std::string text = Read();
    EXPECT_EQ(text.rfind("parameter\r\n", 0), 0u);
    EXPECT_EQ(scale.PostbackRate(), 0);
}

struct ExchangeCase {
    const char* name;
    Bytes dump;
    std::string shown;
    bool endsEarly;  // before the one-second limit
};

class DumpExchanges : public ParameterReadout, public ::testing::WithParamInterface<ExchangeCase> {};

TEST_P(DumpExchanges, ShowFromParameterToEnd)
{
    scale.SetParameterDump(GetParam().dump);
    EXPECT_EQ(Read(), GetParam().shown);
    if (GetParam().endsEarly) {
        EXPECT_LT(took, 900ms);
    } else {
        EXPECT_GE(took, 1000ms);
        EXPECT_LT(took, 1700ms);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DumpExchanges,
    ::testing::Values(
        ExchangeCase{"junk_before", "\x01\x02S    1.000k\x03\x04\rparameter\r\nA=1\r\nend\r\n",
                     "parameter\r\nA=1\r\nend", true},
        ExchangeCase{"long_dump_in_several_blocks",
                     "parameter\r\n" + std::string(200, 'x') + "\r\n" + std::string(200, 'y') + "\r\nend\r\n",
                     "parameter\r\n" + std::string(200, 'x') + "\r\n" + std::string(200, 'y') + "\r\nend", true},
        ExchangeCase{"end_inside_a_word", "parameter\r\nmode=endless\r\nB=2\r\nend\r\n", "parameter\r\nmode=end",
                     true},
        ExchangeCase{"nothing_after_end", "parameter\r\nend", "parameter\r\nend", true},
        ExchangeCase{"zero_byte_cuts_its_block", Bytes("parameter\r\nA=1\0B=2\r\nend\r\n", 25), "parameter\r\nA=1",
                     false},
        ExchangeCase{"no_end_shown_as_far_as_it_came", "xx parameter\r\nA=1\r\n", "parameter\r\nA=1\r\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterReadout, SilentScaleGivesAnEmptyTextAfterASecond)
{
    scale.SetSilent(true);
    EXPECT_EQ(Read(), "");
    EXPECT_GE(took, 1000ms);
    EXPECT_LT(took, 1700ms);
    EXPECT_EQ(scale.Commands(), (std::vector<Bytes>{kStopPostback, kReadParameters}));
}

TEST_F(ParameterReadout, ClosedPortSendsNothingAndReturnsAtOnce)
{
    port.Close();
    EXPECT_EQ(Read(), "");
    EXPECT_LT(took, 50ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(scale.Received().empty());
}

} // namespace
