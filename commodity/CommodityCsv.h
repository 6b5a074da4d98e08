#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CommodityTable;

// The commodity table as a CSV file, for spreadsheets and point-of-sale systems.
// Reading takes UTF-8 (with or without a byte-order mark) or GBK, separated by commas, semicolons
// or tabs, RFC 4180 quoting, an optional header naming the columns in English or Chinese (without
// one the columns are No., Code, Product Name, Price). Every row is checked against the rules of
// the table's cells and of the commodity file before anything reaches the table; what cannot be
// taken whole is named, never cut or dropped. Writing gives UTF-8 with a byte-order mark.
namespace CommodityCsv {

enum class Encoding { Utf8, Utf8WithBom, Gbk };

// What keeps a row out of the table; the first one found is reported.
enum class Problem {
    None,
    NumberOutOfRange,   // No. is not a whole number from 1 to 200
    NotGbk,             // `character` has no GBK encoding (in `column`)
    RefusedCharacter,   // `character` cannot stand in a cell (TextEntry's rule): a line break or
                        // other control character, or in Code or Product Name one of , [ ] < >
    CodeTooLong,        // the code is over 20 GBK bytes (`bytes`)
    PriceNotNumber,     // the price is not digits with at most one decimal point
    ExtraFields,        // a non-empty field in no column: after the price, or where the header names none
    TextAfterQuote,     // text between a closing quote and the separator (in `column`)
    NoCode,             // a name or a price without a code: the commodity file keeps only rows with a code
    Replaced,           // a later row without a problem (`otherLine`) has the same number and wins
};

enum class FileProblem {
    None,
    NoNumberColumn,  // a header without a No. column
    UnknownColumn,   // the header names a column that is not understood (`name`)
    RepeatedColumn,  // the header names a column twice (`name`)
    Utf16,           // UTF-16 text ("Unicode text" of a spreadsheet), not read
    UnclosedQuote,   // a quote opened on `line` never closes
    MixedEncoding,   // UTF-8 text with bytes that are not UTF-8, the first on `line`
    NotText,         // bytes the encoding cannot read, the first on `line`
    TooLarge,        // over kMaxFileBytes, or over kMaxDataLines rows
};

// What one import reads at most: a price list is a few kilobytes and 200 rows.
inline constexpr std::size_t kMaxFileBytes = 1024 * 1024;
inline constexpr std::size_t kMaxDataLines = 1000;

struct Row {
    int line = 0;  // the file line the row starts on, from 1
    // The fields as they would be kept, in UTF-8, for showing: surrounding spaces left out as the
    // commodity file leaves them out, a spreadsheet's protecting apostrophe taken off.
    std::string number, code, name, price;
    bool trimmed = false;        // code, name or price had spaces around it in the file
    Problem problem = Problem::None;
    int column = 0;              // CommodityTable column the problem is in
    char32_t character = 0;      // NotGbk, RefusedCharacter
    std::size_t bytes = 0;       // CodeTooLong
    int otherLine = 0;           // Replaced
    int commodity = 0;  // the number No. gives, 1..200; 0 when it gives none
    // For a row without a problem: the GBK texts of its cells.
    std::string gbkCode, gbkName, gbkPrice;
};

struct Import {
    FileProblem fileProblem = FileProblem::None;
    int fileLine = 0;            // the line a file problem is on, when it has one
    std::string columnName;      // UnknownColumn, RepeatedColumn: the header cell, as Printable shows it
    Encoding encoding = Encoding::Utf8;
    // The bytes read as whole text in UTF-8 and in GBK too: Parse chose UTF-8, the likelier, and
    // Parse(bytes, Encoding::Gbk) gives the other reading.
    bool bothReadings = false;
    char separator = ',';
    bool header = false;
    std::vector<Row> rows;  // every data row in file order; blank rows are left out

    int ProblemCount() const;
};

// Reads the file's bytes, in `encoding` when given (Utf8 and Utf8WithBom both take the bytes as
// UTF-8). Nothing is changed anywhere; the result says what an import would do.
Import Parse(std::string_view bytes, std::optional<Encoding> encoding = std::nullopt);

// Empties code, name and price of every row, then fills the rows of the import that have no problem.
void Apply(const Import& import, CommodityTable& table);

// The table as CSV: a byte-order mark, the header row (UTF-8 captions of No., Code, Product Name
// and Price), then every row with a code, name or price in number order; CR LF line ends, fields
// quoted where the separator, a quote, a line break or surrounding spaces need it, and a cell a
// spreadsheet would run as a formula protected by an apostrophe that Parse takes off again.
std::string Format(const CommodityTable& table, const std::array<std::string, 4>& header);

// Problem and file problem in plain English, one line (the command line's text; the dialogs
// translate their own).
std::string Describe(const Row& row);
std::string Describe(const Import& import);  // its file problem

// "U+1F600" and the character itself, for messages.
std::string CharacterName(char32_t character);

// Text for a message: control bytes as \xNN, a backslash doubled, everything else as it is.
std::string Printable(std::string_view text);

} // namespace CommodityCsv
