// CSV import and export of the commodity table, and the GBK codec under them.

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityTable.h"
#include "commodity/GbkCodec.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <optional>
#include <set>
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

using CommodityCsv::Encoding;
using CommodityCsv::FileProblem;

struct ImportCase {
    const char* what;
    std::string bytes;
    std::vector<ExpectedRow> rows;
    Encoding encoding = Encoding::Utf8;
    char separator = ',';
    bool header = false;
    FileProblem file = FileProblem::None;
    int fileLine = 0;
    std::optional<Encoding> asked = std::nullopt;  // the encoding the operator chose
};

ExpectedRow Bad(int line, Problem problem)
{
    return {line, problem, 0, "", "", ""};
}

ImportCase Refused(const char* what, std::string bytes, FileProblem problem, int line = 0)
{
    return {what, std::move(bytes), {}, Encoding::Utf8, ',', false, problem, line};
}

std::string Repeated(const std::string& line, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += line;
    return text;
}

// As many rows as an import reads: the same number each time, so the last one wins.
ImportCase Thousand()
{
    std::vector<ExpectedRow> rows;
    for (int line = 1; line < 1000; ++line)
        rows.push_back(Bad(line, Problem::Replaced));
    rows.push_back({1000, Problem::None, 1, "A", "a", "1"});
    return {"1,000 rows are read", Repeated("1,A,a,1\n", 1000), rows};
}

// A literal with the NUL bytes in it.
template <std::size_t N>
std::string Raw(const char (&text)[N])
{
    return std::string(text, N - 1);
}

void PrintTo(const ImportCase& c, std::ostream* os) { *os << c.what; }

class CsvImportTable : public testing::TestWithParam<ImportCase> {};

