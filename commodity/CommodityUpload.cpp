#include "commodity/CommodityUpload.h"

#include "commodity/CommodityTable.h"
#include "commodity/GbkText.h"
#include "link/PortError.h"

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

std::string StallReason(const SerialLink::PortHandle& port)
{
    const SerialLink::PortFaultInfo fault = port.Fault();
    switch (fault.fault) {
    case SerialLink::PortFault::Stalled:
        return "the scale stopped taking data";
    case SerialLink::PortFault::HungUp:
        return "the port is gone";
    case SerialLink::PortFault::IoError:
        return SerialLink::SystemErrorText(fault.error);
    case SerialLink::PortFault::None:
        break;
    }
    return "the port is closed";
}

UploadOutcome SendUpload(SerialLink::PortHandle& port, const Bytes& companyLine, const std::vector<Bytes>& block,
                         const UploadWatch& watch)
{
    UploadOutcome outcome;
    const auto cancelled = [&watch] { return watch.cancelled && watch.cancelled(); };
    const auto failed = [&](UploadOutcome::End end, std::string reason) {
        outcome.end = end;
        outcome.reason = std::move(reason);
        outcome.fault = port.Fault();
        return outcome;
    };
    if (cancelled())
        return failed(UploadOutcome::End::Cancelled, "the upload was cancelled before it began");
    // The company name goes out first, as its own write, like the dialog's button sends it.
    if (!companyLine.empty()) {
        if (SerialLink::WriteBytes(port, companyLine.data(), companyLine.size()) != int(companyLine.size()))
            return failed(UploadOutcome::End::CompanyName, "the scale did not take the company name: " + StallReason(port));
        outcome.sent = 1;
        if (watch.progress)
            watch.progress(outcome.sent);
    }
    const std::size_t before = outcome.sent;
    // One call a write: a block cut short jumps to its last line, which its count would not show.
    const bool whole = SendUploadBlock(port, block, cancelled, [&](int) {
        ++outcome.sent;
        if (watch.progress)
            watch.progress(outcome.sent);
    });
    const std::size_t lines = outcome.sent - before;
    // A block cut short by a cancel still ends with its last line, which is waited for as well.
    const bool stopped = !whole && port.Fault().fault == SerialLink::PortFault::None && cancelled();
    if (!whole && !stopped) {
        return failed(UploadOutcome::End::Line, "the scale did not take the upload: line " + std::to_string(lines + 1)
                                                    + " of " + std::to_string(block.size()) + " did not go out ("
                                                    + StallReason(port) + ")");
    }
    // Done only once the last line has left the port, not when the driver has it.
    if (!SerialLink::Drain(port))
        return failed(UploadOutcome::End::Drain, "the scale did not take the last lines of the upload: " + StallReason(port));
    if (stopped) {
        return failed(UploadOutcome::End::Cancelled, "the upload was cancelled after " + std::to_string(outcome.sent)
                                                         + " writes");
    }
    outcome.done = true;
    return outcome;
}
