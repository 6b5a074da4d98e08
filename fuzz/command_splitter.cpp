// The virtual scale's command splitter: the commands it cuts from any byte stream lie end to end
// inside it, and a quiet line always yields a command, so nothing is lost or invented. The first
// byte says after which commands the line goes quiet.
#include "FuzzCheck.h"

#include "sim/CommandSplitter.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t quietPattern = data[0];
    std::string_view pending(reinterpret_cast<const char*>(data) + 1, size - 1);
    for (unsigned command = 0; !pending.empty(); ++command) {
        const bool quiet = (quietPattern >> (command % 8)) & 1;
        std::size_t length = CommandSplitter::CommandLength(pending, quiet);
        FUZZ_REQUIRE(length <= pending.size());
        const auto first = std::uint8_t(pending[0]);
        if (quiet && first != 0x1B && first != 0xAB && pending.find("\r\n") != std::string_view::npos)
            FUZZ_REQUIRE(length > 0);
        if (length == 0) {
            // More bytes are needed; when none come the rest is kept whole, as the scale does.
            length = pending.size();
        }
        pending.remove_prefix(length);
    }
    return 0;
}
