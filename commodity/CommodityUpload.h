#pragma once

#include "link/ScaleCommand.h"

#include <string_view>
#include <vector>

class CommodityTable;

// The longest company name the scale takes, in bytes.
inline constexpr std::size_t kCompanyNameLimit = 100;

// "Co.%s\r\n" with the GBK name cut to at most 100 bytes at a character boundary.
Bytes CompanyNameCommand(std::string_view gbkName);

// The upload block as the writes that carry it: "plu\r\n", one line per row 1..200
// ("%d[%s]<%s>\r\n" for ZUD, "%d[%s]<%s>%s\r\n" with the price otherwise), "end\r\n".
// Empty for the RIVAV series, which keeps no commodities.
std::vector<Bytes> UploadBlock(const CommodityTable& table, int series);
