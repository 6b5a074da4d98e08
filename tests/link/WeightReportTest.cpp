#include "link/ScaleCommandSet.h"
#include "link/WeightReport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using WeightReport::FieldValue;

constexpr auto kGross = WeightReport::Quantity::Gross;
constexpr auto kTare = WeightReport::Quantity::Tare;
constexpr auto kNet = WeightReport::Quantity::Net;
constexpr auto kPrice = WeightReport::Quantity::Price;
constexpr auto kTotal = WeightReport::Quantity::Total;

// A framed report: 01 02 status, the 9-byte weight, byte 12, 03 04 and an optional 16th byte.
// Test names from the cases' descriptions.
struct CaseName {
    template <class Info>
    std::string operator()(const Info& info) const
    {
        std::string name;
        for (const char c : std::string(info.param.name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    }
};

std::string Framed(char status, const std::string& weight, bool sixteen = false)
{
    std::string r{'\x01', '\x02', status};
    r += weight;
    r.resize(12, ' ');
    r += "k\x03\x04";
    if (sixteen)
        r += '\r';
    return r;
}

struct ZudCase {
    const char* name;
    std::string report;
    std::vector<FieldValue> expected;
};

class ZudReports : public ::testing::TestWithParam<ZudCase> {};

TEST_P(ZudReports, FillTheirFields)
{
    EXPECT_EQ(WeightReport::DecodeZud(GetParam().report), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ZudReports,
    ::testing::Values(
        ZudCase{"gross", "ww  001.250kg", {{kGross, "001.250kg"}}},
        ZudCase{"net", "wn   12.345kg", {{kNet, "12.345kg"}}},
        ZudCase{"tare", "wt 0.500 kg  ", {{kTare, "0.500kg"}}},
        ZudCase{"marker after the value", "  1.000ww    ", {{kGross, "1.000"}}},
        ZudCase{"every occurrence removed", "ww1.0ww2.0ww ", {{kGross, "1.02.0"}}},
        // "ww" is tested first and removed before "wn" is looked for; what it shows keeps the later marker.
        ZudCase{"two markers fill two fields", "ww1.0 wn2.0  ", {{kGross, "1.0wn2.0"}, {kNet, "1.02.0"}}},
        ZudCase{"order ww wn wt regardless of position", "wt1wn2ww3    ",
                {{kGross, "wt1wn23"}, {kNet, "wt123"}, {kTare, "123"}}},
        // Removing "ww" from "wwwt" leaves "wt", which is then found as the next marker.
        ZudCase{"removal exposes the next marker", "wwwt5.0      ", {{kGross, "wt5.0"}, {kTare, "5.0"}}},
        // A single left-to-right pass: "wwwww" loses two markers and keeps one "w".
        ZudCase{"odd run of w", "wwwww1       ", {{kGross, "w1"}}},
        ZudCase{"zero byte cuts the text", std::string("ww1.5\0wn9.9 ", 12) + "x", {{kGross, "1.5"}}},
        ZudCase{"zero byte hides the marker", std::string("\0ww1.5wn9.9  ", 13), {}},
        ZudCase{"only blanks are removed", "ww\t1.0\r\n    ", {{kGross, "\t1.0\r\n"}}},
        ZudCase{"no marker", "  12.345 kg  ", {}},
        ZudCase{"garbage", "\x11\xff\x80WWwN-wT?\?!!", {}},
        ZudCase{"marker letters split by a blank still match", "w w1.0       ", {{kGross, "1.0"}}},
        ZudCase{"empty value", "ww           ", {{kGross, ""}}}),
    CaseName());

struct FramedCase {
    const char* name;
    std::string report;
    bool accepted;
    bool stable;
    std::string weight;
};

class FramedReports : public ::testing::TestWithParam<FramedCase> {};

TEST_P(FramedReports, AreCheckedAndDecoded)
{
    const FramedCase& c = GetParam();
    const auto decoded = WeightReport::DecodeFramed(c.report);
    ASSERT_EQ(decoded.has_value(), c.accepted) << c.name;
    if (c.accepted) {
        EXPECT_EQ(decoded->stable, c.stable) << c.name;
        EXPECT_EQ(decoded->weight, c.weight) << c.name;
    }
}

std::string WithByte(std::string r, std::size_t at, char value)
{
    r[at] = value;
    return r;
}

INSTANTIATE_TEST_SUITE_P(
    Table, FramedReports,
    ::testing::Values(
        FramedCase{"stable", Framed('S', "  1.234kg"), true, true, "1.234kg"},
        FramedCase{"unstable U", Framed('U', "  1.234kg"), true, false, "1.234kg"},
        FramedCase{"lower-case s is unstable", Framed('s', "000001.00"), true, false, "000001.00"},
        FramedCase{"blank-padded", Framed('S', " 0 . 5 0 "), true, true, "0.50"},
        FramedCase{"all blanks", Framed('S', "         "), true, true, ""},
        FramedCase{"16-byte form, last byte ignored", Framed('S', "    2.000", true), true, true, "2.000"},
        FramedCase{"byte 12 not examined", WithByte(Framed('S', "    2.000"), 12, '\0'), true, true, "2.000"},
        FramedCase{"zero byte cuts the weight", WithByte(Framed('S', "  3.5  kg"), 7, '\0'), true, true, "3."},
        FramedCase{"byte 13 not 03", WithByte(Framed('S', "    1.000"), 13, '\x02'), false, false, ""},
        FramedCase{"byte 14 not 04", WithByte(Framed('S', "    1.000"), 14, '\x03'), false, false, ""},
        FramedCase{"byte 0 not 01", WithByte(Framed('S', "    1.000"), 0, '\x02'), false, false, ""},
        FramedCase{"byte 1 not 02", WithByte(Framed('S', "    1.000"), 1, '\x01'), false, false, ""},
        FramedCase{"shifted by one byte", std::string(1, '\0') + Framed('S', "    1.000").substr(0, 14), false, false, ""},
        FramedCase{"short", Framed('S', "    1.000").substr(0, 14), false, false, ""},
        FramedCase{"empty", "", false, false, ""},
        FramedCase{"ZUD text", "ww  001.250kg\r\n", false, false, ""}),
    CaseName());

TEST(FramedFields, WeightIsTheNetPriceAndTotalEmptied)
{
    const std::vector<FieldValue> expected{{kNet, "7.5"}, {kPrice, ""}, {kTotal, ""}};
    EXPECT_EQ(WeightReport::FramedFields({true, "7.5"}), expected);
}

struct CycleCase {
    const char* name;
    ScaleSeries series;
    int requested;
    bool activeNow;
    std::string report;
    std::vector<FieldValue> fields;
    std::optional<bool> stable;
};

class CycleReports : public ::testing::TestWithParam<CycleCase> {};

TEST_P(CycleReports, ShowWhatTheCycleMayShow)
{
    const CycleCase& c = GetParam();
    const auto result = WeightReport::DecodeCycleReport(c.series, c.requested, c.activeNow, c.report);
    EXPECT_EQ(result.fields, c.fields) << c.name;
    EXPECT_EQ(result.stable, c.stable) << c.name;
}

// A 37-byte three-value report, the longest layout a scale might send.
std::string ThreeValue()
{
    std::string r(37, ' ');
    r[0] = '\x01';
    r[1] = '\x02';
    r.replace(2, 8, "  12.50 ");
    r[13] = 'S';
    r.replace(14, 9, "    1.000");
    r.replace(26, 8, "   12.50");
    r[35] = '\x03';
    r[36] = '\x04';
    return r;
}

const std::vector<FieldValue> kFramedOne{{kNet, "1.000"}, {kPrice, ""}, {kTotal, ""}};

INSTANTIATE_TEST_SUITE_P(
    Table, CycleReports,
    ::testing::Values(
        CycleCase{"zud", ScaleSeries::Zud, 13, false, "wn    1.000  ", {{kNet, "1.000"}}, std::nullopt},
        CycleCase{"zud never touches the lamp", ScaleSeries::Zud, 13, true, "ww    1.000  ", {{kGross, "1.000"}},
                  std::nullopt},
        CycleCase{"zud short", ScaleSeries::Zud, 13, false, "wn    1.000", {}, std::nullopt},
        CycleCase{"polled framed", ScaleSeries::Zev, 15, false, Framed('S', "    1.000"), kFramedOne, true},
        CycleCase{"polled framed with active return checked since", ScaleSeries::Rivav, 15, true, Framed('U', "    1.000"),
                  kFramedOne, false},
        CycleCase{"active return", ScaleSeries::Rivav, 16, true, Framed('S', "    1.000", true), kFramedOne, true},
        CycleCase{"active return unchecked since the request", ScaleSeries::Rivav, 16, false,
                  Framed('S', "    1.000", true), {}, std::nullopt},
        CycleCase{"three-value layout not supported", ScaleSeries::Rivav, 16, false, ThreeValue(), {}, std::nullopt},
        CycleCase{"three-value layout read as 16 framed bytes", ScaleSeries::Rivav, 16, true, ThreeValue().substr(0, 16), {},
                  std::nullopt},
        CycleCase{"framed short", ScaleSeries::Zev, 15, false, Framed('S', "    1.000").substr(0, 10), {}, std::nullopt},
        CycleCase{"bad frame", ScaleSeries::Zev, 15, false, WithByte(Framed('S', "    1.000"), 13, 'x'), {}, std::nullopt},
        CycleCase{"series not chosen yet polls like framed", ScaleSeries::None, 15, false, Framed('S', "    1.000"),
                  kFramedOne, true}),
    CaseName());

} // namespace
