#pragma once

#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"

#include <functional>

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
std::vector<Bytes> UploadBlock(const CommodityTable& table, ScaleSeries series);

// Sends `writes` one SerialLink::WriteBytes call each, in order, reporting progress(sent) after
// each. cancelled() is asked before each write: once it says so only the block's last write (its
// closing line) still goes out, so the scale is not left inside a block; a block cancelled before
// its first write sends nothing. Returns true when the whole block was written; false when it was
// cancelled or a write did not go out whole (the first short write ends it). The last lines may
// still be on their way: SerialLink::Drain() waits for them.
bool SendUploadBlock(SerialLink::PortHandle& port, const std::vector<Bytes>& writes,
                     const std::function<bool()>& cancelled, const std::function<void(int sent)>& progress);
