// CSV import and export of the commodity table, and the GBK codec under them.

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityTable.h"
#include "commodity/GbkCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using CommodityCsv::Problem;

// GBK bytes of the texts used below.
const std::string kAppleGbk = "\xC6\xBB\xB9\xFB";  // 苹果
const std::string kRedGbk = "\xBA\xEC";            // 红

struct ExpectedRow {
    int line;
    Problem problem;
    int commodity = 0;  // for rows without a problem: where they go and what they hold
    std::string code, name, price;
};

struct ImportCase {
    const char* what;
    std::string bytes;
    CommodityCsv::Encoding encoding;
    char separator;
    bool header;
    std::vector<ExpectedRow> rows;
};

ExpectedRow Bad(int line, Problem problem)
{
    return {line, problem, 0, "", "", ""};
}

void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.what; }

class CsvImportTable : public testing::TestWithParam<ImportCase> {};

TEST_P(CsvImportTable, FindsEveryRowAndItsProblem)
{
    const ImportCase& c = GetParam();
    const CommodityCsv::Import import = CommodityCsv::Parse(c.bytes);
    ASSERT_EQ(import.fileProblem, CommodityCsv::FileProblem::None);
    EXPECT_EQ(import.encoding, c.encoding);
    EXPECT_EQ(import.separator, c.separator);
    EXPECT_EQ(import.header, c.header);
    ASSERT_EQ(import.rows.size(), c.rows.size());
    int problems = 0;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const CommodityCsv::Row& got = import.rows[i];
        const ExpectedRow& want = c.rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + CommodityCsv::Describe(got));
        EXPECT_EQ(got.line, want.line);
        EXPECT_EQ(got.problem, want.problem);
        if (want.problem != Problem::None) {
            ++problems;
            continue;
        }
        EXPECT_EQ(got.commodity, want.commodity);
        EXPECT_EQ(got.gbkCode, want.code);
        EXPECT_EQ(got.gbkName, want.name);
        EXPECT_EQ(got.gbkPrice, want.price);
    }
    EXPECT_EQ(import.ProblemCount(), problems);
}

