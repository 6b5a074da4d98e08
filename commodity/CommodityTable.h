#pragma once

#include <array>
#include <string>

// The commodity (PLU) table: 200 rows x 5 columns of GBK text, the only store behind the list.
// Column 0 is hidden and empty, 1 holds the number "1".."200", 2 the code, 3 the product name,
// 4 the price. Row r is commodity number r + 1.
class CommodityTable {
public:
    static constexpr int kRows = 200;
    static constexpr int kColumns = 5;
    enum Column { Hidden = 0, Number = 1, Code = 2, Name = 3, Price = 4 };
    // The most GBK bytes a code holds, however it is entered.
    static constexpr int kCodeBytes = 20;

    CommodityTable();

    // Out-of-range cells read as empty and ignore writes.
    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);
    // Empties code, name and price of every row; numbers stay.
    void ClearEntries();
    // True when the row has a code, a name or a price.
    bool HasEntry(int row) const;

    bool operator==(const CommodityTable&) const = default;

private:
    std::array<std::array<std::string, kColumns>, kRows> cells_;
};
