#include "commodity/CommodityCsv.h"

#include "commodity/CommodityTable.h"
#include "commodity/CsvHeader.h"
#include "commodity/CsvText.h"
#include "commodity/GbkCodec.h"
#include "commodity/GbkText.h"
#include "commodity/TextEntry.h"
#include "settings/LeadingInteger.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace CommodityCsv {
namespace {

using CsvHeader::Column;
using CsvHeader::kCode;
using CsvHeader::kColumns;
using CsvHeader::kName;
using CsvHeader::kNumber;
using CsvHeader::kPrice;
using CsvText::Field;
using CsvText::Record;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string TrimSpaces(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
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

// The first character a cell of `column` does not take (NUL is one): the cells' own rule, and any
// control character, C1 controls included, in every cell.
std::optional<char32_t> RefusedIn(const std::string& utf8, int column)
{
    const auto field = column == kPrice ? TextEntry::Field::Line : TextEntry::Field::Commodity;
    char32_t c = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = GbkCodec::DecodeUtf8(utf8, at, c);
        if (length == 0)
            return char32_t(0xFFFD);
        if ((c >= 0x80 && c < 0xA0)
            || (c < 0x80 && TextEntry::Check(utf8.substr(at, 1), field) != TextEntry::Verdict::Accepted))
            return c;
        at += length;
    }
    return std::nullopt;
}

// Checks the cells of a row that is whole: fills its commodity number, and on success its GBK texts.
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
        if (const auto refused = RefusedIn(*texts[column], column)) {
            row.character = *refused;
            return fail(Problem::RefusedCharacter, column);
        }
        GbkCodec::Refusal refusal;
        const auto converted = GbkCodec::Utf8ToGbk(*texts[column], &refusal);
        if (!converted) {
            row.character = refusal.character;
            return fail(Problem::NotGbk, column);
        }
        gbk[column] = *converted;
    }
    if (GbkText::ByteLength(gbk[kCode]) > std::size_t(CommodityTable::kCodeBytes)) {
        row.bytes = gbk[kCode].size();
        return fail(Problem::CodeTooLong, kCode);
    }
    if (!IsPrice(row.price))
        return fail(Problem::PriceNotNumber, kPrice);
    if (row.code.empty() && (!row.name.empty() || !row.price.empty()))
        return fail(Problem::NoCode, kCode);
    row.gbkCode = std::move(gbk[kCode]);
    row.gbkName = std::move(gbk[kName]);
    row.gbkPrice = std::move(gbk[kPrice]);
}

bool IsBlank(const Record& record)
{
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const Field& field) { return TrimSpaces(field.text).empty(); });
}

// Where each column stands, by the header's names; the header's file problem when it has one.
FileProblem ReadHeader(const Record& header, int (&at)[kColumns], Import& import)
{
    std::fill(std::begin(at), std::end(at), -1);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string& text = header.fields[i].text;
        if (TrimSpaces(text).empty())
            continue;  // an unnamed column, as spreadsheets leave after the last; it must stay empty
        const auto column = CsvHeader::ColumnNamed(text);
        if (!column || at[*column] >= 0) {
            import.columnName = Printable(TrimSpaces(text));
            return column ? FileProblem::RepeatedColumn : FileProblem::UnknownColumn;
        }
        at[*column] = int(i);
    }
    return at[kNumber] < 0 ? FileProblem::NoNumberColumn : FileProblem::None;
}

// True when the first record names columns rather than holding a commodity.
bool IsHeader(const Record& record)
{
    if (record.fields.empty() || CommodityNumber(TrimSpaces(record.fields.front().text)) != 0)
        return false;
    return std::any_of(record.fields.begin(), record.fields.end(),
                       [](const Field& field) { return CsvHeader::ColumnNamed(field.text).has_value(); });
}

Row ReadRow(const Record& record, const int (&at)[kColumns])
{
    Row row;
    row.line = record.line;
    std::string* texts[kColumns] = {&row.number, &row.code, &row.name, &row.price};
    int afterQuote = -1;
    for (int column = 0; column < kColumns; ++column) {
        if (at[column] < 0 || std::size_t(at[column]) >= record.fields.size())
            continue;
        const Field& field = record.fields[std::size_t(at[column])];
        *texts[column] = TrimSpaces(field.text);
        row.trimmed = row.trimmed || (column != kNumber && texts[column]->size() != field.text.size());
        if (column != kNumber)
            *texts[column] = CsvText::FromSpreadsheet(*texts[column]);
        if (field.textAfterQuote && afterQuote < 0)
            afterQuote = column;
    }
    bool extra = false;
    for (std::size_t i = 0; i < record.fields.size(); ++i) {
        const bool inColumn = std::find(std::begin(at), std::end(at), int(i)) != std::end(at);
        extra = extra || (!inColumn && !TrimSpaces(record.fields[i].text).empty());
    }
    row.commodity = CommodityNumber(row.number);
    if (afterQuote >= 0) {
        row.problem = Problem::TextAfterQuote;
        row.column = TableColumn(afterQuote);
    } else if (extra) {
        row.problem = Problem::ExtraFields;
        row.column = CommodityTable::Price;
    } else {
        Check(row);
    }
    return row;
}

