// The field splitter: the pieces joined with the separator give the text back, and every split
// point lies on a character boundary. The first byte is the separator.
#include "FuzzCheck.h"

#include "commodity/CommodityFile.h"
#include "commodity/GbkText.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::string separator(1, char(data[0]));
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::vector<std::string> pieces;
    SplitFields(text, separator, pieces);
    FUZZ_REQUIRE(text.empty() == pieces.empty());
    std::string joined;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            FUZZ_REQUIRE(GbkText::IsCharacterBoundary(text, joined.size()));
            joined += separator;
        }
        joined += pieces[i];
    }
    FUZZ_REQUIRE(joined == text);
    return 0;
}
