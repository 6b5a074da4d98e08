#include "commodity/CommodityTable.h"

CommodityTable::CommodityTable()
{
    for (int row = 0; row < kRows; ++row)
        cells_[std::size_t(row)][Number] = std::to_string(row + 1);
}

const std::string& CommodityTable::Cell(int row, int column) const
{
    static const std::string empty;
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return empty;
    return cells_[std::size_t(row)][std::size_t(column)];
}

void CommodityTable::SetCell(int row, int column, std::string text)
{
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return;
    cells_[std::size_t(row)][std::size_t(column)] = std::move(text);
}

bool CommodityTable::HasEntry(int row) const
{
    return !Cell(row, Code).empty() || !Cell(row, Name).empty() || !Cell(row, Price).empty();
}

void CommodityTable::ClearEntries()
{
    for (auto& row : cells_) {
        row[Code].clear();
        row[Name].clear();
        row[Price].clear();
    }
}
