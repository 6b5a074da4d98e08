#include "rules/NumericEntry.h"

#include <gtest/gtest.h>

#include <ostream>

using NumericEntry::Field;
using NumericEntry::Limits;
using NumericEntry::Mode;

namespace {

constexpr char32_t BS = NumericEntry::kBackspace;

// Fields written as text with "|" for the caret, or "[...]" for a selection with the caret at its end.
Field field(std::string_view marked)
{
    Field f;
    for (char c : marked) {
        if (c == '|') {
            f.caret = f.text.size();
            f.selectionStart = f.caret;
        } else if (c == '[') {
            f.selectionStart = f.text.size();
        } else if (c == ']') {
            f.selectionLength = f.text.size() - f.selectionStart;
            f.caret = f.text.size();
        } else {
            f.text += c;
        }
    }
    return f;
}

std::string marked(const Field& f)
{
    std::string out = f.text;
    if (f.selectionLength > 0) {
        out.insert(f.selectionStart + f.selectionLength, "]");
        out.insert(f.selectionStart, "[");
    } else {
        out.insert(f.caret, "|");
    }
    return out;
}

const Limits integer{Mode::Integer, 0.0, 0.0};
const Limits decimal{Mode::Decimal, 0.0, 0.0};
const Limits count{Mode::Integer, 10.0, 0.0};      // reports per second
const Limits latitude{Mode::Decimal, 90.0, 0.0};

struct Keystroke {
    const char* name;
    Limits limits;
    const char* before;
    std::u32string typed;  // one or more characters, each through the rule in turn
    const char* after;
};

void PrintTo(const Keystroke& k, std::ostream* os)
{
    *os << k.name;
}

class NumericEntryKeystroke : public testing::TestWithParam<Keystroke> {};

TEST_P(NumericEntryKeystroke, GivesTheExpectedField)
{
    const Keystroke& k = GetParam();
    Field f = field(k.before);
    for (char32_t c : k.typed)
        f = NumericEntry::Type(f, c, k.limits);
    EXPECT_EQ(marked(f), k.after);
}

const Keystroke kKeystrokes[] = {
    // Both modes: a lone "0" gives way to the first digit.
    {"IntZeroReplacedByDigit", integer, "0|", U"7", "7|"},
    {"IntZeroReplacedWhereverTheCaret", integer, "|0", U"7", "7|"},
    {"IntBackspaceBehindLastDigitGivesZero", integer, "7|", {BS}, "0|"},
    {"IntSelectAllBackspace", integer, "[123]", {BS}, "0|"},
    {"IntSelectAllDigit", integer, "[123]", U"4", "4|"},
    {"IntSelectionReplacedInside", integer, "1[23]4", U"9", "19|4"},
    {"IntInsertAtCaret", integer, "1|2", U"5", "15|2"},
    {"IntBackspaceInside", integer, "12|3", {BS}, "1|3"},
    {"IntBackspaceAtStartChangesNothing", integer, "|12", {BS}, "|12"},
    {"IntBackspaceInFrontOfSingleDigit", integer, "|7", {BS}, "|7"},
    {"IntNoLengthLimit", integer, "123456789012|", U"345", "123456789012345|"},
    {"IntEmptyTakesDigit", integer, "|", U"5", "5|"},
    {"IntEmptyRefusedCharacterGivesZero", integer, "|", U"x", "0|"},
    {"IntLetterDropped", integer, "12|", U"a", "12|"},
    {"IntSpaceDropped", integer, "12|", U" ", "12|"},
    {"IntPlusDropped", integer, "12|", U"+", "12|"},
    {"IntMinusDropped", integer, "12|", U"-", "12|"},
    {"IntCommaDropped", integer, "12|", U",", "12|"},
    {"IntPointDropped", integer, "12|", U".", "12|"},
    {"IntCopyCharacterDropped", integer, "1|2", U"\x03", "1|2"},
    {"IntPasteCharacterDropped", integer, "1|2", U"\x16", "1|2"},
    {"IntCutCharacterDroppedSelectionKept", integer, "[12]", U"\x18", "[12]"},
    {"IntTabDropped", integer, "12|", U"\t", "12|"},
    {"IntFullWidthDigitDropped", integer, "12|", U"\uFF11", "12|"},
    {"IntChineseDropped", integer, "12|", U"\u4E2D", "12|"},

    // Range 0..10.
    {"CountOneZeroZero", count, "0|", U"1", "1|"},
    {"CountOneZeroZero2", count, "1|", U"0", "10|"},
    {"CountOneZeroZero3", count, "10|", U"0", "10|"},
    {"CountAboveUpperClampedToWholeNumber", count, "5|", U"5", "10|"},
    {"CountDroppedCharacterMovesCaretToEnd", count, "1|0", U"a", "10|"},
    {"CountInsertInFrontThenCaretAtEnd", count, "|1", U"0", "01|"},
    {"CountBackspaceToEmptyGivesZero", count, "[10]", {BS}, "0|"},

    // Decimal mode.
    {"DecZeroReplacedByDigit", decimal, "0|", U"7", "7|"},
    {"DecBackspaceBehindSingleDigitGivesZero", decimal, "7|", {BS}, "0|"},
    {"DecBackspaceOnSingleDigitWhereverTheCaret", decimal, "|7", {BS}, "0|"},
    {"DecSelectAllBackspace", decimal, "[9.788]", {BS}, "0|"},
    {"DecSelectAllDigit", decimal, "[9.788]", U"4", "4|"},
    {"DecPointOnEmpty", decimal, "|", U".", "0.|"},
    {"DecPointOnSingleDigit", decimal, "5|", U".", "5.|"},
    {"DecPointOnSingleDigitCaretInFront", decimal, "|5", U".", "5.|"},
    {"DecPointBetweenTwoDigits", decimal, "1|2", U".", "1.|2"},
    {"DecSecondPointDropped", decimal, "1.5|", U".", "1.5|"},
    {"DecSecondPointDroppedElsewhere", decimal, "1|.5", U".", "1|.5"},
    {"DecPointLeftAloneTakesNoSecond", decimal, "5|.", {BS, U'.'}, "|."},
    {"DecSevenDigitsAllowed", decimal, "123456|", U"7", "1234567|"},
    {"DecEighthDigitDropped", decimal, "1234567|", U"8", "1234567|"},
    {"DecEighthDigitDroppedCaretJumpsToEnd", decimal, "12|34567", U"8", "1234567|"},
    {"DecEighthDigitDroppedEvenOverSelection", decimal, "[1234567]", U"8", "1234567|"},
    {"DecPointAfterSevenDigits", decimal, "1234567|", U".", "1234567.|"},
    {"DecBackspaceAfterSevenDigits", decimal, "1234567|", {BS}, "123456|"},
    {"DecFiveAfterPoint", decimal, "1.1234|", U"5", "1.12345|"},
    {"DecSixthAfterPointDropped", decimal, "1.12345|", U"6", "1.12345|"},
    {"DecBackspaceWithFiveAfterPoint", decimal, "1.12345|", {BS}, "1.1234|"},
    {"DecDigitsInFrontOfPointNotCounted", decimal, "12|.1234", U"3", "123|.1234"},
    {"DecInFrontOfPointStoppedOnceFractionFull", decimal, "12|.12345", U"3", "12.12345|"},
    {"DecSignedTextAllowsOneMore", decimal, "-123456|", U"7", "-1234567|"},
    {"DecSignedTextFull", decimal, "-1234567|", U"8", "-1234567|"},
    {"DecMinusNeverAccepted", decimal, "5|", U"-", "5|"},
    {"DecMinusOnFullTextDropped", decimal, "1234567|", U"-", "1234567|"},
    {"DecLetterDropped", decimal, "5|", U"e", "5|"},
    {"DecCommaDropped", decimal, "5|", U",", "5|"},
    {"DecPasteCharacterDropped", decimal, "5|", U"\x16", "5|"},
    {"DecEmptyRefusedCharacterGivesZero", decimal, "|", U"x", "0|"},

    // Latitude, 0..90.
    {"LatNineThenOne", latitude, "0|", U"91", "90|"},
    {"LatPointAndFiveBehindNinety", latitude, "90|", U".5", "90|"},
    {"LatPointBehindNinetyStays", latitude, "90|", U".", "90.|"},
    {"LatInRangeStaysAsTyped", latitude, "45|", U".25", "45.25|"},
    {"LatPointInsideThenCaretAtEnd", latitude, "4|5", U".", "4.5|"},
    {"LatHundredsClamped", latitude, "9|", U"00", "90|"},
};

INSTANTIATE_TEST_SUITE_P(Rule, NumericEntryKeystroke, testing::ValuesIn(kKeystrokes),
                         [](const testing::TestParamInfo<Keystroke>& info) { return info.param.name; });

TEST(NumericEntrySettle, EmptyBecomesZeroAndRangeClamps)
{
    EXPECT_EQ(marked(NumericEntry::Settle(field("|"), integer)), "0|");
    EXPECT_EQ(marked(NumericEntry::Settle(field("1|2"), integer)), "1|2");
    EXPECT_EQ(marked(NumericEntry::Settle(field("1|2"), count)), "10|");
    EXPECT_EQ(marked(NumericEntry::Settle(field("9|1"), latitude)), "90|");
    EXPECT_EQ(marked(NumericEntry::Settle(field("4|5"), latitude)), "45|");
}

TEST(NumericEntrySettle, LowerBoundWrittenAsWholeNumber)
{
    const Limits band{Mode::Decimal, 20.0, 5.0};
    EXPECT_EQ(marked(NumericEntry::Type(field("|"), U'3', band)), "5|");
    EXPECT_EQ(marked(NumericEntry::Type(field("1|"), U'.', band)), "5|");
}

struct Conversion {
    const char* text;
    double real;
};

class NumericEntryLeading : public testing::TestWithParam<Conversion> {};

TEST_P(NumericEntryLeading, ConvertsLikeTheCLibrary)
{
    EXPECT_DOUBLE_EQ(NumericEntry::LeadingReal(GetParam().text), GetParam().real);
}

INSTANTIATE_TEST_SUITE_P(Table, NumericEntryLeading, testing::Values(
    Conversion{"", 0.0},
    Conversion{"abc", 0.0},
    Conversion{"15", 15.0},
    Conversion{"7.5", 7.5},
    Conversion{"  42kg", 42.0},
    Conversion{"\t-3.25", -3.25},
    Conversion{"+8", 8.0},
    Conversion{"90.", 90.0},
    Conversion{".5", 0.5},
    Conversion{"1e2", 100.0},
    Conversion{"--5", 0.0},
    Conversion{"- 5", 0.0},
    Conversion{"0x10", 0.0}));

TEST(NumericEntryExchange, RealsMustBeWholeNumbers)
{
    EXPECT_EQ(NumericEntry::ParseReal("9.7883"), 9.7883);
    EXPECT_EQ(NumericEntry::ParseReal(" 0. "), 0.0);
    EXPECT_EQ(NumericEntry::ParseReal("-1.5"), -1.5);
    EXPECT_EQ(NumericEntry::ParseReal("1e3"), 1000.0);
    EXPECT_FALSE(NumericEntry::ParseReal(""));
    EXPECT_FALSE(NumericEntry::ParseReal("   "));
    EXPECT_FALSE(NumericEntry::ParseReal("."));
    EXPECT_FALSE(NumericEntry::ParseReal("9.7x"));
    EXPECT_FALSE(NumericEntry::ParseReal("9,7"));
    EXPECT_FALSE(NumericEntry::ParseReal("inf"));
    EXPECT_FALSE(NumericEntry::ParseReal("--1"));
}

TEST(NumericEntryExchange, IntegersMustBeWholeAndFit)
{
    EXPECT_EQ(NumericEntry::ParseInteger("6"), 6);
    EXPECT_EQ(NumericEntry::ParseInteger(" -20 "), -20);
    EXPECT_EQ(NumericEntry::ParseInteger("+7"), 7);
    EXPECT_EQ(NumericEntry::ParseInteger("2147483647"), 2147483647);
    EXPECT_EQ(NumericEntry::ParseInteger("-2147483648"), -2147483647 - 1);
    EXPECT_FALSE(NumericEntry::ParseInteger("2147483648"));
    EXPECT_FALSE(NumericEntry::ParseInteger("99999999999"));
    EXPECT_FALSE(NumericEntry::ParseInteger(""));
    EXPECT_FALSE(NumericEntry::ParseInteger("1.5"));
    EXPECT_FALSE(NumericEntry::ParseInteger("+-1"));
    EXPECT_FALSE(NumericEntry::ParseInteger("12a"));
}

TEST(NumericEntryExchange, NumbersShownAsTheDialogsShowThem)
{
    EXPECT_EQ(NumericEntry::FormatReal(9.7883), "9.7883");
    EXPECT_EQ(NumericEntry::FormatReal(9.7883000001), "9.7883000001");
    EXPECT_EQ(NumericEntry::FormatReal(0.0), "0");
    EXPECT_EQ(NumericEntry::FormatReal(90.0), "90");
    EXPECT_EQ(NumericEntry::FormatReal(23.125), "23.125");
    EXPECT_EQ(NumericEntry::FormatInteger(-50), "-50");
}

} // namespace
