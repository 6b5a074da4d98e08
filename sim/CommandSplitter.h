#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "link/ScaleCommandSet.h"

// Cuts the bytes a scale receives into its commands: "R", "\x11", "T", "T\r\n", "Co.name\r\n",
// each upload line, ESC commands with their arguments, 13-byte postback frames. A lone T or Z with
// nothing after it for kLoneByteWait is the one-byte form; "Lat=..\r\nASL=..\r\n" arriving together
// is one command; an unfinished command is kept whole after kIdleFlush without a byte.
class CommandSplitter {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    static constexpr std::chrono::milliseconds kLoneByteWait{30};
    static constexpr std::chrono::milliseconds kIdleFlush{200};

    // The length of the command at the front of `pending` (not empty), or 0 while more bytes are
    // needed. `quiet` says no byte came for kLoneByteWait.
    static std::size_t CommandLength(std::string_view pending, bool quiet);
    // How many argument bytes follow ESC 00 `code`.
    static std::size_t EscArgumentCount(std::uint8_t code);

    void Add(std::string_view bytes, TimePoint now);
    // The commands complete by `now`, in the order they came.
    std::vector<Bytes> Take(TimePoint now);
    // When Take() may next have a command; none while nothing is pending.
    std::optional<TimePoint> NextDue(TimePoint now) const;
    void Clear();

private:
    Bytes pending_;  // bytes of a command not complete yet
    TimePoint lastByteAt_{};
};
