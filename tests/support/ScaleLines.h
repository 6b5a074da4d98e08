#pragma once

#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The lines the virtual scale answers on here, for tests that run on each: the pseudo-terminal and
// the loopback TCP port on POSIX, the TCP port only on Windows.
namespace ScaleLines {

inline std::vector<VirtualScale::LineKind> Available()
{
#ifdef _WIN32
    return {VirtualScale::LineKind::Tcp};
#else
    return {VirtualScale::LineKind::PseudoTerminal, VirtualScale::LineKind::Tcp};
#endif
}

inline std::string Name(const testing::TestParamInfo<VirtualScale::LineKind>& info)
{
    return info.param == VirtualScale::LineKind::Tcp ? "Tcp" : "PseudoTerminal";
}

// Why a test cannot run over raw TCP (socket://), for its skip.
inline constexpr const char* kNoRate = "raw TCP carries no line rate: the scale cannot tell the rate the tool chose";
inline constexpr const char* kNoFlowControl =
    "over raw TCP the tool's link does not pause on an in-band XOFF (a device server's own flow "
    "settings apply there), so the scale cannot hold the line";

} // namespace ScaleLines

// Skips the test when `scale` answers over TCP, saying why (one of the reasons above).
#define SKIP_OVER_TCP(scale, reason)                               \
    do {                                                           \
        if ((scale).Line() == VirtualScale::LineKind::Tcp)         \
            GTEST_SKIP() << (reason);                              \
    } while (false)
