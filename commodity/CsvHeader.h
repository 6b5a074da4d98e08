#pragma once

#include <optional>
#include <string_view>

// The names spreadsheets and point-of-sale exports give the commodity table's columns, in English and
// Chinese, with or without a unit after them ("单价(元)", "Price/kg").
namespace CsvHeader {

enum Column { kNumber, kCode, kName, kPrice, kColumns };

// The column a header cell names, or nothing when the name is not one of them.
std::optional<Column> ColumnNamed(std::string_view utf8);

} // namespace CsvHeader
