#pragma once

#include "commodity/CommodityCsv.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The layers of a CSV file under its rows: which encoding the bytes are in, and the records and
// fields RFC 4180 quoting makes of the text.
namespace CsvText {

struct Decoded {
    std::string text;  // UTF-8, without a byte-order mark
    CommodityCsv::Encoding encoding = CommodityCsv::Encoding::Utf8;
    bool bothReadings = false;  // the bytes are also whole GBK text of another meaning
    CommodityCsv::FileProblem problem = CommodityCsv::FileProblem::None;
    int line = 0;  // where the problem is, from 1
};

// The text of the bytes: in `wanted`, or in the encoding the bytes show (a byte-order mark, whole
// UTF-8 text, or else GBK). Bytes the encoding cannot read are a problem of the file: nothing is
// replaced.
Decoded Decode(std::string_view bytes, std::optional<CommodityCsv::Encoding> wanted);

struct Field {
    std::string text;
    bool quoted = false;
    bool textAfterQuote = false;  // something other than spaces stood between the closing quote and the separator
};

struct Record {
    int line = 0;
    std::vector<Field> fields;
};

// The separator the first record uses most, outside quotes; a comma when it uses none.
char DetectSeparator(std::string_view text);

// RFC 4180 records: quoted fields may hold the separator, quotes written twice and line breaks. A
// quote inside an unquoted field is an ordinary character. CR LF, LF and CR all end a record. False,
// with the line it opened on, when a quote never closes.
bool SplitRecords(std::string_view text, char separator, std::vector<Record>& records, int& unclosedLine);

// A cell as a spreadsheet takes it as text: one that begins with = + - or @ (or with the quote this
// adds, followed by one of those) gets a leading apostrophe. FromSpreadsheet takes it off again.
std::string ForSpreadsheet(const std::string& cell);
std::string FromSpreadsheet(const std::string& field);

} // namespace CsvText
