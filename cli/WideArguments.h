#pragma once

#include <optional>
#include <string>
#include <vector>

// The program's arguments as UTF-8 from the UTF-16 Windows holds them in, so names and paths in
// any language arrive as typed rather than through the ANSI code page (where 商店 in a company
// name turned into other bytes). Nothing when an argument holds an unpaired surrogate, which no
// keyboard types and no UTF-8 can carry.
std::optional<std::vector<std::string>> Utf8Arguments(const std::vector<std::u16string>& arguments);
