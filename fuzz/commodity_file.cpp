// The commodity file reader: whatever bytes a file holds, saving what was loaded and loading that
// again gives the same rows and the same bytes. Rows without a code are shown but never saved, so
// they come back empty.
#include "FuzzCheck.h"

#include "commodity/CommodityFile.h"
#include "commodity/CommodityTable.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    CommodityTable loaded;
    ParseCommodityText(loaded, file);
    const std::string saved = FormatCommodityText(loaded);
    CommodityTable reloaded;
    ParseCommodityText(reloaded, saved);
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        const bool saved = !loaded.Cell(row, CommodityTable::Code).empty();
        for (int column : {CommodityTable::Code, CommodityTable::Name, CommodityTable::Price})
            FUZZ_REQUIRE(reloaded.Cell(row, column) == (saved ? loaded.Cell(row, column) : std::string()));
    }
    FUZZ_REQUIRE(FormatCommodityText(reloaded) == saved);
    return 0;
}
