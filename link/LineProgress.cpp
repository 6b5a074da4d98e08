#include "link/LineProgress.h"

LineProgress::State LineProgress::Sample(std::size_t pending, Clock::time_point now)
{
    if (!sampled_ || pending < least_) {
        // The first look counts as progress: the wait starts from it.
        if (sampled_)
            lastProgress_ = now;
        sampled_ = true;
        least_ = pending;
    }
    if (pending == 0)
        return State::Empty;
    const auto still = now - lastProgress_;
    if (still >= bound_)
        return State::Stalled;
    return still >= kHeldAfter ? State::Held : State::Moving;
}
