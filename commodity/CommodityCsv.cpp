#include "commodity/CommodityCsv.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkCodec.h"
#include "commodity/GbkText.h"
#include "commodity/TextEntry.h"
#include "settings/LeadingInteger.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>

namespace CommodityCsv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct Field {
    std::string text;
    bool quoted = false;
};

struct Record {
    int line = 0;
    std::vector<Field> fields;
};

// The separator the first record uses most, outside quotes; a comma when it uses none.
char DetectSeparator(std::string_view text)
{
    int commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++commas;
        else if (!quoted && c == ';')
            ++semicolons;
        else if (!quoted && c == '\t')
            ++tabs;
    }
    if (semicolons > commas && semicolons >= tabs)
        return ';';
    if (tabs > commas && tabs > semicolons)
        return '\t';
    return ',';
}

// RFC 4180 records: quoted fields may hold the separator, quotes written twice and line breaks.
// Spaces before an opening quote and after a closing one are dropped; a quote inside an unquoted
// field is an ordinary character. CR LF, LF and CR all end a record.
std::vector<Record> SplitRecords(std::string_view text, char separator)
{
    std::vector<Record> records;
    int line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        Record record;
        record.line = line;
        bool endOfRecord = false;
        while (!endOfRecord) {
            Field field;
            std::size_t start = at;
            while (start < text.size() && text[start] == ' ')
                ++start;
            if (start < text.size() && text[start] == '"') {
                field.quoted = true;
                at = start + 1;
                while (at < text.size()) {
                    const char c = text[at];
                    if (c == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field.text += '"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    if (c == '\n' || (c == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n')))
                        ++line;
                    field.text += c;
                    ++at;
                }
                // Whatever stands between the closing quote and the separator is kept, spaces aside.
                while (at < text.size() && text[at] != separator && text[at] != '\n' && text[at] != '\r') {
                    if (text[at] != ' ')
                        field.text += text[at];
                    ++at;
                }
            } else {
                while (at < text.size() && text[at] != separator && text[at] != '\n' && text[at] != '\r')
                    field.text += text[at++];
            }
            record.fields.push_back(std::move(field));
            if (at >= text.size()) {
                endOfRecord = true;
            } else if (text[at] == separator) {
                ++at;
            } else {
                at += (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::string TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// Unquoted fields lose their surrounding spaces, as the commodity file's fields do.
std::string Value(const Field& field)
{
    return field.quoted ? field.text : TrimSpaces(field.text);
}

enum Column { kNumber, kCode, kName, kPrice, kColumns };

std::optional<Column> ColumnNamed(std::string text)
{
    text = TrimSpaces(text);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    static const std::map<std::string, Column, std::less<>> kNames = {
        {"no", kNumber}, {"序号", kNumber},
        {"code", kCode}, {"编码", kCode},
        {"product name", kName}, {"name", kName}, {"商品名称", kName},
        {"price", kPrice}, {"单价", kPrice},
    };
    const auto found = kNames.find(text);
    if (found == kNames.end())
        return std::nullopt;
    return found->second;
}

int TableColumn(int column)
{
    static constexpr int kTable[kColumns] = {CommodityTable::Number, CommodityTable::Code, CommodityTable::Name,
                                             CommodityTable::Price};
    return kTable[column];
}

// 1..200 from digits alone; 0 for anything else.
int CommodityNumber(const std::string& text)
{
    if (text.empty() || text.size() > 6 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int value = LeadingInteger::Clamped(text);
    return value >= 1 && value <= CommodityTable::kRows ? value : 0;
}

bool IsPrice(const std::string& text)
{
    if (text.empty())
        return true;
    bool digit = false;
    int points = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.')
            ++points;
        else
            return false;
    }
    return digit && points <= 1;
}

// The first character a cell of `column` does not take (by the cells' own rule), or 0.
char32_t RefusedIn(const std::string& utf8, const std::string& gbk, int column)
{
    const auto field = column == kPrice ? TextEntry::Field::Line : TextEntry::Field::Commodity;
    if (TextEntry::Check(gbk, field) == TextEntry::Verdict::Accepted)
        return 0;
    // The rule refuses single-byte characters only, and those are the ASCII bytes of the UTF-8 text.
    for (const char c : utf8) {
        if (static_cast<unsigned char>(c) < 0x80
            && TextEntry::Check(std::string_view(&c, 1), field) != TextEntry::Verdict::Accepted)
            return static_cast<unsigned char>(c);
    }
    return 0xFFFD;
}

// Checks one row: fills its commodity number, and on success its GBK texts.
void Check(Row& row)
{
    const std::string* texts[kColumns] = {&row.number, &row.code, &row.name, &row.price};
    auto fail = [&row](Problem problem, int column) {
        row.problem = problem;
        row.column = TableColumn(column);
    };
    row.commodity = CommodityNumber(row.number);
    if (row.commodity == 0)
        return fail(Problem::NumberOutOfRange, kNumber);
    std::string gbk[kColumns];
    for (int column = kCode; column < kColumns; ++column) {
        GbkCodec::Refusal refusal;
        const auto converted = GbkCodec::Utf8ToGbk(*texts[column], &refusal);
        if (!converted) {
            row.character = refusal.character;
            return fail(Problem::NotGbk, column);
        }
        gbk[column] = *converted;
    }
    for (int column = kCode; column < kColumns; ++column) {
        if (const char32_t refused = RefusedIn(*texts[column], gbk[column], column)) {
            row.character = refused;
            return fail(Problem::RefusedCharacter, column);
        }
    }
    if (GbkText::ByteLength(gbk[kCode]) > std::size_t(CommodityTable::kCodeBytes)) {
        row.bytes = gbk[kCode].size();
        return fail(Problem::CodeTooLong, kCode);
    }
    if (!IsPrice(row.price))
        return fail(Problem::PriceNotNumber, kPrice);
    row.gbkCode = std::move(gbk[kCode]);
    row.gbkName = std::move(gbk[kName]);
    row.gbkPrice = std::move(gbk[kPrice]);
}

bool IsBlank(const Record& record)
{
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const Field& field) { return Value(field).empty(); });
}

