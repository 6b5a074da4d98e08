// The shop's scale list: any file loads without harm, and all or nothing of it; a list taken is
// saved and loads back the same, and saving that again writes the same bytes.
#include "FuzzCheck.h"
#include "FuzzFiles.h"

#include "settings/ScaleList.h"

#include <cstdint>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = FuzzFolder() + "/Scales.ini";
    const std::string saved = FuzzFolder() + "/Saved.ini";
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        << std::string(reinterpret_cast<const char*>(data), size);

    ScaleList list;
    if (ScaleList::Load(path, list)) {
        FUZZ_REQUIRE(list.Entries().empty());
        return 0;
    }
    for (const ScaleEntry& entry : list.Entries())
        FUZZ_REQUIRE(!ScaleList::Check(entry));
    FUZZ_REQUIRE(list.Save(saved));
    ScaleList again;
    FUZZ_REQUIRE(!ScaleList::Load(saved, again));
    FUZZ_REQUIRE(again.Entries() == list.Entries());
    const std::string first = FuzzContents(saved);
    FUZZ_REQUIRE(again.Save(saved));
    FUZZ_REQUIRE(FuzzContents(saved) == first);
    return 0;
}
