#include "dialogs/EnableRule.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

struct Case {
    const char* name;
    bool open;
    int series;
    bool reading;
    std::set<int> enabled;
    bool uncheckActiveReturn;
};

// Every control the rule governs, in the order it sets them.
const std::vector<int> kGovernedInOrder = {1000, 1001, 1011, 1003, 1006, 1008, 1007, 1012, 1009, 1013,
                                           1010, 1014, 1004, 1021, 1022, 1024, 1025, 1027, 1028};

const Case kCases[] = {
    {"closed_zud", false, 0, false, {1000, 1001, 1004}, true},
    {"closed_zev_prints_stay_usable", false, 1, false, {1000, 1001, 1013, 1010, 1014, 1004}, true},
    {"closed_rivav", false, 2, false, {1000, 1001}, false},
    {"closed_nothing_selected", false, -1, false, {1000, 1001, 1004}, true},
    {"closed_zev_reading_box_left_checked", false, 1, true, {1000, 1001, 1013, 1010, 1014, 1004}, true},
    {"open_zud", true, 0, false, {1011, 1003, 1006, 1008, 1007, 1004, 1021, 1024, 1025, 1027, 1028}, true},
    {"open_zud_reading", true, 0, true, {1011, 1003, 1006, 1008, 1007, 1004, 1021, 1024, 1025, 1027}, true},
    {"open_zev", true, 1, false, {1006, 1013, 1010, 1014, 1004, 1021, 1024, 1025, 1027, 1028}, true},
    {"open_zev_reading", true, 1, true, {1006, 1013, 1010, 1014, 1004, 1021, 1024, 1025, 1027}, true},
    {"open_rivav", true, 2, false, {1008, 1007, 1012, 1009, 1021, 1022, 1024, 1025, 1027, 1028}, false},
    {"open_rivav_reading", true, 2, true, {1008, 1007, 1012, 1009, 1021, 1022, 1024, 1025, 1027}, false},
    {"open_nothing_selected", true, -1, false, {1006, 1008, 1007, 1004, 1021, 1024, 1025, 1027, 1028}, true},
};

class EnableRuleTable : public ::testing::TestWithParam<Case> {};

TEST_P(EnableRuleTable, EnablesExactlyTheListedControls)
{
    const Case& c = GetParam();
    const EnableRule::Outcome out = EnableRule::Evaluate(c.open, c.series, c.reading);
    std::set<int> enabled;
    for (const auto& control : out.controls) {
        if (control.enabled)
            enabled.insert(control.id);
    }
    EXPECT_EQ(enabled, c.enabled);
    EXPECT_EQ(out.uncheckActiveReturn, c.uncheckActiveReturn);
}

TEST_P(EnableRuleTable, SetsEveryGovernedControlOnceInOrder)
{
    const Case& c = GetParam();
    const EnableRule::Outcome out = EnableRule::Evaluate(c.open, c.series, c.reading);
    std::vector<int> ids;
    for (const auto& control : out.controls)
        ids.push_back(control.id);
    EXPECT_EQ(ids, kGovernedInOrder);
}

INSTANTIATE_TEST_SUITE_P(SeriesByPortByReading, EnableRuleTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

} // namespace
