// The shop's scale list: any file loads without harm, and all or nothing of it; a list taken is
// saved and loads back the same, and saving that again writes the same bytes.
#include "FuzzCheck.h"

#include "settings/ScaleList.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// A private directory, in memory where the system has one: every run rewrites the files.
const std::string& Folder()
{
    static const std::string folder = [] {
        std::string pattern = (::access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp"))
                            + "/scaletool-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            std::abort();
        return pattern;
    }();
    return folder;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Folder() + "/Scales.ini";
    const std::string saved = Folder() + "/Saved.ini";
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
    const std::string first = Contents(saved);
    FUZZ_REQUIRE(again.Save(saved));
    FUZZ_REQUIRE(Contents(saved) == first);
    return 0;
}
