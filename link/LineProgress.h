#pragma once

#include <chrono>
#include <cstddef>

// Whether bytes on their way to the scale still move. Fed, over time, how many bytes have not left
// yet (still to be written plus what the driver still queues): while that count goes down the line
// moves; a count that stops going down is a held line (the scale's XOFF, a scale writing its memory),
// and one held for the whole bound is given up. Progress is measured, not the exchange's length: a
// long upload on a slow line never reaches the bound while it moves.
class LineProgress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kStallBound{10000};
    // A pause shorter than this is the line's own pace, not a hold worth telling the operator.
    static constexpr std::chrono::milliseconds kHeldAfter{500};

    enum class State {
        Empty,    // nothing left to go out
        Moving,   // the count went down within kHeldAfter
        Held,     // no progress for kHeldAfter or longer
        Stalled,  // no progress for the whole bound: give up
    };

    explicit LineProgress(Clock::time_point start, std::chrono::milliseconds bound = kStallBound)
        : lastProgress_(start), bound_(bound) {}

    State Sample(std::size_t pending, Clock::time_point now);

private:
    bool sampled_ = false;
    std::size_t least_ = 0;
    Clock::time_point lastProgress_;
    std::chrono::milliseconds bound_;
};
