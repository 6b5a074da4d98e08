#pragma once

#include <cstdint>
#include <string_view>

// The one reader of whole numbers at the front of a text, for settings values, commodity file
// fields, typed altitudes and port names: leading white space, an optional sign, then digits for
// as long as they last; 0 when there are none. The callers differ only in what a number too large
// for 32 bits becomes.
namespace LeadingInteger {

// Wraps modulo 2^32, as a 32-bit conversion does. With `basePrefixes`, "0x", "0o" or "0b" after the
// sign reads the digits in base 16, 8 or 2 (the settings file's notation).
std::int32_t Wrapped(std::string_view text, bool basePrefixes = false);

// Stops at the smallest or largest 32-bit value.
std::int32_t Clamped(std::string_view text);

} // namespace LeadingInteger
