#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

class CommodityTable;

// The commodity table as a CSV file, for spreadsheets and point-of-sale systems.
// Reading takes UTF-8 (with or without a byte-order mark) or GBK, separated by commas, semicolons
// or tabs, RFC 4180 quoting, an optional header naming the columns in English or Chinese (without
// one the columns are No., Code, Product Name, Price). Every row is checked against the rules of
// the table's cells before anything reaches the table. Writing gives UTF-8 with a byte-order mark.
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
    ExtraFields,        // without a header, a non-empty field after the price
    Replaced,           // a later row (`otherLine`) has the same number and wins
};

enum class FileProblem {
    None,
    NoNumberColumn,  // a header without a No. column
    Utf16,           // UTF-16 text ("Unicode text" of a spreadsheet), not read
};

struct Row {
    int line = 0;  // the file line the row starts on, from 1
    // The fields as the file has them, in UTF-8, for showing.
    std::string number, code, name, price;
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
    Encoding encoding = Encoding::Utf8;
    char separator = ',';
    bool header = false;
    std::vector<Row> rows;  // every data row in file order; blank rows are left out

    int ProblemCount() const;
};

// Reads the file's bytes. Nothing is changed anywhere; the result says what an import would do.
Import Parse(std::string_view bytes);

// Empties code, name and price of every row, then fills the rows of the import that have no problem.
void Apply(const Import& import, CommodityTable& table);

// The table as CSV: a byte-order mark, the header row (UTF-8 captions of No., Code, Product Name
// and Price), then every row with a code, name or price in number order; CR LF line ends, fields
// quoted where the separator, a quote, a line break or surrounding spaces need it.
std::string Format(const CommodityTable& table, const std::array<std::string, 4>& header);

// Problem and file problem in plain English, one line (the command line's text; the dialogs
// translate their own).
std::string Describe(const Row& row);
std::string Describe(FileProblem problem);

// "U+1F600" and the character itself, for messages.
std::string CharacterName(char32_t character);

} // namespace CommodityCsv
