#include "cli/WideArguments.h"

#include "commodity/GbkCodec.h"

namespace {

bool IsHigh(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLow(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

std::optional<std::string> Utf8Of(const std::u16string& text)
{
    std::string utf8;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (IsHigh(unit) && at + 1 < text.size() && IsLow(text[at + 1])) {
            utf8 += GbkCodec::Utf8Of(0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[at + 1]) - 0xDC00));
            ++at;
        } else if (IsHigh(unit) || IsLow(unit)) {
            return std::nullopt;
        } else {
            utf8 += GbkCodec::Utf8Of(unit);
        }
    }
    return utf8;
}

} // namespace

std::optional<std::vector<std::string>> Utf8Arguments(const std::vector<std::u16string>& arguments)
{
    std::vector<std::string> utf8;
    for (const std::u16string& argument : arguments) {
        std::optional<std::string> text = Utf8Of(argument);
        if (!text)
            return std::nullopt;
        utf8.push_back(std::move(*text));
    }
    return utf8;
}