TEST_P(CsvImportTable, FindsEveryRowAndItsProblem)
{
    const ImportCase& c = GetParam();
    const CommodityCsv::Import import = CommodityCsv::Parse(c.bytes, c.asked);
    ASSERT_EQ(import.fileProblem, c.file) << CommodityCsv::Describe(import);
    if (c.file != FileProblem::None) {
        EXPECT_EQ(import.fileLine, c.fileLine);
        EXPECT_TRUE(import.rows.empty()) << "a refused file imports nothing";
        return;
    }
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
        {{2, Problem::None, 1, "A01", kAppleGbk, "3.50"}}, Encoding::Utf8WithBom, ',', true},
    ImportCase{"GBK without a header: No., Code, Name, Price in order; spaces trimmed",
        "7, A07 ," + kAppleGbk + ",2\n8,A08," + kRedGbk + "\n",
        {{1, Problem::None, 7, "A07", kAppleGbk, "2"}, {2, Problem::None, 8, "A08", kRedGbk, ""}}, Encoding::Gbk},
    ImportCase{"semicolons, a quoted name holding the separator, and a decimal comma",
        "No;Code;Name;Price\n1;A01;\"苹果; 红\";3.50\n2;A02;Pear;1,50\n",
        {{2, Problem::None, 1, "A01", kAppleGbk + "; " + kRedGbk, "3.50"}, Bad(3, Problem::PriceNotNumber)},
        Encoding::Utf8, ';', true},
    ImportCase{"a quoted comma in a comma file: parsed whole, refused by the cells like brackets",
        "1,A01,\"Apple, red\",1.00\n2,A02,\"Say \"\"hi\"\"\",\n3,<A03>,x,1\n4,A04,[x],1\n",
        {Bad(1, Problem::RefusedCharacter), {2, Problem::None, 2, "A02", "Say \"hi\"", ""},
         Bad(3, Problem::RefusedCharacter), Bad(4, Problem::RefusedCharacter)}},
    ImportCase{"a Chinese header in its own column order; tabs",
        "单价\t商品名称\t序号\t编码\n4.20\t苹果\t12\tC12\n",
        {{2, Problem::None, 12, "C12", kAppleGbk, "4.20"}}, Encoding::Utf8, '\t', true},
    ImportCase{"the names people use, with units after them",
        "序号,编码,品名,单价(元)\n1,A1,苹果,3.5\nPLU;货号;商品名称;价格/kg\n",
        {{2, Problem::None, 1, "A1", kAppleGbk, "3.5"}, Bad(3, Problem::NumberOutOfRange)}, Encoding::Utf8, ',', true},
    ImportCase{"English names with units", "No.,Code,Product,Price (CNY)\n9,B,b,1\n",
        {{2, Problem::None, 9, "B", "b", "1"}}, Encoding::Utf8, ',', true},
    Refused("a column the header names that is not understood", "No.,Code,Name,Weight,Price\n1,A,a,2,1\n",
        FileProblem::UnknownColumn, 1),
    Refused("a column named twice", "\n编号,Code,代码\n1,A,B\n", FileProblem::RepeatedColumn, 2),
    ImportCase{"more fields than the header names is a row problem; empty ones after it are not",
        "No,Code,Name,Price,\n2,A2,Pear,1,50\n3,A3,Fig,2,\n",
        {Bad(2, Problem::ExtraFields), {3, Problem::None, 3, "A3", "Fig", "2"}}, Encoding::Utf8, ',', true},
    ImportCase{"numbers 0, 201 and not numbers at all",
        "0,A,a,1\n201,B,b,1\nx,C,c,1\n200,D,d,1\n",
        {Bad(1, Problem::NumberOutOfRange), Bad(2, Problem::NumberOutOfRange), Bad(3, Problem::NumberOutOfRange),
         {4, Problem::None, 200, "D", "d", "1"}}},
    ImportCase{"control characters in every cell, NUL and C1 controls included",
        Raw("1,A1,Ap\0ple,1\n2,B\x01,b,1\n3,C,c,1\x7F\n4,D,d\xC2\x85,1\n5,E,e,1\n"),
        {Bad(1, Problem::RefusedCharacter), Bad(2, Problem::RefusedCharacter), Bad(3, Problem::RefusedCharacter),
         Bad(4, Problem::RefusedCharacter), {5, Problem::None, 5, "E", "e", "1"}}},
    Refused("a quote that never closes names the line it opened on",
        "1,A,a,1\n2,B,\"b\n3,C,c,1\n", FileProblem::UnclosedQuote, 2),
    ImportCase{"text after a closing quote is the row's problem",
        "1,A,\"Apple\"red,1\n2,\"B\" ,b,1\n",
        {Bad(1, Problem::TextAfterQuote), {2, Problem::None, 2, "B", "b", "1"}}},
    Refused("UTF-8 with a stray byte is neither UTF-8 nor GBK", "1,A,苹果,1\n2,B,香蕉\xFF,1\n",
        FileProblem::MixedEncoding, 2),
    Refused("bytes GBK does not read", "1,A,\xFF\xFF,1\n", FileProblem::NotText, 1),
    ImportCase{"UTF-8 that is also GBK reads as UTF-8",
        "1,A,苹果,1\n", {{1, Problem::None, 1, "A", kAppleGbk, "1"}}},
    ImportCase{"...and as GBK when the operator asks",
        "1,A,苹果,1\n", {{1, Problem::None, 1, "A", "\xE8\x8B\xB9\xE6\x9E\x9C", "1"}}, Encoding::Gbk, ',', false,
        FileProblem::None, 0, Encoding::Gbk},
    ImportCase{"the same number twice: the last good row wins",
        "5,OLD,old,1\n6,X,x,2\n5,NEW,new,3\n6,BAD,bad,x\n",
        {Bad(1, Problem::Replaced), {2, Problem::None, 6, "X", "x", "2"}, {3, Problem::None, 5, "NEW", "new", "3"},
         Bad(4, Problem::PriceNotNumber)}},
    ImportCase{"a name or a price without a code would not be saved",
        "1,,Apple,1\n2,,,3\n3,,,\n",
        {Bad(1, Problem::NoCode), Bad(2, Problem::NoCode), {3, Problem::None, 3, "", "", ""}}},
    ImportCase{"an emoji, a line break in a quoted name, a 21-byte code",
        "1,A,苹果🍎,1\n2,B,\"two\nlines\",1\n3,一二三四五六七八九十,ok,1\n4,一二三四五六七八九十X,ok,1\n",
        {Bad(1, Problem::NotGbk), Bad(2, Problem::RefusedCharacter),
         {4, Problem::None, 3, "\xD2\xBB\xB6\xFE\xC8\xFD\xCB\xC4\xCE\xE5\xC1\xF9\xC6\xDF\xB0\xCB\xBE\xC5\xCA\xAE", "ok", "1"},
         Bad(5, Problem::CodeTooLong)}},
    ImportCase{"prices: one point at most, at least one digit; blank rows ignored",
        "1,A,a,.5\n\n , ,,\n2,B,b,1.2.3\n3,C,c,.\n4,D,d,-1\n",
        {{1, Problem::None, 1, "A", "a", ".5"}, Bad(4, Problem::PriceNotNumber), Bad(5, Problem::PriceNotNumber),
         Bad(6, Problem::PriceNotNumber)}},
    ImportCase{"a first row that starts with a number is data even with column names in it",
        "1,Code,Name,1\n2,X,More,9,extra\n",
        {{1, Problem::None, 1, "Code", "Name", "1"}, Bad(2, Problem::ExtraFields)}},
    ImportCase{"a spreadsheet's protecting apostrophe comes off; a lone one stays",
        "1,'=A1,'+1 kg,\n2,'x,'''@y,\n",
        {{1, Problem::None, 1, "=A1", "+1 kg", ""}, {2, Problem::None, 2, "'x", "''@y", ""}}},
    Thousand(),
    Refused("1,001 rows are too many", "No,Code\n" + Repeated("1,A\n", 1001), FileProblem::TooLarge),
    Refused("so is a file over 1 MiB", Repeated("1,A,a,1" + std::string(1017, ' ') + "\n", 1025), FileProblem::TooLarge)
));

