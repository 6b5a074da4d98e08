#include "controls/GbkConvert.h"

#include "commodity/GbkCodec.h"

// Through the core's codec, so that the window and the command line agree byte for byte on every
// platform (Qt for Windows has no GBK codec of its own: code page 936 is the core's there).

QString FromGbk(std::string_view bytes)
{
    return QString::fromStdString(GbkCodec::GbkToUtf8(bytes));
}

std::string ToGbk(const QString& text)
{
    const std::string utf8 = text.toStdString();
    if (auto whole = GbkCodec::Utf8ToGbk(utf8))
        return *whole;
    // Character by character, each one GBK lacks becoming '?'.
    std::string gbk;
    char32_t character = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = GbkCodec::DecodeUtf8(utf8, at, character);
        const std::size_t step = length ? length : 1;
        const auto one = length ? GbkCodec::Utf8ToGbk(std::string_view(utf8).substr(at, length)) : std::nullopt;
        gbk += one ? *one : std::string("?");
        at += step;
    }
    return gbk;
}

bool IsGbkText(const QString& text)
{
    const std::string utf8 = text.toStdString();
    const auto gbk = GbkCodec::Utf8ToGbk(utf8);
    return gbk && GbkCodec::GbkToUtf8(*gbk) == utf8;
}
