#pragma once

#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"

#include <cstddef>
#include <functional>
#include <string>
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

// Scales sent to at once; more wait their turn.
inline constexpr int kUploadsAtOnce = 16;

// How an upload to one scale ended.
struct UploadOutcome {
    enum class End {
        Done,         // every write went out and the drain saw them leave
        Cancelled,    // cancelled; a block already begun was closed with its last line
        CompanyName,  // the company line did not go out whole
        Line,         // a line of the block did not go out whole
        Drain,        // the last lines did not leave the port
    };
    End end = End::Done;
    bool done = false;
    std::string reason;    // why not, as one sentence
    std::size_t sent = 0;  // writes that went out whole, the company line included
    SerialLink::PortFaultInfo fault{};  // the port's fault when it ended on one
};

// What the caller hears while an upload runs; each may be empty.
struct UploadWatch {
    // Asked before each write; SendUploadBlock's rule for a block cut short holds.
    std::function<bool()> cancelled;
    // The count of writes gone out whole (the company line included), after each.
    std::function<void(std::size_t sent)> progress;
};

// Sends the company line (when not empty) as its own write, then each write of `block`; done only
// once the drain saw the last one leave the port. The one upload of the command line and of the
// window's several scales.
UploadOutcome SendUpload(SerialLink::PortHandle& port, const Bytes& companyLine, const std::vector<Bytes>& block,
                         const UploadWatch& watch);

// Why a write or the drain did not end whole, from the handle's fault.
std::string StallReason(const SerialLink::PortHandle& port);
