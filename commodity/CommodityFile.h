#pragma once

#include "link/ScaleSeries.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CommodityTable;

// The per-series commodity files ZUD.txt and ZEV.txt: GBK text, one commodity per CR LF line,
// "No.,Code,Product Name[,Price]" with no quoting.

// Appends the pieces of `text` between occurrences of `separator`. The search for the next separator
// starts one byte after the previous one (at index 1 the first time), so a separator in the very
// first position is part of the first field; a separator byte inside a double-byte character is not
// a split point. Empty text gives no pieces; an empty separator gives the whole text as one piece.
void SplitFields(std::string_view text, std::string_view separator, std::vector<std::string>& list);

// A field as the file keeps it: without the spaces (0x20) around it. Only whole characters are
// trimmed: a space that is the second byte of a double-byte character stays, as the splitter keeps
// it. A lead byte without its second byte (only possible at the end of a line) is dropped: saved
// before a comma it would join it.
std::string TrimCommodityField(std::string_view text);

// The file of a series inside the application directory; empty for a series without a file.
std::string CommodityFilePath(ScaleSeries series);

// Calls `take` with each line of the file's bytes as a text-mode read gives them (CR LF reads as LF;
// Ctrl+Z ends the file), numbered from 1.
void ForEachCommodityLine(std::string_view bytes, const std::function<void(int number, std::string_view line)>& take);

// Empties code, name and price of every row, then fills them from the file's bytes (text-mode rules:
// CR LF ends a line, Ctrl+Z ends the file). Lines of other than 3 or 4 fields, or whose number is
// outside 1..200, are skipped; a later line for the same number wins, and a line with an empty code
// empties its row (such a row is never saved). Spaces around code, name and price are trimmed, and a
// lead byte left without its second byte at the end of a line is dropped, so parsing what
// FormatCommodityText made of the result gives the same table again.
void ParseCommodityText(CommodityTable& table, std::string_view bytes);

// The file's bytes: "%s,%s,%s,%s\r\n" for every row with a code, in row order.
std::string FormatCommodityText(const CommodityTable& table);

enum class CommodityLoad {
    Loaded,      // the file was read whole, or the series has no file
    Missing,     // there is no file yet: the table stays empty
    Unreadable,  // the file exists but could not be read whole: the table holds what was read
};

// Empties the table and loads the series' file.
CommodityLoad LoadCommodityFile(CommodityTable& table, ScaleSeries series);

// Replaces the series' file with the table (DurableFile::Replace: a failed save leaves the old file
// whole). True when the file was written or the series has no file; false when it could not be written.
bool SaveCommodityFile(const CommodityTable& table, ScaleSeries series);
