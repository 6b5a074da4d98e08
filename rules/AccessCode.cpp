#include "rules/AccessCode.h"

#include <array>

namespace AccessCode {

bool IsAccepted(std::string_view entered)
{
    // Exact text: no trimming, and the leading zero of the long code counts.
    static constexpr std::array<std::string_view, 3> kCodes{"274815", "906142", "05317790264"};
    for (std::string_view code : kCodes) {
        if (entered == code)
            return true;
    }
    return false;
}

} // namespace AccessCode
