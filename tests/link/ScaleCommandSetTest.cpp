#include "link/ScaleCommandSet.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ScaleCommandSet;

Bytes B(std::initializer_list<int> bytes)
{
    Bytes out;
    for (int b : bytes)
        out += char(b);
    return out;
}

struct CommandCase {
    const char* name;
    Bytes built;
    Bytes expected;
};

class CommandBytes : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandBytes, AreExact)
{
    EXPECT_EQ(GetParam().built, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    SeriesForms, CommandBytes,
    ::testing::Values(CommandCase{"tare zud", Tare(ScaleSeries::Zud), "T"},
                      CommandCase{"tare zev", Tare(ScaleSeries::Zev), "T\r\n"},
                      CommandCase{"tare rivav", Tare(ScaleSeries::Rivav), B({0x54, 0x0D, 0x0A})},
                      CommandCase{"zero zud", Zero(ScaleSeries::Zud), "Z"},
                      CommandCase{"zero rivav", Zero(ScaleSeries::Rivav), "Z\r\n"},
                      CommandCase{"read zud", ReadWeight(ScaleSeries::Zud, false), "R"},
                      CommandCase{"read zud ignores active return", ReadWeight(ScaleSeries::Zud, true), "R"},
                      CommandCase{"read zev", ReadWeight(ScaleSeries::Zev, false), B({0x11})},
                      CommandCase{"read rivav", ReadWeight(ScaleSeries::Rivav, false), B({0x11})},
                      CommandCase{"read rivav active", ReadWeight(ScaleSeries::Rivav, true), ""},
                      CommandCase{"calibration zero", CalibrationZero(), "Z"}));

INSTANTIATE_TEST_SUITE_P(
    TextCommands, CommandBytes,
    ::testing::Values(
        CommandCase{"baud", SetBaud("19200"), "baud:19200\r\n"},
        CommandCase{"company", SetCompanyName("WINTEC"), "Co.WINTEC\r\n"},
        CommandCase{"company empty", SetCompanyName(""), "Co.\r\n"},
        CommandCase{"code guangzhou", SetGravityCode("\xB9\xE3\xD6\xDD(020)"), "code:020\r\n"},
        CommandCase{"code taipei", SetGravityCode("\xCC\xA8\xB1\xB1(008862)"), "code:008862\r\n"},
        CommandCase{"code without parenthesis", SetGravityCode("Nowhere"), "code:\r\n"},
        CommandCase{"code uses last parenthesis", SetGravityCode("A(1)B(22)"), "code:22\r\n"},
        CommandCase{"g 9.7883", SetGravityValue(9.7883), "g=9.788300\r\n"},
        CommandCase{"g 9.7", SetGravityValue(9.7), "g=9.700000\r\n"},
        CommandCase{"position zero", SetGravityPosition(0, 0), "Lat=0.000\r\nASL=0000\r\n"},
        CommandCase{"position cut", SetGravityPosition(23.125, 50), "Lat=23.12\r\nASL=0050\r\n"},
        CommandCase{"position 5.5", SetGravityPosition(5.5, 1234), "Lat=5.500\r\nASL=1234\r\n"},
        CommandCase{"position 90", SetGravityPosition(90, 12345), "Lat=90.00\r\nASL=12345\r\n"},
        CommandCase{"position negative altitude", SetGravityPosition(1, -5), "Lat=1.000\r\nASL=-005\r\n"},
        CommandCase{"span", CalibrateSpan(15, 5), "15,5\r\n"},
        CommandCase{"span equal", CalibrateSpan(15, 15), "15,15\r\n"}));

INSTANTIATE_TEST_SUITE_P(
    EscCommands, CommandBytes,
    ::testing::Values(
        CommandCase{"service", ServiceCommand(), B({0x1B, 0x00, 0x01, 0xC0})},
        CommandCase{"division 300", SetDivisionValue(300), B({0x1B, 0x00, 0x02, 0x01, 0x2C})},
        CommandCase{"division 0", SetDivisionValue(0), B({0x1B, 0x00, 0x02, 0x00, 0x00})},
        CommandCase{"division 65535", SetDivisionValue(65535), B({0x1B, 0x00, 0x02, 0xFF, 0xFF})},
        CommandCase{"postback off", SetPostbackMode(0), B({0x1B, 0x00, 0x03, 0x00})},
        CommandCase{"stable back", SetPostbackMode(kPostbackStable), B({0x1B, 0x00, 0x03, 0x0F})},
        CommandCase{"cmd back", SetPostbackMode(kPostbackOnCommand), B({0x1B, 0x00, 0x03, 0x0E})},
        CommandCase{"alarm max", SetOverflowAlarm(2), B({0x1B, 0x00, 0x04, 0x02})},
        CommandCase{"alarm unselected", SetOverflowAlarm(-1), B({0x1B, 0x00, 0x04, 0x03})},
        CommandCase{"alarm out of range", SetOverflowAlarm(9), B({0x1B, 0x00, 0x04, 0x03})},
        CommandCase{"animal on", SetAnimalMode(true), B({0x1B, 0x00, 0x05, 0x01})},
        CommandCase{"animal off", SetAnimalMode(false), B({0x1B, 0x00, 0x05, 0x00})},
        CommandCase{"false stability 1.5e", SetFalseStability(3), B({0x1B, 0x00, 0x07, 0x03})},
        CommandCase{"led 5", SetLedBrightness(5), B({0x1B, 0x00, 0x08, 0x05})},
        CommandCase{"lock", SetButtonLock(0), B({0x1B, 0x00, 0x0E, 0x00})},
        CommandCase{"unlock", SetButtonLock(1), B({0x1B, 0x00, 0x0E, 0x01})},
        CommandCase{"read parameters", ReadParameters(), B({0x1B, 0x00, 0xFF})}));

TEST(PostbackFrequencyFrame, MatchesTheWorkedExamples)
{
    EXPECT_EQ(SetPostbackFrequency(0), B({0xAB, 0, 0, 0, 0, 0x80, 0x01, 0x00, 0, 0, 0, 0, 0x2C}));
    EXPECT_EQ(SetPostbackFrequency(5).substr(7), B({0x05, 0, 0, 0, 0, 0x31}));
    EXPECT_EQ(SetPostbackFrequency(10).substr(7), B({0x0A, 0, 0, 0, 0, 0x36}));
}

TEST(PostbackFrequencyFrame, ChecksumIsTheSumOfTheFirstTwelveBytes)
{
    for (int rate = 0; rate <= 10; ++rate) {
        const Bytes frame = SetPostbackFrequency(rate);
        ASSERT_EQ(frame.size(), 13u);
        unsigned sum = 0;
        for (int i = 0; i < 12; ++i)
            sum += std::uint8_t(frame[std::size_t(i)]);
        EXPECT_EQ(std::uint8_t(frame[12]), sum % 256) << rate;
    }
}

struct ProtocolCase {
    int index;
    int code;
};

TEST(ReturnProtocol, EveryListEntryHasItsCode)
{
    const ProtocolCase table[] = {{0, 0x11},  {1, 0x12},  {2, 0x21},  {3, 0x22},  {4, 0x31},
                                  {5, 0x41},  {6, 0x51},  {7, 0x61},  {8, 0x71},  {9, 0x81},
                                  {10, 0x82}, {11, 0x83}, {12, 0x84}, {13, 0x85}, {14, 0x86},
                                  {15, 0x87}, {16, 0x88}, {17, 0x89}, {18, 0x8A}, {19, 0x8B},
                                  {-1, 0x11}, {20, 0x11}};
    for (const auto& row : table)
        EXPECT_EQ(SetReturnProtocol(row.index), B({0x1B, 0x00, 0x09, row.code})) << row.index;
}

struct PairCase {
    int index;
    int first;
    int second;
};

TEST(Precision, EveryListEntryHasItsDecimalsAndUnit)
{
    const PairCase table[] = {{0, 0, 0}, {1, 0, 1}, {2, 0, 2}, {3, 0, 5}, {4, 1, 1}, {5, 1, 2},
                              {6, 1, 5}, {7, 2, 1}, {8, 2, 2}, {9, 2, 5}, {-1, 0, 0}, {10, 0, 0}};
    for (const auto& row : table)
        EXPECT_EQ(SetPrecision(row.index), B({0x1B, 0x00, 0x0A, row.first, row.second})) << row.index;
}

TEST(ZeroTracking, EvenEntriesAreWholeDivisionsOddOnesTenths)
{
    const PairCase table[] = {{0, 0, 0},    {1, 1, 5},    {2, 0, 1},   {3, 1, 0x0F}, {4, 0, 2},  {5, 1, 25},
                              {6, 0, 3},    {7, 1, 35},   {8, 0, 4},   {9, 1, 0x2D}, {10, 0, 5},
                              {-1, 1, 0xFB}};
    for (const auto& row : table)
        EXPECT_EQ(SetZeroTracking(row.index), B({0x1B, 0x00, 0x0B, row.first, row.second})) << row.index;
}

TEST(WeightReport, LengthFollowsSeriesAndActiveReturn)
{
    EXPECT_EQ(WeightReportLength(ScaleSeries::Zud, false), 13);
    EXPECT_EQ(WeightReportLength(ScaleSeries::Zud, true), 13);
    EXPECT_EQ(WeightReportLength(ScaleSeries::Zev, false), 15);
    EXPECT_EQ(WeightReportLength(ScaleSeries::Rivav, true), 16);
}

} // namespace
