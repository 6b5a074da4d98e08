#include "commodity/GbkCodecBackend.h"

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

bool Backend::EncodeCharacter(char32_t, std::string_view utf8, std::string& gbk)
{
    return ToGbk().Convert(utf8, gbk);
}

bool Backend::DecodeCharacter(std::string_view gbk, std::string& utf8)
{
    // Straight into the text; a refusal takes back whatever it appended.
    const std::size_t before = utf8.size();
    if (FromGbk().Convert(gbk, utf8) && utf8.size() > before)
        return true;
    utf8.resize(before);
    return false;
}

} // namespace GbkCodec