INSTANTIATE_TEST_SUITE_P(Cases, CsvImportTable, testing::Values(
    ImportCase{"UTF-8 with a byte-order mark and an English header",
        "\xEF\xBB\xBFNo.,Code,Product Name,Price\r\n1,A01,苹果,3.50\r\n",
        CommodityCsv::Encoding::Utf8WithBom, ',', true,
        {{2, Problem::None, 1, "A01", kAppleGbk, "3.50"}}},
    ImportCase{"GBK without a header: No., Code, Name, Price in order; spaces trimmed",
        "7, A07 ," + kAppleGbk + ",2\n8,A08," + kRedGbk + "\n",
        CommodityCsv::Encoding::Gbk, ',', false,
        {{1, Problem::None, 7, "A07", kAppleGbk, "2"}, {2, Problem::None, 8, "A08", kRedGbk, ""}}},
    ImportCase{"semicolons, a quoted name holding the separator, and a decimal comma",
        "No;Code;Name;Price\n1;A01;\"苹果; 红\";3.50\n2;A02;Pear;1,50\n",
        CommodityCsv::Encoding::Utf8, ';', true,
        {{2, Problem::None, 1, "A01", kAppleGbk + "; " + kRedGbk, "3.50"}, Bad(3, Problem::PriceNotNumber)}},
    ImportCase{"a quoted comma in a comma file: parsed whole, refused by the cells like brackets",
        "1,A01,\"Apple, red\",1.00\n2,A02,\"Say \"\"hi\"\"\",\n3,<A03>,x,1\n4,A04,[x],1\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {Bad(1, Problem::RefusedCharacter), {2, Problem::None, 2, "A02", "Say \"hi\"", ""},
         Bad(3, Problem::RefusedCharacter), Bad(4, Problem::RefusedCharacter)}},
    ImportCase{"a Chinese header in its own column order; tabs",
        "单价\t商品名称\t序号\t编码\n4.20\t苹果\t12\tC12\n",
        CommodityCsv::Encoding::Utf8, '\t', true,
        {{2, Problem::None, 12, "C12", kAppleGbk, "4.20"}}},
    ImportCase{"numbers 0, 201 and not numbers at all",
        "0,A,a,1\n201,B,b,1\nx,C,c,1\n200,D,d,1\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {Bad(1, Problem::NumberOutOfRange), Bad(2, Problem::NumberOutOfRange), Bad(3, Problem::NumberOutOfRange),
         {4, Problem::None, 200, "D", "d", "1"}}},
    ImportCase{"the same number twice: the last wins",
        "5,OLD,old,1\n6,X,x,2\n5,NEW,new,3\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {Bad(1, Problem::Replaced), {2, Problem::None, 6, "X", "x", "2"}, {3, Problem::None, 5, "NEW", "new", "3"}}},
    ImportCase{"an emoji, a line break in a quoted name, a 21-byte code",
        "1,A,苹果🍎,1\n2,B,\"two\nlines\",1\n3,一二三四五六七八九十,ok,1\n4,一二三四五六七八九十X,ok,1\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {Bad(1, Problem::NotGbk), Bad(2, Problem::RefusedCharacter),
         {4, Problem::None, 3, "\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF\xB0\xCB\xBE\xC5\xCA\xAE", "ok", "1"},
         Bad(5, Problem::CodeTooLong)}},
    ImportCase{"prices: one point at most, at least one digit; blank rows ignored",
        "1,A,a,.5\n\n , ,,\n2,B,b,1.2.3\n3,C,c,.\n4,D,d,-1\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {{1, Problem::None, 1, "A", "a", ".5"}, Bad(4, Problem::PriceNotNumber), Bad(5, Problem::PriceNotNumber),
         Bad(6, Problem::PriceNotNumber)}},
    ImportCase{"a first row that starts with a number is data even with column names in it",
        "1,Code,Name,1\n2,X,More,9,extra\n",
        CommodityCsv::Encoding::Utf8, ',', false,
        {{1, Problem::None, 1, "Code", "Name", "1"}, Bad(2, Problem::ExtraFields)}}
));

TEST(CsvImport, ProblemsThatNameACharacterNameIt)
{
    const CommodityCsv::Import import = CommodityCsv::Parse("1,A,苹果🍎,1\n2,B\tC,x,1\n");
    ASSERT_EQ(import.rows.size(), 2u);
    EXPECT_EQ(import.rows[0].character, U'\U0001F34E');
    EXPECT_EQ(import.rows[0].column, CommodityTable::Name);
    EXPECT_NE(CommodityCsv::Describe(import.rows[0]).find("U+1F34E"), std::string::npos);
    EXPECT_EQ(import.rows[1].character, U'\t');
    EXPECT_EQ(import.rows[1].column, CommodityTable::Code);
}

TEST(CsvImport, FilesThatAreNoTable)
{
    EXPECT_EQ(CommodityCsv::Parse("Code,Name\nA,a\n").fileProblem, CommodityCsv::FileProblem::NoNumberColumn);
    EXPECT_EQ(CommodityCsv::Parse(std::string("\xFF\xFE" "1\0,\0", 6)).fileProblem, CommodityCsv::FileProblem::Utf16);
}

TEST(CsvImport, ApplyReplacesTheTableWithTheGoodRows)
{
    CommodityTable table;
    table.SetCell(99, CommodityTable::Code, "KEPT?");
    CommodityCsv::Apply(CommodityCsv::Parse("3,C,c,1\n0,bad,bad,1\n3,D,d,2\n"), table);
    EXPECT_EQ(table.Cell(2, CommodityTable::Code), "D");
    EXPECT_EQ(table.Cell(2, CommodityTable::Price), "2");
    EXPECT_EQ(table.Cell(99, CommodityTable::Code), "");
    EXPECT_EQ(table.Cell(2, CommodityTable::Number), "3");
}

