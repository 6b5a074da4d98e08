// The command splitter, fed as the line feeds it: writes at given times, commands taken at each
// write and whenever the splitter says one may have fallen due.

#include "sim/CommandSplitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ScaleCommandSet.h"
#include "sim/SimTestSupport.h"

using namespace std::chrono_literals;
using namespace SimTest;

namespace {

struct Write {
    int atMs;
    Bytes bytes;
};

std::vector<Bytes> Split(const std::vector<Write>& writes)
{
    CommandSplitter splitter;
    std::vector<Bytes> commands;
    TimePoint now = kStart;
    const auto takeDue = [&](TimePoint until) {
        for (auto due = splitter.NextDue(now); due && *due <= until; due = splitter.NextDue(now)) {
            now = *due;
            for (Bytes& command : splitter.Take(now))
                commands.push_back(std::move(command));
        }
    };
    for (const Write& write : writes) {
        const TimePoint at = kStart + std::chrono::milliseconds(write.atMs);
        takeDue(at);
        now = at;
        splitter.Add(write.bytes, now);
        for (Bytes& command : splitter.Take(now))
            commands.push_back(std::move(command));
    }
    takeDue(TimePoint::max());
    return commands;
}

struct SplitCase {
    const char* name;
    std::vector<Write> writes;
    std::vector<Bytes> expected;
};

const Bytes kPostback5 = ScaleCommandSet::SetPostbackFrequency(5);

const SplitCase kSplitCases[] = {
    {"lone tare", {{0, "T"}}, {"T"}},
    {"line tare", {{0, "T\r\n"}}, {"T\r\n"}},
    {"line zero, then lone zero", {{0, "Z\r\n"}, {10, "Z"}}, {"Z\r\n", "Z"}},
    {"tare then poll", {{0, "TR"}}, {"T", "R"}},
    {"line end soon after a tare", {{0, "T"}, {10, "\r\n"}}, {"T\r\n"}},
    {"line end long after a tare", {{0, "T"}, {40, "\r\n"}}, {"T", "\r\n"}},
    {"tare, lone CR, poll", {{0, "T\rR"}}, {"T", "\r", "R"}},
    {"polls back to back", {{0, "R\x11R"}}, {"R", "\x11", "R"}},
    {"stray control byte", {{0, "\x05" "Co.\r\n"}}, {"\x05", "Co.\r\n"}},
    {"esc without argument", {{0, Esc(0xFF)}}, {Esc(0xFF)}},
    {"esc with one argument", {{0, Esc(0x03, {0x00}) + Esc(0x01, {0xC0}) + Esc(0x0E, {0x01})}},
     {Esc(0x03, {0x00}), Esc(0x01, {0xC0}), Esc(0x0E, {0x01})}},
    {"esc with two arguments", {{0, Esc(0x02, {0x01, 0x2C}) + Esc(0x0A, {0x02, 0x05}) + Esc(0x0B, {0x01, 0x0F})}},
     {Esc(0x02, {0x01, 0x2C}), Esc(0x0A, {0x02, 0x05}), Esc(0x0B, {0x01, 0x0F})}},
    {"esc argument that looks like text", {{0, Esc(0x09, {'R'}) + "R"}}, {Esc(0x09, {'R'}), "R"}},
    {"postback frame", {{0, kPostback5}}, {kPostback5}},
    {"frame with zero bytes, then a poll", {{0, ScaleCommandSet::SetPostbackFrequency(0) + "R"}},
     {ScaleCommandSet::SetPostbackFrequency(0), "R"}},
    {"two commands in one write", {{0, "Co.Shop\r\n" + Esc(0x05, {0x01})}}, {"Co.Shop\r\n", Esc(0x05, {0x01})}},
    {"text lines in one write", {{0, "baud:9600\r\ncode:020\r\ng=9.788300\r\n15,5\r\n"}},
     {"baud:9600\r\n", "code:020\r\n", "g=9.788300\r\n", "15,5\r\n"}},
    {"gravity position is one command", {{0, "Lat=23.12\r\nASL=0050\r\n"}}, {"Lat=23.12\r\nASL=0050\r\n"}},
    {"gravity position across writes", {{0, "Lat=23.12\r\nAS"}, {10, "L=0050\r\n"}}, {"Lat=23.12\r\nASL=0050\r\n"}},
    {"latitude alone", {{0, "Lat=23.12\r\n"}}, {"Lat=23.12\r\n"}},
    {"latitude, then another line", {{0, "Lat=1\r\nCo.x\r\n"}}, {"Lat=1\r\n", "Co.x\r\n"}},
    {"line across writes", {{0, "Co.Sh"}, {20, "op\r\n"}}, {"Co.Shop\r\n"}},
    {"line end across writes", {{0, "plu\r"}, {20, "\n"}}, {"plu\r\n"}},
    {"esc across writes", {{0, B({0x1B, 0x00})}, {20, B({0x02, 0x01, 0x2C})}}, {Esc(0x02, {0x01, 0x2C})}},
    {"frame across writes", {{0, kPostback5.substr(0, 6)}, {20, kPostback5.substr(6)}}, {kPostback5}},
    {"upload block", {{0, "plu\r\n"}, {5, "1[1001]<Apple>3.50\r\n"}, {10, "2[]<>\r\n"}, {15, "end\r\n"}},
     {"plu\r\n", "1[1001]<Apple>3.50\r\n", "2[]<>\r\n", "end\r\n"}},
    {"unfinished line kept whole", {{0, "baud:96"}}, {"baud:96"}},
    {"unfinished esc kept whole", {{0, B({0x1B, 0x00})}}, {B({0x1B, 0x00})}},
    {"rest of a line kept apart after a pause", {{0, "baud:96"}, {250, "00\r\n"}}, {"baud:96", "00\r\n"}},
};

TEST(CommandSplitter, CutsByTheProtocolGrammar)
{
    for (const SplitCase& c : kSplitCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Split(c.writes), c.expected);
    }
}

TEST(CommandSplitter, OneByteFormsWaitForQuietAndUnfinishedOnesForIdle)
{
    CommandSplitter splitter;
    EXPECT_FALSE(splitter.NextDue(kStart));
    splitter.Add("T", kStart);
    EXPECT_TRUE(splitter.Take(kStart + 29ms).empty());
    EXPECT_EQ(splitter.NextDue(kStart + 29ms), kStart + CommandSplitter::kLoneByteWait);
    EXPECT_EQ(splitter.Take(kStart + 30ms), std::vector<Bytes>{"T"});
    EXPECT_FALSE(splitter.NextDue(kStart + 30ms));

    splitter.Add("baud:96", kStart);
    EXPECT_EQ(splitter.NextDue(kStart + 30ms), kStart + CommandSplitter::kIdleFlush);
    EXPECT_TRUE(splitter.Take(kStart + 199ms).empty());
    EXPECT_EQ(splitter.Take(kStart + 200ms), std::vector<Bytes>{"baud:96"});

    splitter.Add("Co.", kStart);
    splitter.Clear();
    EXPECT_FALSE(splitter.NextDue(kStart));
    EXPECT_TRUE(splitter.Take(kStart + 1s).empty());
}

} // namespace
