#include "settings/LeadingInteger.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

struct Case {
    const char* text;
    std::int32_t wrapped;
    std::int32_t wrappedWithPrefixes;
    std::int32_t clamped;
};

class LeadingIntegerTable : public testing::TestWithParam<Case> {};

TEST_P(LeadingIntegerTable, ReadsTheNumberAtTheFront)
{
    const Case& c = GetParam();
    EXPECT_EQ(LeadingInteger::Wrapped(c.text), c.wrapped) << c.text;
    EXPECT_EQ(LeadingInteger::Wrapped(c.text, true), c.wrappedWithPrefixes) << c.text;
    EXPECT_EQ(LeadingInteger::Clamped(c.text), c.clamped) << c.text;
}

constexpr std::int32_t kMin = -2147483647 - 1;
constexpr std::int32_t kMax = 2147483647;

INSTANTIATE_TEST_SUITE_P(Table, LeadingIntegerTable, testing::Values(
    Case{"", 0, 0, 0},
    Case{"abc", 0, 0, 0},
    Case{"15", 15, 15, 15},
    Case{"7.5", 7, 7, 7},
    Case{"  42kg", 42, 42, 42},
    Case{"\t\r\n\v\f-3", -3, -3, -3},
    Case{"+8", 8, 8, 8},
    Case{"--5", 0, 0, 0},
    Case{"- 5", 0, 0, 0},
    Case{"+", 0, 0, 0},
    Case{"1e3", 1, 1, 1},
    Case{"017", 17, 17, 17},
    Case{"0x10", 0, 16, 0},
    Case{"-0x10", 0, -16, 0},
    Case{"0xfF", 0, 255, 0},
    Case{"0XfF", 0, 0, 0},
    Case{"0x", 0, 0, 0},
    Case{"0b1012", 0, 5, 0},
    Case{"0o179", 0, 15, 0},
    Case{"2147483647", kMax, kMax, kMax},
    Case{"2147483648", kMin, kMin, kMax},
    Case{"-2147483648", kMin, kMin, kMin},
    Case{"-2147483649", kMax, kMax, kMin},
    Case{"4294967295", -1, -1, kMax},
    Case{"4294967297", 1, 1, kMax},
    Case{"99999999999", 1215752191, 1215752191, kMax},
    Case{"99999999999999999999", 1661992959, 1661992959, kMax}));

} // namespace
