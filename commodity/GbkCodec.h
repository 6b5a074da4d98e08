#pragma once

#include <optional>
#include <string>
#include <string_view>

// Conversion between UTF-8 (command line, CSV files) and the GBK bytes the table, the files and the
// wire hold. One interface, one backend per platform: iconv on POSIX, code page 936 on Windows.
// Both map the euro sign to 0x80 as code page 936 does. Neither takes the user-defined (private
// use) area that code page 936 maps: such characters are refused, such bytes read as no character.
namespace GbkCodec {

struct Refusal {
    char32_t character = 0;   // the first character without a GBK encoding; U+FFFD for malformed UTF-8
    std::size_t offset = 0;   // its byte offset in the UTF-8 text
};

// The GBK bytes of `utf8`, or nothing when a character has no GBK encoding or the text is not
// UTF-8; `refusal`, when given, then names the first such character.
std::optional<std::string> Utf8ToGbk(std::string_view utf8, Refusal* refusal = nullptr);

// The text of GBK bytes as UTF-8; a byte that starts no GBK character becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// True when `bytes` is well-formed UTF-8 (an empty text is).
bool IsUtf8(std::string_view bytes);

// The UTF-8 form of one code point (U+FFFD for a value that is none).
std::string Utf8Of(char32_t character);

// The length of the UTF-8 sequence at `at` and, in `character`, its code point; 0 when the sequence
// is malformed (overlong, a surrogate, beyond U+10FFFF, cut short) or `at` is past the end.
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& character);

} // namespace GbkCodec
