#include "commodity/GbkCodec.h"
#include "commodity/GbkCodecBackend.h"

#include <windows.h>

// Unicode <-> GBK through the system's code page 936.
namespace GbkCodec {
namespace {

constexpr UINT kGbkCodePage = 936;

// Code page 936 maps GBK's user-defined areas to these; iconv's GBK has no such characters, so
// taking them here would save files that do not load alike on Linux.
bool IsPrivateUse(char32_t c)
{
    return c >= 0xE000 && c <= 0xF8FF;
}

// The GBK bytes of one character beyond ASCII; false when code page 936 has none for it.
bool EncodeOne(char32_t c, std::string& out)
{
    if (IsPrivateUse(c))
        return false;
    wchar_t units[2];
    int count = 1;
    if (c >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(c);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, units, count, bytes,
                                             sizeof bytes, nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    out.append(bytes, static_cast<std::size_t>(length));
    return true;
}

// The character that `length` GBK bytes form; false when they form none.
bool DecodeOne(std::string_view bytes, char32_t& c)
{
    wchar_t units[4];
    const int count = ::MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                            static_cast<int>(bytes.size()), units, 4);
    if (count == 1) {
        c = units[0];
    } else if (count == 2 && units[0] >= 0xD800 && units[0] < 0xDC00 && units[1] >= 0xDC00 && units[1] < 0xE000) {
        c = 0x10000 + ((char32_t(units[0]) - 0xD800) << 10) + (char32_t(units[1]) - 0xDC00);
    } else {
        return false;
    }
    return !IsPrivateUse(c);
}

} // namespace

bool Backend::EncodeCharacter(char32_t character, std::string_view, std::string& gbk)
{
    return EncodeOne(character, gbk);
}

bool Backend::DecodeCharacter(std::string_view gbk, std::string& utf8)
{
    char32_t c = 0;
    if (!DecodeOne(gbk, c))
        return false;
    utf8 += Utf8Of(c);
    return true;
}

} // namespace GbkCodec
