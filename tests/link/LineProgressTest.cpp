#include "link/LineProgress.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using State = LineProgress::State;
using std::chrono::milliseconds;

// Samples of the bytes not yet on the wire, each at a time since the wait began, and what the
// line is judged to be at that sample.
struct Sample {
    int atMs;
    std::size_t pending;
    State expected;
};

struct Case {
    const char* name;
    std::vector<Sample> samples;
};

class LineProgressTable : public ::testing::TestWithParam<Case> {};

TEST_P(LineProgressTable, JudgesTheLineByItsProgress)
{
    const auto start = LineProgress::Clock::time_point{} + std::chrono::hours(1);
    LineProgress progress(start);
    for (const Sample& sample : GetParam().samples) {
        EXPECT_EQ(progress.Sample(sample.pending, start + milliseconds(sample.atMs)), sample.expected)
            << "at " << sample.atMs << " ms with " << sample.pending << " bytes pending";
    }
}

constexpr int kBound = int(LineProgress::kStallBound.count());
constexpr int kHeld = int(LineProgress::kHeldAfter.count());

INSTANTIATE_TEST_SUITE_P(
    Table, LineProgressTable,
    ::testing::Values(
        Case{"empty", {{0, 0, State::Empty}}},
        Case{"moving", {{0, 4000, State::Moving}, {400, 3000, State::Moving}, {800, 2000, State::Moving},
                        {1200, 0, State::Empty}}},
        // A slow line that moves a little at a time is never given up, however long it takes.
        Case{"slowButMoving", {{0, 100, State::Moving}, {kBound - 200, 100, State::Held}, {kBound - 100, 99, State::Moving},
                               {2 * kBound - 300, 99, State::Held}, {2 * kBound - 200, 98, State::Moving},
                               {2 * kBound, 0, State::Empty}}},
        Case{"heldThenMoving", {{0, 500, State::Moving}, {kHeld - 1, 500, State::Moving}, {kHeld, 500, State::Held},
                                {3000, 500, State::Held}, {3100, 400, State::Moving}, {3200, 0, State::Empty}}},
        Case{"heldPastTheBound", {{0, 500, State::Moving}, {kBound - 1, 500, State::Held}, {kBound, 500, State::Stalled}}},
        // More queued (a write handed over more) is no progress; only a count below the least seen is.
        Case{"growingIsNoProgress", {{0, 100, State::Moving}, {kHeld, 200, State::Held}, {kBound, 150, State::Stalled}}},
        Case{"stallAfterProgress", {{0, 500, State::Moving}, {2000, 100, State::Moving},
                                    {2000 + kBound - 1, 100, State::Held}, {2000 + kBound, 100, State::Stalled}}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