TEST(CsvImport, TrimmedRowsSayTheyAre)
{
    const CommodityCsv::Import import = CommodityCsv::Parse("1,\" A1 \",x,1\n2, B ,y,1\n3 ,C,z,1\n");
    ASSERT_EQ(import.rows.size(), 3u);
    EXPECT_EQ(import.rows[0].gbkCode, "A1");
    EXPECT_TRUE(import.rows[0].trimmed);
    EXPECT_TRUE(import.rows[1].trimmed);
    EXPECT_FALSE(import.rows[2].trimmed) << "the number is not kept as text";
}

TEST(CsvImport, MessagesShowControlBytesEscaped)
{
    const CommodityCsv::Import import = CommodityCsv::Parse(Raw("1\0,A,a,1\n"));
    ASSERT_EQ(import.rows.size(), 1u);
    EXPECT_EQ(CommodityCsv::Describe(import.rows[0]), "No. \"1\\x00\" is not a number from 1 to 200");
    EXPECT_EQ(CommodityCsv::Describe(CommodityCsv::Parse("No,Code,Wei\x1Bght\n")),
              "line 1: the header names a column that is not understood: \"Wei\\x1Bght\"");
}

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
    table.SetCell(4, CommodityTable::Code, "+5");
    table.SetCell(4, CommodityTable::Name, "\"quoted\"; semi");
    table.SetCell(9, CommodityTable::Code, "=1+1");     // a formula to a spreadsheet
    table.SetCell(9, CommodityTable::Name, "\x80 euro");  // the euro sign, 0x80 in GBK
    table.SetCell(10, CommodityTable::Code, "'-x");
    table.SetCell(10, CommodityTable::Name, "@SUM(A1) \xAA\xA1\xFE\xA0");  // two user-defined GBK pairs
    table.SetCell(199, CommodityTable::Code, "Z");
    table.SetCell(199, CommodityTable::Price, "9.");

    for (const std::array<std::string, 4>& header : {std::array<std::string, 4>{"No.", "Code", "Product Name", "Price"},
                                                     std::array<std::string, 4>{"序号", "编码", "商品名称", "单价"}}) {
        const std::string csv = CommodityCsv::Format(table, header);
        EXPECT_EQ(csv.rfind("\xEF\xBB\xBF" + header[0] + ",", 0), 0u) << csv;
        const CommodityCsv::Import import = CommodityCsv::Parse(csv);
        EXPECT_TRUE(import.header);
        EXPECT_NE(csv.find(",'=1+1,"), std::string::npos) << "protected from a spreadsheet: " << csv;
        EXPECT_EQ(import.rows.size(), 5u) << "empty rows are left out";
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

TEST(GbkCodec, UserDefinedPairsTakeThePrivateUseCodePointsBothWays)
{
    // Every pair GBK leaves to the user: rows AA-AF and F8-FE, A140-A7A0, and the places the
    // standard leaves open in the symbol rows, at D7FA-D7FE and at FE50-FEA0.
    std::set<char32_t> seen;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair{char(lead), char(trail)};
            const std::string utf8 = GbkCodec::GbkToUtf8(pair);
            char32_t c = 0;
            if (trail == 0x7F || GbkCodec::DecodeUtf8(utf8, 0, c) != utf8.size() || c < 0xE000 || c > 0xF8FF)
                continue;
            EXPECT_TRUE(seen.insert(c).second) << std::hex << lead << trail;
            EXPECT_EQ(GbkCodec::Utf8ToGbk(utf8), pair) << std::hex << lead << trail;
        }
    }
    ASSERT_EQ(seen.size(), 2149u);
    EXPECT_EQ(*seen.begin(), U'\uE000');
    EXPECT_EQ(*seen.rbegin(), U'\uE864');
    EXPECT_EQ(GbkCodec::GbkToUtf8("\xAA\xA1\xA1\x40\xA2\xAB\xFE\xA0"), "\uE000\uE4C6\uE766\uE864");
    // Code page 936 writes U+F8F5 as the single byte 0xFF, which no GBK reader takes back.
    EXPECT_FALSE(GbkCodec::Utf8ToGbk("\uF8F5"));
    EXPECT_FALSE(GbkCodec::Utf8ToGbk("\uE865"));
    EXPECT_EQ(GbkCodec::GbkToUtf8("\xFF"), "\xEF\xBF\xBD");
}

#ifdef _WIN32
TEST(GbkCodec, UserDefinedPairsAreThoseOfTheSystemsCodePage)
{
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {char(lead), char(trail)};
            wchar_t unit = 0;
            if (::MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, pair, 2, &unit, 1) != 1 || unit < 0xE000 || unit > 0xF8FF)
                continue;
            EXPECT_EQ(GbkCodec::GbkToUtf8(std::string(pair, 2)), GbkCodec::Utf8Of(unit)) << std::hex << lead << trail;
        }
    }
}
#endif

} // namespace
