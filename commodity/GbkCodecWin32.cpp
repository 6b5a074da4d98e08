#include "commodity/GbkCodec.h"

#include <windows.h>

// Unicode <-> GBK through the system's code page 936, one character at a time so that a refusal
// names its character and a bad byte costs only itself.
namespace GbkCodec {
namespace {

constexpr UINT kGbkCodePage = 936;

// The GBK bytes of one character beyond ASCII; false when code page 936 has none for it.
bool EncodeOne(char32_t c, std::string& out)
{
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
    return true;
}

} // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8, Refusal* refusal)
{
    std::string gbk;
    gbk.reserve(utf8.size());
    char32_t c = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = DecodeUtf8(utf8, at, c);
        if (length == 0 || (length > 1 && !EncodeOne(c, gbk))) {
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
        // 0x80 alone is the euro sign; 0x81..0xFE lead a pair.
        const std::size_t length = (lead >= 0x81 && lead <= 0xFE && at + 1 < gbk.size()) ? 2 : 1;
        char32_t c = 0;
        if (DecodeOne(gbk.substr(at, length), c)) {
            utf8 += Utf8Of(c);
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
