// Cutting GBK text to a byte limit: the longest prefix within the limit that ends on a character
// boundary. The first byte is the limit.
#include "FuzzCheck.h"

#include "commodity/GbkText.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t limit = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view cut = GbkText::CutToBytes(text, limit);
    FUZZ_REQUIRE(cut.data() == text.data());
    FUZZ_REQUIRE(cut.size() <= limit || cut.size() == text.size());
    FUZZ_REQUIRE(cut.size() <= text.size());
    FUZZ_REQUIRE(GbkText::IsCharacterBoundary(text, cut.size()));
    if (cut.size() < text.size())
        FUZZ_REQUIRE(cut.size() + GbkText::CharacterLength(text, cut.size()) > limit);
    FUZZ_REQUIRE(GbkText::ByteLength(text) == text.size());
    return 0;
}
