// The commodity file reader: whatever bytes a file holds, saving what was loaded and loading that
// again gives the same table and the same bytes.
#include "FuzzCheck.h"

#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    CommodityTable loaded;
    ParseCommodityText(loaded, file);
    const std::string saved = FormatCommodityText(loaded);
    CommodityTable reloaded;
    ParseCommodityText(reloaded, saved);
    FUZZ_REQUIRE(loaded == reloaded);
    FUZZ_REQUIRE(FormatCommodityText(reloaded) == saved);
    return 0;
}
