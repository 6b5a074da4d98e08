#include "rules/EnableRule.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using enum EnableRule::Control;

struct Case {
    const char* name;
    bool open;
    ScaleSeries series;
    bool reading;
    std::set<EnableRule::Control> enabled;
    bool uncheckActiveReturn;
};

// Every control the rule governs, in the order it sets them.
const std::vector<EnableRule::Control> kGovernedInOrder = {
    PortList, BaudList, CompanyName, CompanyButton, Upload, Zero, Tare, NewBaudList, SetBaud, PrintSetup,
    PrintA15, PrintA16, CommodityList, AutoRead, ActiveReturn, PostbackList, PostbackButton, More, ReadParameters};

const Case kCases[] = {
    {"closed_zud", false, ScaleSeries::Zud, false, {PortList, BaudList, CommodityList}, true},
    {"closed_zev_prints_stay_usable", false, ScaleSeries::Zev, false, {PortList, BaudList, PrintSetup, PrintA15, PrintA16, CommodityList}, true},
    {"closed_rivav", false, ScaleSeries::Rivav, false, {PortList, BaudList}, false},
    {"closed_nothing_selected", false, ScaleSeries::None, false, {PortList, BaudList, CommodityList}, true},
    {"closed_zev_reading_box_left_checked", false, ScaleSeries::Zev, true, {PortList, BaudList, PrintSetup, PrintA15, PrintA16, CommodityList}, true},
    {"open_zud", true, ScaleSeries::Zud, false, {CompanyName, CompanyButton, Upload, Zero, Tare, CommodityList, AutoRead, PostbackList, PostbackButton, More, ReadParameters}, true},
    {"open_zud_reading", true, ScaleSeries::Zud, true, {CompanyName, CompanyButton, Upload, Zero, Tare, CommodityList, AutoRead, PostbackList, PostbackButton, More}, true},
    {"open_zev", true, ScaleSeries::Zev, false, {Upload, PrintSetup, PrintA15, PrintA16, CommodityList, AutoRead, PostbackList, PostbackButton, More, ReadParameters}, true},
    {"open_zev_reading", true, ScaleSeries::Zev, true, {Upload, PrintSetup, PrintA15, PrintA16, CommodityList, AutoRead, PostbackList, PostbackButton, More}, true},
    {"open_rivav", true, ScaleSeries::Rivav, false, {Zero, Tare, NewBaudList, SetBaud, AutoRead, ActiveReturn, PostbackList, PostbackButton, More, ReadParameters}, false},
    {"open_rivav_reading", true, ScaleSeries::Rivav, true, {Zero, Tare, NewBaudList, SetBaud, AutoRead, ActiveReturn, PostbackList, PostbackButton, More}, false},
    {"open_nothing_selected", true, ScaleSeries::None, false, {Upload, Zero, Tare, CommodityList, AutoRead, PostbackList, PostbackButton, More, ReadParameters}, true},
};

class EnableRuleTable : public ::testing::TestWithParam<Case> {};

TEST_P(EnableRuleTable, EnablesExactlyTheListedControls)
{
    const Case& c = GetParam();
    const EnableRule::Outcome out = EnableRule::Evaluate(c.open, c.series, c.reading);
    std::set<EnableRule::Control> enabled;
    for (const auto& state : out.controls) {
        if (state.enabled)
            enabled.insert(state.control);
    }
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(out.uncheckActiveReturn, c.uncheckActiveReturn);
}

TEST_P(EnableRuleTable, SetsEveryGovernedControlOnceInOrder)
{
    const Case& c = GetParam();
    const EnableRule::Outcome out = EnableRule::Evaluate(c.open, c.series, c.reading);
    std::vector<EnableRule::Control> order;
    for (const auto& state : out.controls)
        order.push_back(state.control);
    EXPECT_EQ(order, kGovernedInOrder);
}

INSTANTIATE_TEST_SUITE_P(SeriesByPortByReading, EnableRuleTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// What a disabled control waits for: the series first, then the port, then the reading.
struct NeedCase {
    EnableRule::Control control;
    bool open;
    ScaleSeries series;
    bool reading;
    EnableRule::Need need;
};

const NeedCase kNeedCases[] = {
    {Tare, false, ScaleSeries::Zud, false, EnableRule::Need::OpenPort},
    {Tare, false, ScaleSeries::Zev, false, EnableRule::Need::OtherThanZev},
    {Tare, true, ScaleSeries::Zud, true, EnableRule::Need::Nothing},
    {Upload, false, ScaleSeries::Rivav, false, EnableRule::Need::OtherThanRivav},
    {PrintA15, true, ScaleSeries::Zud, false, EnableRule::Need::ZevSeries},
    {ActiveReturn, true, ScaleSeries::Zud, false, EnableRule::Need::RivavSeries},
    {ReadParameters, true, ScaleSeries::Zev, true, EnableRule::Need::StopReading},
    {ReadParameters, false, ScaleSeries::Zev, true, EnableRule::Need::OpenPort},
    {PortList, true, ScaleSeries::Zud, false, EnableRule::Need::ClosePort},
};

TEST(EnableRule, SaysWhatADisabledControlWaitsFor)
{
    for (const NeedCase& c : kNeedCases) {
        SCOPED_TRACE(int(c.control));
        for (const auto& state : EnableRule::Evaluate(c.open, c.series, c.reading).controls) {
            if (state.control == c.control) {
                EXPECT_EQ(state.need, c.need);
                EXPECT_EQ(state.enabled, c.need == EnableRule::Need::Nothing);
            }
        }
    }
}

} // namespace
