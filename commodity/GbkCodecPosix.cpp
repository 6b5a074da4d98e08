#include "commodity/GbkCodec.h"

#include <cerrno>
#include <mutex>

#include <iconv.h>

namespace GbkCodec {
namespace {

// One converter per direction, opened once; iconv state is reset before each use.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            ::iconv_close(cd_);
    }
    // Converts `in` whole into `out`; false at the first sequence it cannot convert.
    bool Convert(std::string_view in, std::string& out)
    {
        std::lock_guard lock(mutex_);
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            return false;
        ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* input = const_cast<char*>(in.data());
        std::size_t inputLeft = in.size();
        char buffer[256];
        while (inputLeft > 0) {
            char* output = buffer;
            std::size_t outputLeft = sizeof buffer;
            const std::size_t result = ::iconv(cd_, &input, &inputLeft, &output, &outputLeft);
            out.append(buffer, std::size_t(output - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
                return false;
        }
        return true;
    }

private:
    std::mutex mutex_;
    iconv_t cd_;
};

Converter& ToGbk()
{
    static Converter converter("GBK", "UTF-8");
    return converter;
}

Converter& FromGbk()
{
    static Converter converter("UTF-8", "GBK");
    return converter;
}

} // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8, Refusal* refusal)
{
    std::string gbk;
    gbk.reserve(utf8.size());
    // ASCII passes straight through; anything else goes one character at a time, so a refusal
    // names its character. A byte-order mark has no GBK form and is refused like any other.
    char32_t c = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = DecodeUtf8(utf8, at, c);
        if (length == 0 || (length > 1 && !ToGbk().Convert(utf8.substr(at, length), gbk))) {
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
        std::string piece;
        if (FromGbk().Convert(gbk.substr(at, length), piece) && !piece.empty()) {
            utf8 += piece;
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