std::string Quoted(const std::string& text)
{
    const bool needs = text.find_first_of(",;\t\"\r\n") != std::string::npos
        || (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needs)
        return text;
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

} // namespace

int Import::ProblemCount() const
{
    return int(std::count_if(rows.begin(), rows.end(), [](const Row& row) { return row.problem != Problem::None; }));
}

Import Parse(std::string_view bytes)
{
    Import import;
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        import.fileProblem = FileProblem::Utf16;
        return import;
    }
    std::string text;
    if (bytes.substr(0, kBom.size()) == kBom) {
        import.encoding = Encoding::Utf8WithBom;
        text = bytes.substr(kBom.size());
    } else if (GbkCodec::IsUtf8(bytes)) {
        import.encoding = Encoding::Utf8;
        text = bytes;
    } else {
        import.encoding = Encoding::Gbk;
        text = GbkCodec::GbkToUtf8(bytes);
    }
    import.separator = DetectSeparator(text);
    std::vector<Record> records = SplitRecords(text, import.separator);
    records.erase(std::remove_if(records.begin(), records.end(), IsBlank), records.end());

    // Where each column stands: by the header's names, or in the fixed order.
    int at[kColumns] = {0, 1, 2, 3};
    std::size_t first = 0;
    if (!records.empty()) {
        int named[kColumns] = {-1, -1, -1, -1};
        const auto& fields = records.front().fields;
        // A first row that starts with a commodity number is data, whatever its texts say.
        const bool data = !fields.empty() && CommodityNumber(Value(fields.front())) != 0;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (const auto column = ColumnNamed(fields[i].text); !data && column && named[*column] < 0) {
                named[*column] = int(i);
                import.header = true;
            }
        }
        if (import.header) {
            if (named[kNumber] < 0) {
                import.fileProblem = FileProblem::NoNumberColumn;
                return import;
            }
            std::copy(std::begin(named), std::end(named), std::begin(at));
            first = 1;
        }
    }

    std::map<int, std::size_t> lastOfNumber;
    for (std::size_t r = first; r < records.size(); ++r) {
        const Record& record = records[r];
        Row row;
        row.line = record.line;
        std::string* texts[kColumns] = {&row.number, &row.code, &row.name, &row.price};
        for (int column = 0; column < kColumns; ++column) {
            if (at[column] >= 0 && std::size_t(at[column]) < record.fields.size())
                *texts[column] = Value(record.fields[std::size_t(at[column])]);
        }
        Check(row);
        if (!import.header && row.problem == Problem::None) {
            for (std::size_t i = kColumns; i < record.fields.size(); ++i) {
                if (!Value(record.fields[i]).empty()) {
                    row.problem = Problem::ExtraFields;
                    row.column = CommodityTable::Price;
                    break;
                }
            }
        }
        // The last row of a number wins, whatever else is wrong with it.
        if (const int number = row.commodity) {
            if (const auto earlier = lastOfNumber.find(number); earlier != lastOfNumber.end()) {
                Row& replaced = import.rows[earlier->second];
                if (replaced.problem == Problem::None) {
                    replaced.problem = Problem::Replaced;
                    replaced.column = CommodityTable::Number;
                }
                replaced.otherLine = row.line;
            }
            lastOfNumber[number] = import.rows.size();
        }
        import.rows.push_back(std::move(row));
    }
    return import;
}

