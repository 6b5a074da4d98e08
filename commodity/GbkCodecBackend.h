#pragma once

#include <string>
#include <string_view>

// What each platform's codec provides: one character at a time, so that a refusal names its
// character and a bad byte costs only itself. The text loops around them are shared.
namespace GbkCodec::Backend {

// Appends the GBK bytes of one character beyond ASCII (`utf8` is its UTF-8 form); false when GBK
// has none for it.
bool EncodeCharacter(char32_t character, std::string_view utf8, std::string& gbk);

// Appends, as UTF-8, the character that `gbk` (a lead byte and its partner, or 0x80 alone) forms;
// false when it forms none.
bool DecodeCharacter(std::string_view gbk, std::string& utf8);

} // namespace GbkCodec::Backend
