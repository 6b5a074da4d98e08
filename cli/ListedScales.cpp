#include "cli/ListedScales.h"

#include "cli/CommandLine.h"
#include "commodity/GbkCodec.h"
#include "settings/DurableFile.h"
#include "settings/ScaleList.h"

#include <algorithm>
#include <string_view>

namespace {

// The list numbers the series as ScaleSeries does, each under its command-line name.
static_assert(std::string_view(ScaleList::kSeriesNames[int(ScaleSeries::Zud)]) == "zud"
              && std::string_view(ScaleList::kSeriesNames[int(ScaleSeries::Zev)]) == "zev"
              && std::string_view(ScaleList::kSeriesNames[int(ScaleSeries::Rivav)]) == "rivav"
              && std::size(ScaleList::kSeriesNames) == 3);

// The name as UTF-8, or nothing when its bytes are not GBK: a list saved as UTF-8 would otherwise
// print its names garbled.
std::optional<std::string> NameText(const std::string& gbk)
{
    const bool ascii = std::all_of(gbk.begin(), gbk.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && GbkCodec::IsUtf8(gbk))
        return std::nullopt;
    std::string utf8 = GbkCodec::GbkToUtf8(gbk);
    if (GbkCodec::Utf8ToGbk(utf8) != gbk)
        return std::nullopt;
    return utf8;
}

} // namespace

int LoadListedScales(const std::string& file, std::vector<ListedScale>& scales, std::ostream& err)
{
    std::string bytes;
    if (DurableFile::ReadAll(file, bytes) == DurableFile::ReadStatus::Missing) {
        err << "--scales: cannot read " << file << ": no such file\n";
        return kExitUsage;
    }
    ScaleList list;
    if (const auto reason = ScaleList::Load(file, list)) {
        err << "--scales: " << GbkCodec::GbkToUtf8(*reason) << "\n";
        return kExitUsage;
    }
    if (list.Entries().empty()) {
        err << "--scales: " << file << " lists no scale\n";
        return kExitUsage;
    }
    for (const ScaleEntry& entry : list.Entries()) {
        const auto name = NameText(entry.name);
        if (!name) {
            err << "--scales: the scale on " << entry.port << ": Name is not GBK text (the list is kept in GBK)\n";
            return kExitUsage;
        }
        scales.push_back({entry.port, *name, entry.baud, ScaleSeries(entry.series)});
    }
    return kExitOk;
}
