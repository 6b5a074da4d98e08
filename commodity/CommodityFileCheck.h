#pragma once

#include <string>
#include <string_view>
#include <vector>

class CommodityTable;

// A commodity file (ZUD.txt, ZEV.txt) given to be sent: read by the file's rules, with every line
// those rules would skip or change named rather than passed over.

struct CommodityLineProblem {
    int line = 0;        // from 1
    std::string reason;  // plain English, control bytes escaped
};

struct CommodityTextCheck {
    bool utf8 = false;      // the text is UTF-8 beyond ASCII, not GBK: nothing was read
    bool tooLarge = false;  // more lines than CommodityCsv::kMaxDataLines: nothing was read
    std::vector<CommodityLineProblem> problems;
};

// Empties the table and fills it with the lines that have no problem. A line has one when the file's
// rules skip it (not 3 or 4 fields, a number outside 1..200), a later good line of its number wins,
// it holds a name or price without a code, a cell holds what cells refuse (a control character, or
// , [ ] < > in code or name) or bytes that are not GBK, the code is over 20 bytes, or a field ends in
// half a character. Text after a Ctrl+Z, which ends the file, is a problem of that line. Blank
// lines are none.
CommodityTextCheck CheckCommodityText(std::string_view bytes, CommodityTable& table);
