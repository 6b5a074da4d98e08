#include "commodity/CommodityFileCheck.h"

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"
#include "commodity/GbkCodec.h"
#include "commodity/TextEntry.h"
#include "settings/LeadingInteger.h"

#include <algorithm>
#include <map>

namespace {

struct Line {
    int number = 0;
    int commodity = 0;
    std::string cells[3];  // code, name, price as the file keeps them
    std::string problem;
};

std::string SpacesTrimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

// Why a kept cell cannot go out as the file has it, or nothing.
std::string CellProblem(const std::string& raw, const std::string& kept, int index)
{
    static const char* const kNames[] = {"Code", "Product Name", "Price"};
    const std::string name = kNames[index];
    if (kept != SpacesTrimmed(raw))
        return name + ": ends in half a double-byte character";
    if (GbkCodec::GbkToUtf8(kept).find("\xEF\xBF\xBD") != std::string::npos)
        return name + ": bytes that are not GBK";
    const auto field = index == 2 ? TextEntry::Field::Line : TextEntry::Field::Commodity;
    switch (TextEntry::Check(kept, field)) {
    case TextEntry::Verdict::Accepted:
        break;
    case TextEntry::Verdict::LineBreak:
    case TextEntry::Verdict::ControlCharacter:
        return name + ": a control character cannot be stored in a cell (\"" + CommodityCsv::Printable(kept) + "\")";
    case TextEntry::Verdict::Delimiter:
        return name + ": [ ] < > cannot be stored in a cell";
    }
    if (index == 0 && kept.size() > std::size_t(CommodityTable::kCodeBytes))
        return "Code is " + std::to_string(kept.size()) + " GBK bytes, more than 20";
    return {};
}

Line ReadLine(std::string_view text, int number)
{
    Line line;
    line.number = number;
    std::vector<std::string> fields;
    SplitFields(text, ",", fields);
    if (fields.size() != 3 && fields.size() != 4) {
        line.problem = std::to_string(fields.size()) + " field(s), not No.,Code,Product Name[,Price]: the line is skipped";
        return line;
    }
    line.commodity = LeadingInteger::Clamped(fields[0]);
    if (line.commodity < 1 || line.commodity > CommodityTable::kRows) {
        line.problem = "No. \"" + CommodityCsv::Printable(fields[0]) + "\" is not from 1 to 200: the line is skipped";
        line.commodity = 0;
        return line;
    }
    for (std::size_t i = 1; i < fields.size() && line.problem.empty(); ++i) {
        line.cells[i - 1] = TrimCommodityField(fields[i]);
        line.problem = CellProblem(fields[i], line.cells[i - 1], int(i - 1));
    }
    if (line.problem.empty() && line.cells[0].empty() && (!line.cells[1].empty() || !line.cells[2].empty()))
        line.problem = "no Code: the line empties its row";
    return line;
}

} // namespace

CommodityTextCheck CheckCommodityText(std::string_view bytes, CommodityTable& table)
{
    CommodityTextCheck check;
    table.ClearEntries();
    if (GbkCodec::IsUtf8(bytes) && std::any_of(bytes.begin(), bytes.end(), [](char c) { return c & 0x80; })) {
        check.utf8 = true;
        return check;
    }
    std::vector<Line> lines;
    ForEachCommodityLine(bytes, [&](int number, std::string_view text) {
        if (!SpacesTrimmed(text).empty())
            lines.push_back(ReadLine(text, number));
    });
    if (lines.size() > CommodityCsv::kMaxDataLines) {
        check.tooLarge = true;
        return check;
    }
    const std::size_t end = bytes.find('\x1A');
    if (end != std::string_view::npos && bytes.find_first_not_of("\x1A\r\n", end) != std::string_view::npos) {
        const int line = int(std::count(bytes.begin(), bytes.begin() + std::ptrdiff_t(end), '\n')) + 1;
        lines.push_back({line, 0, {}, "text after Ctrl+Z, which ends the file, is not read"});
    }

    // The last good line of a number wins.
    std::map<int, const Line*> winner;
    for (const Line& line : lines) {
        if (line.problem.empty())
            winner[line.commodity] = &line;
    }
    for (Line& line : lines) {
        if (line.problem.empty() && winner[line.commodity] != &line)
            line.problem = "No. " + std::to_string(line.commodity) + " again in line "
                + std::to_string(winner[line.commodity]->number) + ", which wins";
    }
    for (const Line& line : lines) {
        if (!line.problem.empty()) {
            check.problems.push_back({line.number, line.problem});
            continue;
        }
        for (int i = 0; i < 3; ++i)
            table.SetCell(line.commodity - 1, CommodityTable::Code + i, line.cells[i]);
    }
    return check;
}
