#include "rules/AccessCode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Entry {
    std::string text;
    bool accepted;
};

class ManufacturerAccessCode : public testing::TestWithParam<Entry> {};

TEST_P(ManufacturerAccessCode, AcceptsOnlyTheExactCodes)
{
    EXPECT_EQ(AccessCode::IsAccepted(GetParam().text), GetParam().accepted) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Table, ManufacturerAccessCode, testing::Values(
    Entry{"274815", true},
    Entry{"906142", true},
    Entry{"05317790264", true},
    Entry{"274815 ", false},
    Entry{" 274815", false},
    Entry{"274815\n", false},
    Entry{std::string("274815\0", 7), false},
    Entry{"5317790264", false},
    Entry{"053177902640", false},
    Entry{"27481", false},
    Entry{"2748150", false},
    Entry{"906142274815", false},
    Entry{"", false},
    Entry{"０５３１７７９０２６４", false}));

} // namespace
