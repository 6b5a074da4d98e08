#pragma once

#include <optional>
#include <string>

// The 2,149 GBK pairs that GBK leaves to the user (rows AA-AF and F8-FE, A140-A7A0, and the unassigned
// places in the symbol rows and at D7FA-D7FE and FE50-FEA0), each with the private-use code point
// U+E000..U+E864 that code page 936 gives it. Every codec backend goes through this one table, so a
// cell holding such a pair reads and writes the same on every platform.
namespace GbkUserDefined {

// The code point of a pair, or nothing when the pair is not one of them.
std::optional<char32_t> Decode(unsigned char lead, unsigned char trail);

// The pair of a code point, or nothing when it is not one of them.
std::optional<std::string> Encode(char32_t character);

// True for the private-use code points the table covers and those around them that code page 936
// maps otherwise (U+F8F5 to the single byte 0xFF): the codec refuses what the table does not map.
bool IsPrivateUse(char32_t character);

} // namespace GbkUserDefined
