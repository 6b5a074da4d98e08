// Both codec backends (iconv on POSIX, code page 936 on Windows) read and write GBK alike, so a file
// saved on one platform loads the same on the other.

#include "commodity/GbkCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Over every two-byte sequence: what it decodes to, and that it encodes back to itself. The count
// and the fingerprint are those of the POSIX backend (glibc's GBK plus the euro sign, and the
// user-defined pairs on the private-use code points code page 936 gives them).
TEST(GbkCodec, EveryTwoByteSequenceDecodesAsOnEveryPlatform)
{
    std::uint64_t fingerprint = 14695981039346656037ull;  // FNV-1a over bytes and characters
    int characters = 0;
    int privateUse = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string gbk {char(lead), char(trail)};
            const std::string utf8 = GbkCodec::GbkToUtf8(gbk);
            char32_t character = 0;
            const std::size_t length = GbkCodec::DecodeUtf8(utf8, 0, character);
            if (length != utf8.size() || character == 0xFFFD)
                continue;  // no character: U+FFFD and the trail byte
            ++characters;
            if (character >= 0xE000 && character <= 0xF8FF)
                ++privateUse;
            EXPECT_EQ(GbkCodec::Utf8ToGbk(utf8), gbk) << std::hex << lead << trail;
            for (unsigned char byte : gbk + utf8)
                fingerprint = (fingerprint ^ byte) * 1099511628211ull;
        }
    }
    EXPECT_EQ(characters, 21791 + 2149);
    EXPECT_EQ(privateUse, 2149);
    EXPECT_EQ(fingerprint, 17057607196952638377ull);
}

TEST(GbkCodec, PrivateUseCharactersOutsideTheUserDefinedPairsAreRefused)
{
    for (const char32_t character : {char32_t(0xE865), char32_t(0xF8F5), char32_t(0xF8FF)}) {
        GbkCodec::Refusal refusal;
        EXPECT_FALSE(GbkCodec::Utf8ToGbk("A" + GbkCodec::Utf8Of(character), &refusal)) << std::hex << std::uint32_t(character);
        EXPECT_EQ(std::uint32_t(refusal.character), std::uint32_t(character));
        EXPECT_EQ(refusal.offset, 1u);
    }
}

} // namespace