TEST(CsvExport, ThenImportGivesTheSameTable)
{
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "A01");
    table.SetCell(0, CommodityTable::Name, kAppleGbk);
    table.SetCell(0, CommodityTable::Price, "3.50");
    table.SetCell(4, CommodityTable::Name, "no code \"quoted\"; semi");  // name without code
    table.SetCell(9, CommodityTable::Code, " padded ");
    table.SetCell(9, CommodityTable::Name, "\x80 euro");  // the euro sign, 0x80 in GBK
    table.SetCell(199, CommodityTable::Price, "9.");

    for (const std::array<std::string, 4>& header : {std::array<std::string, 4>{"No.", "Code", "Product Name", "Price"},
                                                     std::array<std::string, 4>{"序号", "编码", "商品名称", "单价"}}) {
        const std::string csv = CommodityCsv::Format(table, header);
        EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" + header[0] + ",", 0), 0u) << csv;
        const CommodityCsv::Import import = CommodityCsv::Parse(csv);
        EXPECT_TRUE(import.header);
        EXPECT_EQ(import.rows.size(), 4u) << "empty rows are left out";
        EXPECT_EQ(import.ProblemCount(), 0) << csv;
        CommodityTable back;
        CommodityCsv::Apply(import, back);
        for (int row = 0; row < CommodityTable::kRows; ++row) {
            for (int column = 0; column < CommodityTable::kColumns; ++column)
                EXPECT_EQ(back.Cell(row, column), table.Cell(row, column)) << row << "/" << column;
        }
    }
}

struct CodecCase {
    const char* what;
    std::string utf8;
    std::string gbk;
};

class GbkCodecTable : public testing::TestWithParam<CodecCase> {};

TEST_P(GbkCodecTable, RoundTrips)
{
    const CodecCase& c = GetParam();
    EXPECT_EQ(GbkCodec::Utf8ToGbk(c.utf8), c.gbk) << c.what;
    EXPECT_EQ(GbkCodec::GbkToUtf8(c.gbk), c.utf8) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, GbkCodecTable, testing::Values(
    CodecCase{"ASCII", "Price 1.50", "Price 1.50"},
    CodecCase{"Chinese", "苹果香蕉五花肉", kAppleGbk + "\xCF\xE3\xBD\xB6\xCE\xE5\xBB\xA8\xC8\xE2"},
    CodecCase{"euro sign as code page 936 has it", "€5", "\x80" "5"},
    CodecCase{"punctuation", "·—～（）", "\xA1\xA4\xA1\xAA\xA1\xAB\xA3\xA8\xA3\xA9"},
    CodecCase{"empty", "", ""}
));

TEST(GbkCodec, RefusesWhatGbkCannotHoldAndSaysWhat)
{
    GbkCodec::Refusal refusal;
    EXPECT_FALSE(GbkCodec::Utf8ToGbk("ab😀c", &refusal));
    EXPECT_EQ(refusal.character, U'\U0001F600');
    EXPECT_EQ(refusal.offset, 2u);
    EXPECT_FALSE(GbkCodec::Utf8ToGbk("a\xC3(", &refusal)) << "malformed UTF-8";
    EXPECT_EQ(refusal.character, U'\uFFFD');
    EXPECT_FALSE(GbkCodec::Utf8ToGbk("\xEF\xBB\xBF"));
}

TEST(GbkCodec, UndecodableBytesBecomeReplacementCharacters)
{
    // A lead byte before a space loses only itself; a lone lead byte at the end too.
    EXPECT_EQ(GbkCodec::GbkToUtf8("\x81 a\xFF"), "\xEF\xBF\xBD a\xEF\xBF\xBD");
    EXPECT_EQ(GbkCodec::GbkToUtf8("x\xC6"), "x\xEF\xBF\xBD");
}

} // namespace
