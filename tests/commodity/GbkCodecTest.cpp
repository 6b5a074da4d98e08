// Both codec backends (iconv on POSIX, code page 936 on Windows) read and write GBK alike, so a file
// saved on one platform loads the same on the other.

#include "commodity/GbkCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// Over every two-byte sequence: what it decodes to, and that it encodes back to itself. The count
// and the fingerprint are those of the POSIX backend (glibc's GBK plus the euro sign); code page
// 936 also maps the user-defined areas to private-use characters, which neither backend takes.
TEST(GbkCodec, EveryTwoByteSequenceDecodesAsOnEveryPlatform)
{
    std::uint64_t fingerprint = 14695981039346656037ull;  // FNV-1a over bytes and characters
    int characters = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string gbk {char(lead), char(trail)};
            const std::string utf8 = GbkCodec::GbkToUtf8(gbk);
            char32_t character = 0;
            const std::size_t length = GbkCodec::DecodeUtf8(utf8, 0, character);
            if (length != utf8.size() || character == 0xFFFD)
                continue;  // no character: U+FFFD and the trail byte
            ++characters;
            EXPECT_FALSE(character >= 0xE000 && character <= 0xF8FF) << std::hex << lead << trail;
            EXPECT_EQ(GbkCodec::Utf8ToGbk(utf8), gbk) << std::hex << lead << trail;
            for (unsigned char byte : gbk + utf8)
                fingerprint = (fingerprint ^ byte) * 1099511628211ull;
        }
    }
    EXPECT_EQ(characters, 21791);
    EXPECT_EQ(fingerprint, 8768813532580919164ull);
}

TEST(GbkCodec, PrivateUseCharactersAreRefused)
{
    for (const char32_t character : {char32_t(0xE000), char32_t(0xE4C6), char32_t(0xF8FF)}) {
        GbkCodec::Refusal refusal;
        EXPECT_FALSE(GbkCodec::Utf8ToGbk("A" + GbkCodec::Utf8Of(character), &refusal)) << std::hex << std::uint32_t(character);
        EXPECT_EQ(std::uint32_t(refusal.character), std::uint32_t(character));
        EXPECT_EQ(refusal.offset, 1u);
    }
}

} // namespace
