#include "commodity/CsvHeader.h"

#include <algorithm>
#include <map>
#include <string>

namespace CsvHeader {
namespace {

std::string Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// The name without a unit after it: "(元)", "（元）", "[kg]", "【元】", "/kg", "(元/公斤)".
std::string WithoutUnit(std::string text)
{
    static const std::string_view kOpenings[] = {"(", "\xEF\xBC\x88" /* （ */, "[", "\xE3\x80\x90" /* 【 */, "/"};
    std::size_t cut = text.size();
    for (const std::string_view opening : kOpenings)
        cut = std::min(cut, text.find(opening));
    // A name that is all unit is no name.
    return cut == 0 ? text : Trimmed(std::string_view(text).substr(0, cut));
}

} // namespace

std::optional<Column> ColumnNamed(std::string_view utf8)
{
    std::string text = WithoutUnit(Trimmed(utf8));
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    while (!text.empty() && (text.back() == '.' || text.back() == ':'))
        text.pop_back();
    static const std::map<std::string, Column, std::less<>> kNames = {
        {"no", kNumber}, {"number", kNumber}, {"plu", kNumber}, {"plu no", kNumber}, {"序号", kNumber},
        {"编号", kNumber},
        {"code", kCode}, {"编码", kCode}, {"代码", kCode}, {"货号", kCode}, {"商品编码", kCode},
        {"name", kName}, {"product", kName}, {"product name", kName}, {"品名", kName}, {"名称", kName},
        {"商品名称", kName}, {"商品名", kName},
        {"price", kPrice}, {"unit price", kPrice}, {"单价", kPrice}, {"价格", kPrice}, {"售价", kPrice},
    };
    const auto found = kNames.find(text);
    if (found == kNames.end())
        return std::nullopt;
    return found->second;
}

} // namespace CsvHeader
