#include "commodity/CommodityUpload.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"

Bytes CompanyNameCommand(std::string_view gbkName)
{
    return ScaleCommandSet::SetCompanyName(GbkText::CutToBytes(gbkName, kCompanyNameLimit));
}

std::vector<Bytes> UploadBlock(const CommodityTable& table, ScaleSeries series)
{
    std::vector<Bytes> writes;
    if (series == ScaleSeries::Rivav)
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
        if (series != ScaleSeries::Zud)
            line += table.Cell(row, CommodityTable::Price);
        line += "\r\n";
        writes.push_back(std::move(line));
    }
    writes.emplace_back("end\r\n");
    return writes;
}

bool SendUploadBlock(SerialLink::PortHandle& port, const std::vector<Bytes>& writes,
                     const std::function<bool()>& cancelled, const std::function<void(int sent)>& progress)
{
    const std::size_t count = writes.size();
    bool whole = true;
    for (std::size_t i = 0; i < count; ++i) {
        if (cancelled() && i + 1 < count) {
            if (i == 0)
                return false;
            i = count - 1;
            whole = false;
        }
        const Bytes& line = writes[i];
        if (SerialLink::WriteBytes(port, line.data(), line.size()) != int(line.size()))
            return false;
        if (progress)
            progress(int(i + 1));
    }
    return whole;
}
