#include "commodity/CommodityUpload.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"

Bytes CompanyNameCommand(std::string_view gbkName)
{
    return ScaleCommandSet::SetCompanyName(GbkText::CutToBytes(gbkName, kCompanyNameLimit));
}

std::vector<Bytes> UploadBlock(const CommodityTable& table, int series)
{
    std::vector<Bytes> writes;
    if (series == SeriesRivav)
        return writes;
    writes.reserve(CommodityTable::kRows + 2);
    writes.emplace_back("plu\r\n");
    for (int row = 0; row < CommodityTable::kRows; ++row) {
        Bytes line = std::to_string(row + 1);
        line += '[';
        line += table.Cell(row, CommodityTable::Code);
        line += "]<";
        line += table.Cell(row, CommodityTable::Name);
        line += '>';
        if (series != SeriesZud)
            line += table.Cell(row, CommodityTable::Price);
        line += "\r\n";
        writes.push_back(std::move(line));
    }
    writes.emplace_back("end\r\n");
    return writes;
}
