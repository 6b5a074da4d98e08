// A commodity file given to the command line: every line its rules would skip or change is named,
// and only the lines that are whole reach the table.

#include "commodity/CommodityFileCheck.h"
#include "commodity/CommodityTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CheckCase {
    const char* what;
    std::string bytes;
    std::vector<int> refusedLines;  // the lines named, in order
    const char* reason;             // in the first one's reason
    std::string code1;              // what commodity 1 holds afterwards
};

class CommodityFileCheckTable : public testing::TestWithParam<CheckCase> {};

TEST_P(CommodityFileCheckTable, NamesEveryLineItCannotTakeWhole)
{
    const CheckCase& c = GetParam();
    CommodityTable table;
    table.SetCell(1, CommodityTable::Code, "OLD");
    const CommodityTextCheck check = CheckCommodityText(c.bytes, table);
    EXPECT_FALSE(check.utf8);
    std::vector<int> lines;
    for (const CommodityLineProblem& problem : check.problems)
        lines.push_back(problem.line);
    EXPECT_EQ(lines, c.refusedLines) << c.what;
    if (!check.problems.empty())
        EXPECT_NE(check.problems.front().reason.find(c.reason), std::string::npos) << check.problems.front().reason;
    EXPECT_EQ(table.Cell(0, CommodityTable::Code), c.code1) << c.what;
    EXPECT_EQ(table.Cell(1, CommodityTable::Code), "") << "the table is emptied first";
}

INSTANTIATE_TEST_SUITE_P(Cases, CommodityFileCheckTable, testing::Values(
    CheckCase{"a whole file; blank lines are no lines", "1,A1,Apple,1\r\n\r\n  \r\n3,C3,Fig\r\n", {}, "", "A1"},
    CheckCase{"semicolons make one field", "1;A1;Apple;1\r\n", {1}, "1 field(s)", ""},
    CheckCase{"a number outside 1..200", "201,X,x,1\r\n1,A1,a,1\r\n", {1}, "not from 1 to 200", "A1"},
    CheckCase{"the last good line of a number wins", "1,A1,a,1\r\n1,B1,b,1\r\n1,C1,c,x,y\r\n", {1, 3},
              "again in line 2", "B1"},
    CheckCase{"a name without a code would empty the row", "1,,Apple,1\r\n", {1}, "no Code", ""},
    CheckCase{"NUL in a name", std::string("1,A1,Ap\0ple,1\r\n", 15), {1}, "Ap\\x00ple", ""},
    CheckCase{"a bracket in a code", "1,[A1],a,1\r\n", {1}, "[ ] < >", ""},
    CheckCase{"a code over 20 bytes", "1,ABCDEFGHIJKLMNOPQRSTU,a,1\r\n", {1}, "21 GBK bytes", ""},
    CheckCase{"half a character at the end of a name", "1,A1,\xC6\xBB\xB9\r\n", {1}, "half a double-byte", ""},
    CheckCase{"bytes that are not GBK", "1,A1,\xFF,1\r\n", {1}, "not GBK", ""},
    CheckCase{"text after Ctrl+Z", "1,A1,a,1\r\n\x1A" "2,B2,b,1\r\n", {2}, "Ctrl+Z", "A1"}
));

TEST(CommodityFileCheck, RefusesUtf8Text)
{
    CommodityTable table;
    EXPECT_TRUE(CheckCommodityText("1,A1,苹果,1\r\n", table).utf8);
    EXPECT_FALSE(CheckCommodityText("1,A1,\xC6\xBB\xB9\xFB,1\r\n", table).utf8) << "GBK";
    EXPECT_EQ(table.Cell(0, CommodityTable::Name), "\xC6\xBB\xB9\xFB");
}

TEST(CommodityFileCheck, RefusesMoreLinesThanAnImportReadsAtOnce)
{
    std::string lines;
    for (int i = 0; i < 1001; ++i)
        lines += "x\r\n";
    CommodityTable table;
    const CommodityTextCheck check = CheckCommodityText(lines, table);
    EXPECT_TRUE(check.tooLarge);
    EXPECT_TRUE(check.problems.empty()) << "one message, not a thousand";
}

} // namespace
