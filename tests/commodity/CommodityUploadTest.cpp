#include "commodity/CommodityTable.h"
#include "commodity/CommodityUpload.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kZhong = "\xD6\xD0";         // 中
const std::string kApple = "\xC6\xBB\xB9\xFB"; // 苹果

struct NameCase {
    const char* what;
    std::string name;
    std::string sent;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.what; }

class CompanyName : public testing::TestWithParam<NameCase> {};

TEST_P(CompanyName, IsCutToWholeCharactersWithin100Bytes)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(CompanyNameCommand(c.name), "Co." + c.sent + "\r\n") << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, CompanyName, testing::Values(
    NameCase{"empty name", "", ""},
    NameCase{"short Chinese name", kApple + "Shop", kApple + "Shop"},
    NameCase{"exactly 100 bytes", std::string(100, 'a'), std::string(100, 'a')},
    NameCase{"101 bytes of ASCII", std::string(101, 'a'), std::string(100, 'a')},
    NameCase{"100 bytes ending in a Chinese character", std::string(98, 'a') + kZhong, std::string(98, 'a') + kZhong},
    NameCase{"a Chinese character across byte 100", std::string(99, 'a') + kZhong, std::string(99, 'a')},
    NameCase{"Chinese only, 102 bytes", [] { std::string s; for (int i = 0; i < 51; ++i) s += kZhong; return s; }(),
             [] { std::string s; for (int i = 0; i < 50; ++i) s += kZhong; return s; }()}));

CommodityTable Filled()
{
    CommodityTable table;
    table.SetCell(0, CommodityTable::Code, "1001");
    table.SetCell(0, CommodityTable::Name, kApple);
    table.SetCell(0, CommodityTable::Price, "6.80");
    table.SetCell(2, CommodityTable::Code, "[3]");
    table.SetCell(2, CommodityTable::Name, "<x> ");
    table.SetCell(199, CommodityTable::Code, "9");
    table.SetCell(199, CommodityTable::Name, "last");
    table.SetCell(199, CommodityTable::Price, "abc");
    return table;
}

TEST(UploadBlock, ZevSendsEveryRowWithItsPrice)
{
    const std::vector<Bytes> writes = UploadBlock(Filled(), ScaleSeries::Zev);
    ASSERT_EQ(writes.size(), 202u);
    EXPECT_EQ(writes.front(), "plu\r\n");
    EXPECT_EQ(writes[1], "1[1001]<" + kApple + ">6.80\r\n");
    EXPECT_EQ(writes[2], "2[]<>\r\n");
    EXPECT_EQ(writes[3], "3[[3]]<<x> >\r\n");       // no trimming, no escaping
    EXPECT_EQ(writes[100], "100[]<>\r\n");
    EXPECT_EQ(writes[200], "200[9]<last>abc\r\n");  // the price is not checked
    EXPECT_EQ(writes.back(), "end\r\n");
}

TEST(UploadBlock, ZudNeverSendsThePrice)
{
    const std::vector<Bytes> writes = UploadBlock(Filled(), ScaleSeries::Zud);
    ASSERT_EQ(writes.size(), 202u);
    EXPECT_EQ(writes.front(), "plu\r\n");
    EXPECT_EQ(writes[1], "1[1001]<" + kApple + ">\r\n");
    EXPECT_EQ(writes[2], "2[]<>\r\n");
    EXPECT_EQ(writes[200], "200[9]<last>\r\n");
    EXPECT_EQ(writes.back(), "end\r\n");
}

TEST(UploadBlock, RowLinesAreNumberedOneToTwoHundred)
{
    const std::vector<Bytes> writes = UploadBlock(CommodityTable(), ScaleSeries::Zud);
    ASSERT_EQ(writes.size(), 202u);
    for (int row = 0; row < CommodityTable::kRows; ++row)
        EXPECT_EQ(writes[std::size_t(row) + 1], std::to_string(row + 1) + "[]<>\r\n");
}

TEST(UploadBlock, RivavSendsNothing)
{
    EXPECT_TRUE(UploadBlock(Filled(), ScaleSeries::Rivav).empty());
}

} // namespace