void Apply(const Import& import, CommodityTable& table)
{
    table.ClearEntries();
    for (const Row& row : import.rows) {
        if (row.problem != Problem::None)
            continue;
        table.SetCell(row.commodity - 1, CommodityTable::Code, row.gbkCode);
        table.SetCell(row.commodity - 1, CommodityTable::Name, row.gbkName);
        table.SetCell(row.commodity - 1, CommodityTable::Price, row.gbkPrice);
    }
}

std::string Format(const CommodityTable& table, const std::array<std::string, 4>& header)
{
    std::string csv(kBom);
    const auto addLine = [&csv](const std::array<std::string, 4>& fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0)
                csv += ',';
            csv += Quoted(fields[i]);
        }
        csv += "\r\n";
    };
    addLine(header);
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        if (!table.HasEntry(row))
            continue;
        addLine({table.Cell(row, CommodityTable::Number), GbkCodec::GbkToUtf8(table.Cell(row, CommodityTable::Code)),
                 GbkCodec::GbkToUtf8(table.Cell(row, CommodityTable::Name)),
                 GbkCodec::GbkToUtf8(table.Cell(row, CommodityTable::Price))});
    }
    return csv;
}

std::string CharacterName(char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(character));
    if (character < 0x20 || character == 0x7F)
        return code;
    return std::string(code) + " \"" + GbkCodec::Utf8Of(character) + "\"";
}

std::string Describe(const Row& row)
{
    static const char* const kColumnNames[] = {"", "No.", "Code", "Product Name", "Price"};
    const std::string column = row.column >= 0 && row.column < 5 ? kColumnNames[row.column] : "";
    switch (row.problem) {
    case Problem::None:
        return "ok";
    case Problem::NumberOutOfRange:
        return "No. \"" + row.number + "\" is not a number from 1 to 200";
    case Problem::NotGbk:
        return column + ": " + CharacterName(row.character) + " has no GBK encoding";
    case Problem::RefusedCharacter:
        return column + ": " + CharacterName(row.character) + " cannot be stored in a cell";
    case Problem::CodeTooLong:
        return "Code is " + std::to_string(row.bytes) + " GBK bytes, more than 20";
    case Problem::PriceNotNumber:
        return "Price \"" + row.price + "\" is not a number with at most one decimal point";
    case Problem::ExtraFields:
        return "more fields than No., Code, Product Name and Price";
    case Problem::Replaced:
        return "No. " + row.number + " again in line " + std::to_string(row.otherLine) + ", which wins";
    }
    return {};
}

std::string Describe(FileProblem problem)
{
    switch (problem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoNumberColumn:
        return "the header row names no No. column";
    case FileProblem::Utf16:
        return "UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK)";
    }
    return {};
}

} // namespace CommodityCsv
