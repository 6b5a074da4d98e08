#include "commodity/GbkCodec.h"

#include "commodity/GbkCodecBackend.h"
#include "commodity/GbkText.h"
#include "commodity/GbkUserDefined.h"

// The UTF-8 side of the codec and its text loops, the same on every platform.
namespace GbkCodec {

std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& out)
{
    if (at >= text.size())
        return 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        out = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000))
        return 0;
    out = value;
    return length;
}

std::string Utf8Of(char32_t c)
{
    if (c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))
        c = 0xFFFD;
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
    return out;
}

bool IsUtf8(std::string_view bytes)
{
    char32_t c = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = DecodeUtf8(bytes, at, c);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8, Refusal* refusal)
{
    std::string gbk;
    gbk.reserve(utf8.size());
    // ASCII passes straight through; anything else goes one character at a time, so a refusal
    // names its character. A byte-order mark has no GBK form and is refused like any other.
    // The private-use area goes through the user-defined table, never the backend, so every
    // platform agrees on it.
    char32_t c = 0;
    const auto encode = [&gbk](char32_t character, std::string_view text) {
        if (!GbkUserDefined::IsPrivateUse(character))
            return Backend::EncodeCharacter(character, text, gbk);
        const auto pair = GbkUserDefined::Encode(character);
        if (pair)
            gbk += *pair;
        return pair.has_value();
    };
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = DecodeUtf8(utf8, at, c);
        if (length == 0 || (length > 1 && !encode(c, utf8.substr(at, length)))) {
            if (refusal)
                *refusal = Refusal{length == 0 ? char32_t(0xFFFD) : c, at};
            return std::nullopt;
        }
        if (length == 1)
            gbk += char(c);
        at += length;
    }
    return gbk;
}

std::string GbkToUtf8(std::string_view gbk)
{
    std::string utf8;
    utf8.reserve(gbk.size() * 3 / 2);
    std::size_t at = 0;
    while (at < gbk.size()) {
        const auto lead = static_cast<unsigned char>(gbk[at]);
        if (lead < 0x80) {
            utf8 += char(lead);
            ++at;
            continue;
        }
        // 0x80 alone is the euro sign; a lead byte and its partner form a pair. Any other byte alone
        // forms nothing (code page 936 reads 0xFF as a private-use character that iconv has not).
        const std::size_t length = GbkText::CharacterLength(gbk, at);
        const auto userDefined = length == 2
            ? GbkUserDefined::Decode(lead, static_cast<unsigned char>(gbk[at + 1])) : std::nullopt;
        if (userDefined) {
            utf8 += Utf8Of(*userDefined);
            at += 2;
        } else if ((length == 2 || lead == 0x80) && Backend::DecodeCharacter(gbk.substr(at, length), utf8)) {
            at += length;
        } else {
            // Only the lead byte is lost: the byte after it may start a character of its own.
            utf8 += Utf8Of(0xFFFD);
            ++at;
        }
    }
    return utf8;
}

} // namespace GbkCodec
