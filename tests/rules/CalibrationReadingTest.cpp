#include "rules/CalibrationReading.h"
#include "link/ScaleCommandSet.h"
#include "rules/CityCodes.h"

#include <gtest/gtest.h>

#include <set>

using CalibrationReading::Reading;
using CalibrationReading::Value;

namespace {

struct Tick {
    const char* name;
    std::string bytes;
    std::vector<Reading> readings;
};

void PrintTo(const Tick& tick, std::ostream* os)
{
    *os << tick.name;
}

class CalibrationReadingTick : public testing::TestWithParam<Tick> {};

TEST_P(CalibrationReadingTick, YieldsTheReadings)
{
    EXPECT_EQ(CalibrationReading::Parse(GetParam().bytes), GetParam().readings);
}

const Tick kTicks[] = {
    {"ThreeLines", "C 15\r\nF 5\r\nW 0.000\r\n",
     {{Value::Maximum, "15"}, {Value::CalibrationWeight, "5"}, {Value::Weight, "0.000"}}},
    {"SpacesAfterLetter", "W  1.234\n", {{Value::Weight, "1.234"}}},
    {"EveryLetterAndSpaceRemoved", "W1,2 W\r\n", {{Value::Weight, "1,2"}}},
    {"OnlyTheOwnLetterRemoved", "CFW 3\n", {{Value::Maximum, "FW3"}}},
    {"NoLineEnd", "F 20", {{Value::CalibrationWeight, "20"}}},
    {"LaterLineForSameLetter", "W 1\nW 2\n", {{Value::Weight, "1"}, {Value::Weight, "2"}}},
    {"CarriageReturnsInsideRemoved", "W 1.\r5\r\n", {{Value::Weight, "1.5"}}},
    {"OtherLinesIgnored", "OK\nc 15\n w 3\n\nW 4\n", {{Value::Weight, "4"}}},
    {"LetterAlone", "C\n", {{Value::Maximum, ""}}},
    {"TextEndsAtNul", std::string("W 1\n\0W 2\n", 9), {{Value::Weight, "1"}}},
    {"Nothing", "", {}},
    {"OnlyLineEnds", "\r\n\r\n", {}},
    {"LowerCaseNotRead", "w 5\n", {}},
};

INSTANTIATE_TEST_SUITE_P(Table, CalibrationReadingTick, testing::ValuesIn(kTicks),
                         [](const testing::TestParamInfo<Tick>& info) { return info.param.name; });

TEST(CalibrationReadingTicks, LineSplitAcrossTwoReadsShowsOnlyTheLetteredPart)
{
    // "W 12.5" arrives as "W 1" in one read and "2.5\r\n" in the next.
    EXPECT_EQ(CalibrationReading::Parse("C 15\r\nW 1"),
              (std::vector<Reading>{{Value::Maximum, "15"}, {Value::Weight, "1"}}));
    EXPECT_TRUE(CalibrationReading::Parse("2.5\r\n").empty());
    // A line end split from its line changes nothing either.
    EXPECT_EQ(CalibrationReading::Parse("W 3\r"), (std::vector<Reading>{{Value::Weight, "3"}}));
    EXPECT_TRUE(CalibrationReading::Parse("\n").empty());
}

TEST(CalibrationReadingDisplay, ChineseLabelsInGbk)
{
    EXPECT_EQ(CalibrationReading::DisplayText({Value::Maximum, "15"}), "\xD7\xEE\xB4\xF3:15");
    EXPECT_EQ(CalibrationReading::DisplayText({Value::CalibrationWeight, "5"}), "\xED\xC0\xC2\xEB:5");
    EXPECT_EQ(CalibrationReading::DisplayText({Value::Weight, "1,2"}), "\xD6\xD8\xC1\xBF:1,2");
}

TEST(CityCodeList, AreaCodesHaveTheirLengthsInOrder)
{
    // Three-digit codes for the ten largest cities, four digits for the rest, six for Taipei.
    const auto& items = CityCodes::Items();
    std::vector<std::size_t> lengths;
    std::set<std::string> codes;
    for (const std::string& item : items) {
        const std::string command = ScaleCommandSet::SetGravityCode(item);
        ASSERT_TRUE(command.starts_with("code:") && command.ends_with("\r\n")) << item;
        const std::string code = command.substr(5, command.size() - 7);
        EXPECT_TRUE(item.ends_with(")")) << item;
        EXPECT_EQ(code.find_first_not_of("0123456789"), std::string::npos) << item;
        EXPECT_TRUE(codes.insert(code).second) << "duplicate code in " << item;
        lengths.push_back(code.size());
    }
    ASSERT_EQ(items.size(), 76u);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::size_t expected = i < 10 ? 3 : i < 75 ? 4 : 6;
        EXPECT_EQ(lengths[i], expected) << items[i];
    }
    EXPECT_EQ(items.front(), "北京(010)");
    EXPECT_EQ(items[10], "石家庄(0311)");
    EXPECT_EQ(items[74], "吐鲁番(0995)");
    EXPECT_EQ(items.back(), "台北(008862)");
}

TEST(CityCodeList, DefaultIsGuangzhouAndSendsItsCode)
{
    const std::string& item = CityCodes::Items().at(CityCodes::kDefaultIndex);
    EXPECT_EQ(item, "广州(020)");
    EXPECT_EQ(ScaleCommandSet::SetGravityCode(item), "code:020\r\n");
}

} // namespace
