// The CSV import: whatever bytes a file holds, what the import keeps, exported and imported again,
// comes back exactly, with no problem in any row; and no refused file changes anything.
#include "FuzzCheck.h"

#include "commodity/CommodityCsv.h"
#include "commodity/CommodityTable.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const CommodityCsv::Import first = CommodityCsv::Parse(file);
    if (first.fileProblem != CommodityCsv::FileProblem::None) {
        FUZZ_REQUIRE(first.rows.empty());
        return 0;
    }
    FUZZ_REQUIRE(first.rows.size() <= CommodityCsv::kMaxDataLines);
    CommodityTable kept;
    CommodityCsv::Apply(first, kept);

    for (const std::array<std::string, 4>& header : {std::array<std::string, 4>{"No.", "Code", "Product Name", "Price"},
                                                     std::array<std::string, 4>{"序号", "编码", "商品名称", "单价"}}) {
        const std::string exported = CommodityCsv::Format(kept, header);
        const CommodityCsv::Import second = CommodityCsv::Parse(exported);
        FUZZ_REQUIRE(second.fileProblem == CommodityCsv::FileProblem::None);
        FUZZ_REQUIRE(second.ProblemCount() == 0);
        CommodityTable back;
        CommodityCsv::Apply(second, back);
        FUZZ_REQUIRE(back == kept);
        FUZZ_REQUIRE(CommodityCsv::Format(back, header) == exported);
    }
    return 0;
}
