#pragma once

#include <cstddef>
#include <string_view>

// GBK (code page 936) helpers for 8-bit text. A byte 0x81..0xFE followed by another byte forms one
// double-byte character; every other byte is a character of its own. Lengths count bytes.
namespace GbkText {

bool IsLeadByte(unsigned char byte);

// The text's length in bytes (a Chinese character counts two).
std::size_t ByteLength(std::string_view text);

// Bytes of the character that starts at `index` (1 or 2; 0 at or past the end). A lead byte in the
// last position stands alone.
std::size_t CharacterLength(std::string_view text, std::size_t index);

// True when `index` starts a character (or is the end of the text), counting from the text's start.
bool IsCharacterBoundary(std::string_view text, std::size_t index);

// The longest prefix of at most `maxBytes` bytes that does not end inside a double-byte character.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes);

} // namespace GbkText
