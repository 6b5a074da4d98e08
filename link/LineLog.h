#pragma once

#include "link/SerialLink.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// A record of what crosses the line: one entry per write or read, the newest kept up to a bound,
// so a day of reading never grows the memory.
namespace LineLog {

// Which way an entry's bytes went: the serial link's own word for it.
using Direction = SerialLink::LineDirection;

struct Entry {
    std::chrono::system_clock::time_point time;
    Direction direction;
    std::string bytes;
    // A gap line instead of bytes: this many entries were dropped here unseen (a long pause).
    std::size_t gap = 0;
};

inline constexpr std::size_t kCapacity = 10000;

// The newest entries, oldest first; adding past the capacity drops from the front.
class Ring {
public:
    explicit Ring(std::size_t capacity = kCapacity) : capacity_(capacity) {}

    // Returns how many entries were dropped from the front to make room.
    std::size_t Add(Entry entry);
    std::size_t Size() const { return entries_.size(); }
    std::size_t Capacity() const { return capacity_; }
    const Entry& At(std::size_t i) const { return entries_[i]; }
    void Clear() { entries_.clear(); }
    void DropFront(std::size_t count) { entries_.erase(entries_.begin(), entries_.begin() + std::ptrdiff_t(std::min(count, entries_.size()))); }
    // Moves every entry out, oldest first, leaving the ring empty.
    std::vector<Entry> TakeAll();

private:
    std::size_t capacity_;
    std::deque<Entry> entries_;
};

// The hand-over between the thread that owns the port (Record) and the window (Take): a ring
// under a lock, so a window that does not take for a while still holds at most the capacity.
// What it had to drop meanwhile comes first in the next Take() as one gap entry.
class Inbox {
public:
    explicit Inbox(std::size_t capacity = kCapacity) : ring_(capacity) {}
    void Record(Direction direction, std::string_view bytes);
    std::vector<Entry> Take();

private:
    std::mutex mutex_;
    Ring ring_;
    std::size_t dropped_ = 0;
};

// "HH:MM:SS.mmm", local time.
std::string TimeText(std::chrono::system_clock::time_point time);
// "52 0D 0A"
std::string HexText(std::string_view bytes);
// The bytes as GBK text: whole GBK characters kept, control bytes and anything not text as
// escapes ("\r", "\n", "\t", "\x01"), a backslash doubled.
std::string EscapedText(std::string_view bytes);
// One line: time, direction word, hex, text, separated by tabs (GBK, no line end).
std::string FormatEntry(const Entry& entry, std::string_view directionWord);

} // namespace LineLog