// Of rows with the same number, the last without a problem wins; the earlier good ones say so.
void MarkReplaced(std::vector<Row>& rows)
{
    std::map<int, std::size_t> winner;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].problem == Problem::None)
            winner[rows[i].commodity] = i;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t last = winner[rows[i].commodity];
        if (rows[i].problem == Problem::None && last != i) {
            rows[i].problem = Problem::Replaced;
            rows[i].column = CommodityTable::Number;
            rows[i].otherLine = rows[last].line;
        }
    }
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

Import Parse(std::string_view bytes, std::optional<Encoding> encoding)
{
    Import import;
    if (bytes.size() > kMaxFileBytes) {
        import.fileProblem = FileProblem::TooLarge;
        return import;
    }
    const CsvText::Decoded decoded = CsvText::Decode(bytes, encoding);
    import.encoding = decoded.encoding;
    import.bothReadings = decoded.bothReadings;
    import.fileProblem = decoded.problem;
    import.fileLine = decoded.line;
    if (import.fileProblem != FileProblem::None)
        return import;
    import.separator = CsvText::DetectSeparator(decoded.text);
    std::vector<Record> records;
    if (!CsvText::SplitRecords(decoded.text, import.separator, records, import.fileLine)) {
        import.fileProblem = FileProblem::UnclosedQuote;
        return import;
    }
    records.erase(std::remove_if(records.begin(), records.end(), IsBlank), records.end());

    // Where each column stands: by the header's names, or in the fixed order.
    int at[kColumns] = {0, 1, 2, 3};
    std::size_t first = 0;
    if (!records.empty() && IsHeader(records.front())) {
        import.header = true;
        import.fileLine = records.front().line;
        import.fileProblem = ReadHeader(records.front(), at, import);
        if (import.fileProblem != FileProblem::None)
            return import;
        import.fileLine = 0;
        first = 1;
    }
    if (records.size() - first > kMaxDataLines) {
        import.fileProblem = FileProblem::TooLarge;
        return import;
    }
    for (std::size_t r = first; r < records.size(); ++r)
        import.rows.push_back(ReadRow(records[r], at));
    MarkReplaced(import.rows);
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
    const auto cell = [&table](int row, int column) {
        return CsvText::ForSpreadsheet(GbkCodec::GbkToUtf8(table.Cell(row, column)));
    };
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        if (table.HasEntry(row))
            addLine({table.Cell(row, CommodityTable::Number), cell(row, CommodityTable::Code),
                     cell(row, CommodityTable::Name), cell(row, CommodityTable::Price)});
    }
    return csv;
}

std::string CharacterName(char32_t character)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(character));
    if (character < 0x20 || (character >= 0x7F && character < 0xA0))
        return code;
    return std::string(code) + " \"" + GbkCodec::Utf8Of(character) + "\"";
}

std::string Printable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(byte));
            out += escaped;
        } else {
            if (c == '\\')
                out += '\\';
            out += c;
        }
    }
    return out;
}

std::string Describe(const Row& row)
{
    static const char* const kColumnNames[] = {"", "No.", "Code", "Product Name", "Price"};
    const std::string column = row.column >= 0 && row.column < 5 ? kColumnNames[row.column] : "";
    switch (row.problem) {
    case Problem::None:
        return "ok";
    case Problem::NumberOutOfRange:
        return "No. \"" + Printable(row.number) + "\" is not a number from 1 to 200";
    case Problem::NotGbk:
        return column + ": " + CharacterName(row.character) + " has no GBK encoding";
    case Problem::RefusedCharacter:
        return column + ": " + CharacterName(row.character) + " cannot be stored in a cell";
    case Problem::CodeTooLong:
        return "Code is " + std::to_string(row.bytes) + " GBK bytes, more than 20";
    case Problem::PriceNotNumber:
        return "Price \"" + Printable(row.price) + "\" is not a number with at most one decimal point";
    case Problem::ExtraFields:
        return "more fields than No., Code, Product Name and Price";
    case Problem::TextAfterQuote:
        return column + ": text after the closing quote";
    case Problem::NoCode:
        return "no Code: the commodity file keeps only rows with a code";
    case Problem::Replaced:
        return "No. " + row.number + " again in line " + std::to_string(row.otherLine) + ", which wins";
    }
    return {};
}

std::string Describe(const Import& import)
{
    const std::string line = std::to_string(import.fileLine);
    switch (import.fileProblem) {
    case FileProblem::None:
        return {};
    case FileProblem::NoNumberColumn:
        return "the header row names no No. column";
    case FileProblem::UnknownColumn:
        return "line " + line + ": the header names a column that is not understood: \"" + import.columnName + "\"";
    case FileProblem::RepeatedColumn:
        return "line " + line + ": the header names \"" + import.columnName + "\" twice";
    case FileProblem::Utf16:
        return "UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK)";
    case FileProblem::UnclosedQuote:
        return "line " + line + ": a quote opens here and never closes";
    case FileProblem::MixedEncoding:
        return "line " + line + ": bytes that are not UTF-8 in UTF-8 text";
    case FileProblem::NotText:
        return "line " + line + ": bytes that are not " + (import.encoding == Encoding::Gbk ? "GBK" : "UTF-8") + " text";
    case FileProblem::TooLarge:
        return "more than 1 MiB or more than 1000 rows; a table holds 200";
    }
    return {};
}

} // namespace CommodityCsv
