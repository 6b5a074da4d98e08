// The parameter dump collector: blocks of any bytes (cut where the input says) keep only the text
// from "parameter" up to the first "end" after it.
#include "FuzzCheck.h"

#include "link/ParameterDump.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ParameterDump dump;
    std::size_t at = 0;
    std::size_t appended = 0;
    while (at < size) {
        // One byte gives the block's length, at most the block size the exchange reads.
        const std::size_t length = std::min<std::size_t>(data[at] % (ParameterDump::kBlockBytes + 1), size - at - 1);
        ++at;
        dump.Append(std::string_view(reinterpret_cast<const char*>(data) + at, length));
        appended += length;
        at += length;
        const std::string& text = dump.Text();
        FUZZ_REQUIRE(text.size() <= appended);
        FUZZ_REQUIRE(text.find('\0') == std::string::npos);
        if (dump.Done())
            FUZZ_REQUIRE(text.size() >= 3 && text.compare(text.size() - 3, 3, "end") == 0
                         && text.find("end") == text.size() - 3);
    }
    return 0;
}
