#include "commodity/GbkText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// GBK bytes of the characters used below.
const std::string kZhong = "\xD6\xD0";        // 中
const std::string kApple = "\xC6\xBB\xB9\xFB"; // 苹果

struct CutCase {
    const char* what;
    std::string text;
    std::size_t limit;
    std::string expected;
};

void PrintTo(const CutCase& c, std::ostream* os) { *os << c.what; }

class CutToBytes : public testing::TestWithParam<CutCase> {};

TEST_P(CutToBytes, KeepsWholeCharacters)
{
    const CutCase& c = GetParam();
    EXPECT_EQ(std::string(GbkText::CutToBytes(c.text, c.limit)), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, CutToBytes, testing::Values(
    CutCase{"shorter than the limit", "abc", 5, "abc"},
    CutCase{"exactly the limit", "abcde", 5, "abcde"},
    CutCase{"ASCII over the limit", "abcdef", 5, "abcde"},
    CutCase{"double-byte character fits exactly", "abc" + kZhong, 5, "abc" + kZhong},
    CutCase{"double-byte character straddles the limit", "abcd" + kZhong, 5, "abcd"},
    CutCase{"only Chinese, odd limit", kApple, 3, kApple.substr(0, 2)},
    CutCase{"only Chinese, even limit", kApple, 2, kApple.substr(0, 2)},
    CutCase{"limit zero", kApple, 0, ""},
    CutCase{"a trailing lone lead byte counts as one byte", "ab\xD6", 3, "ab\xD6"},
    CutCase{"0x80 and 0xFF are single bytes", "\x80\xFF" "a", 2, "\x80\xFF"}));

TEST(GbkText, LeadBytesAreThoseOfDoubleByteCharacters)
{
    EXPECT_FALSE(GbkText::IsLeadByte(0x80));
    EXPECT_TRUE(GbkText::IsLeadByte(0x81));
    EXPECT_TRUE(GbkText::IsLeadByte(0xFE));
    EXPECT_FALSE(GbkText::IsLeadByte(0xFF));
    EXPECT_FALSE(GbkText::IsLeadByte(','));
}

TEST(GbkText, ByteLengthCountsChineseAsTwo)
{
    EXPECT_EQ(GbkText::ByteLength(kApple + "A1"), 6u);
    EXPECT_EQ(GbkText::ByteLength(""), 0u);
}

TEST(GbkText, BoundariesCountFromTheStart)
{
    // 0xC4 0x7C is one character whose second byte looks like '|'.
    const std::string text = "a\xC4\x7C" "b";
    EXPECT_TRUE(GbkText::IsCharacterBoundary(text, 1));
    EXPECT_FALSE(GbkText::IsCharacterBoundary(text, 2));
    EXPECT_TRUE(GbkText::IsCharacterBoundary(text, 3));
    EXPECT_TRUE(GbkText::IsCharacterBoundary(text, 4));
    EXPECT_FALSE(GbkText::IsCharacterBoundary(text, 5));
    EXPECT_EQ(GbkText::CharacterLength(text, 1), 2u);
    EXPECT_EQ(GbkText::CharacterLength(text, 3), 1u);
    EXPECT_EQ(GbkText::CharacterLength(text, 4), 0u);
}

} // namespace
