// The line log: what each entry shows, and the bound that keeps a long day of reading small.

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "link/LineLog.h"
#include "support/ScratchFolder.h"

namespace {

using LineLog::Direction;
using LineLog::Entry;

struct TextCase {
    const char* name;
    std::string bytes;
    std::string hex;
    std::string text;
};

class EntryTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(EntryTextTest, HexAndEscapedText)
{
    EXPECT_EQ(LineLog::HexText(GetParam().bytes), GetParam().hex);
    EXPECT_EQ(LineLog::EscapedText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EntryTextTest,
    ::testing::Values(
        TextCase{"Poll", "R", "52", "R"},
        TextCase{"FramedReport", "\x01\x02S    0.125k\x03\x04\r", "01 02 53 20 20 20 20 30 2E 31 32 35 6B 03 04 0D",
                 "\\x01\\x02S    0.125k\\x03\\x04\\r"},
        TextCase{"LineEnds", "Co.Shop\r\n", "43 6F 2E 53 68 6F 70 0D 0A", "Co.Shop\\r\\n"},
        TextCase{"GbkKeptWhole", "\xC6\xBB\xB9\xFB\t", "C6 BB B9 FB 09", "\xC6\xBB\xB9\xFB\\t"},  // 苹果
        TextCase{"LoneLeadByteAtTheEnd", "a\xC6", "61 C6", "a\\xC6"},
        TextCase{"LeadByteBeforeABadTrail", "\xC6\x7F", "C6 7F", "\\xC6\\x7F"},
        TextCase{"ZeroAndBackslash", std::string("\0\\", 2), "00 5C", "\\x00\\\\"},
        TextCase{"Nothing", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineLogRing, KeepsOnlyTheNewestUpToItsCapacity)
{
    LineLog::Ring ring;
    std::size_t dropped = 0;
    for (int i = 0; i < 10'005; ++i)
        dropped += ring.Add(Entry{{}, Direction::Read, std::to_string(i)});
    EXPECT_EQ(ring.Size(), 10'000u);
    EXPECT_EQ(dropped, 5u);
    EXPECT_EQ(ring.At(0).bytes, "5");
    EXPECT_EQ(ring.At(ring.Size() - 1).bytes, "10004");
}

TEST(LineLogInbox, AWindowThatDoesNotTakeStillHoldsOnlyTheCapacity)
{
    LineLog::Inbox inbox(3);
    std::thread worker([&] {
        for (int i = 0; i < 100; ++i)
            inbox.Record(i % 2 ? Direction::Read : Direction::Written, std::to_string(i));
    });
    worker.join();
    const auto taken = inbox.Take();
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].gap, 97u) << "what it dropped comes first, as one gap";
    EXPECT_EQ(taken[1].bytes, "97");
    EXPECT_EQ(taken[3].bytes, "99");
    EXPECT_EQ(taken[3].direction, Direction::Read);
    EXPECT_TRUE(inbox.Take().empty()) << "taken entries and the gap are gone";
}

} // namespace
