#pragma once

#include <chrono>
#include <initializer_list>

#include "link/ScaleCommandSet.h"

namespace SimTest {

using TimePoint = std::chrono::steady_clock::time_point;

// Where the tests' time starts: far from the clock's epoch, as steady_clock readings are.
inline const TimePoint kStart = TimePoint{} + std::chrono::hours(1);

inline Bytes B(std::initializer_list<unsigned char> bytes) { return Bytes(bytes.begin(), bytes.end()); }

// ESC 00 `code` with its argument bytes.
inline Bytes Esc(unsigned char code, std::initializer_list<unsigned char> args = {})
{
    return B({0x1B, 0x00, code}) + B(args);
}

} // namespace SimTest
