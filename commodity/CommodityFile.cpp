#include "commodity/CommodityFile.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"
#include "link/ScaleCommandSet.h"
#include "settings/AppPaths.h"
#include "settings/DurableFile.h"
#include "settings/LeadingInteger.h"

namespace {

// Index of the next separator at or after `from` that starts on a character boundary, or npos.
// `boundary` (at most `from`) is known to start a character: the walk over characters starts there.
std::size_t findSeparator(std::string_view text, std::string_view separator, std::size_t from, std::size_t boundary)
{
    if (separator.empty())
        return std::string_view::npos;
    std::size_t at = boundary;
    while (at < text.size()) {
        if (at >= from && text.compare(at, separator.size(), separator) == 0)
            return at;
        at += GbkText::CharacterLength(text, at);
    }
    return std::string_view::npos;
}

} // namespace

std::string TrimCommodityField(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ')
        ++first;
    std::size_t end = first;
    for (std::size_t at = first; at < text.size();) {
        const std::size_t length = GbkText::CharacterLength(text, at);
        const bool loneLead = length == 1 && GbkText::IsLeadByte(static_cast<unsigned char>(text[at]));
        if (!(length == 1 && (text[at] == ' ' || loneLead)))
            end = at + length;
        at += length;
    }
    return std::string(text.substr(first, end - first));
}

namespace {

void takeLine(CommodityTable& table, std::string_view line)
{
    std::vector<std::string> fields;
    SplitFields(line, ",", fields);
    if (fields.size() != 3 && fields.size() != 4)
        return;
    const int number = LeadingInteger::Clamped(fields[0]);
    if (number < 1 || number > CommodityTable::kRows)
        return;
    const int row = number - 1;
    table.SetCell(row, CommodityTable::Code, TrimCommodityField(fields[1]));
    table.SetCell(row, CommodityTable::Name, TrimCommodityField(fields[2]));
    if (fields.size() == 4)
        table.SetCell(row, CommodityTable::Price, TrimCommodityField(fields[3]));
}

} // namespace

void SplitFields(std::string_view text, std::string_view separator, std::vector<std::string>& list)
{
    const std::size_t length = text.size();
    std::size_t pos = 0;
    while (pos != length) {
        const std::size_t start = pos == 0 ? 0 : pos + separator.size();
        // `pos` is 0 or where the last separator began: a character boundary.
        const std::size_t next = findSeparator(text, separator, pos + 1, pos);
        pos = next == std::string_view::npos ? length : next;
        // Overlapping separators ("aa" in "aaa") give an empty piece rather than a negative one.
        list.emplace_back(start < pos ? text.substr(start, pos - start) : std::string_view());
    }
}

std::string CommodityFilePath(ScaleSeries series)
{
    switch (series) {
    case ScaleSeries::Zud:
        return AppPaths::InApplicationDirectory("ZUD.txt");
    case ScaleSeries::Zev:
        return AppPaths::InApplicationDirectory("ZEV.txt");
    default:
        return {};
    }
}

void ForEachCommodityLine(std::string_view bytes, const std::function<void(int number, std::string_view line)>& take)
{
    // Ctrl+Z ends a file read in text mode.
    const std::size_t end = bytes.find('\x1A');
    if (end != std::string_view::npos)
        bytes = bytes.substr(0, end);
    int number = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t newline = bytes.find('\n', at);
        const bool terminated = newline != std::string_view::npos;
        if (!terminated)
            newline = bytes.size();
        std::string_view raw = bytes.substr(at, newline - at);
        // CR LF reads as LF; a CR elsewhere stays.
        if (terminated && !raw.empty() && raw.back() == '\r')
            raw.remove_suffix(1);
        take(++number, raw);
        at = newline + 1;
    }
}

void ParseCommodityText(CommodityTable& table, std::string_view bytes)
{
    table.ClearEntries();
    ForEachCommodityLine(bytes, [&table](int, std::string_view line) { takeLine(table, line); });
}

std::string FormatCommodityText(const CommodityTable& table)
{
    std::string bytes;
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        const std::string& code = table.Cell(row, CommodityTable::Code);
        if (code.empty())
            continue;
        bytes += table.Cell(row, CommodityTable::Number);
        bytes += ',';
        bytes += code;
        bytes += ',';
        bytes += table.Cell(row, CommodityTable::Name);
        bytes += ',';
        bytes += table.Cell(row, CommodityTable::Price);
        bytes += "\r\n";
    }
    return bytes;
}

CommodityLoad LoadCommodityFile(CommodityTable& table, ScaleSeries series)
{
    table.ClearEntries();
    const std::string path = CommodityFilePath(series);
    if (path.empty())
        return CommodityLoad::Loaded;
    std::string bytes;
    // Opened for reading only: a read-only commodity file still loads.
    const DurableFile::ReadStatus status = DurableFile::ReadAll(path, bytes);
    ParseCommodityText(table, bytes);
    switch (status) {
    case DurableFile::ReadStatus::Read:
        return CommodityLoad::Loaded;
    case DurableFile::ReadStatus::Missing:
        return CommodityLoad::Missing;
    case DurableFile::ReadStatus::Failed:
        break;
    }
    return CommodityLoad::Unreadable;
}

bool SaveCommodityFile(const CommodityTable& table, ScaleSeries series)
{
    const std::string path = CommodityFilePath(series);
    if (path.empty())
        return true;
    return DurableFile::Replace(path, FormatCommodityText(table));
}
