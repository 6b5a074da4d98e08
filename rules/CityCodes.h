#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The city list of the gravity settings: each item is a city name followed by its telephone area
// code in parentheses, in a fixed order (the scale derives the local gravity from the code).
// Items are UTF-8; the area code itself is ASCII.
namespace CityCodes {

const std::vector<std::string>& Items();

// The item a fresh settings file selects: 广州(020).
inline constexpr int kDefaultIndex = 1;

} // namespace CityCodes
