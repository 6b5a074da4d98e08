#pragma once

#include "sim/VirtualScale.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

// The lines the virtual scale answers on in tests: its pseudo-terminal and its loopback TCP port
// on POSIX, the TCP port on Windows, and serial ports through bridges where the environment names
// them (SCALETOOL_TEST_SCALE_BRIDGES="COM21=40021,COM22=40022": a port and the 127.0.0.1 port of
// its bridge), so that the Windows serial device is tried against the scale.
namespace ScaleLines {

inline std::vector<VirtualScale::Bridge> Bridges()
{
    std::vector<VirtualScale::Bridge> bridges;
    const char* named = std::getenv("SCALETOOL_TEST_SCALE_BRIDGES");
    std::istringstream list(named != nullptr ? named : "");
    for (std::string item; std::getline(list, item, ',');) {
        const auto equals = item.find('=');
        if (equals != std::string::npos)
            bridges.push_back({item.substr(0, equals), std::atoi(item.c_str() + equals + 1)});
    }
    return bridges;
}

// A scale on the next bridge in turn when there are bridges, else on the platform's own line.
inline VirtualScale ForThisRun()
{
    static const std::vector<VirtualScale::Bridge> bridges = Bridges();
    static std::atomic<std::size_t> next{0};
    if (bridges.empty())
        return VirtualScale();
    return VirtualScale(bridges[next++ % bridges.size()]);
}

inline std::vector<VirtualScale::LineKind> Available()
{
    std::vector<VirtualScale::LineKind> lines;
#ifndef _WIN32
    lines.push_back(VirtualScale::LineKind::PseudoTerminal);
#endif
    lines.push_back(VirtualScale::LineKind::Tcp);
    if (!Bridges().empty())
        lines.push_back(VirtualScale::LineKind::Bridged);
    return lines;
}

// A scale on the line a parameterised test names.
inline VirtualScale On(VirtualScale::LineKind line)
{
    return line == VirtualScale::LineKind::Bridged ? ForThisRun() : VirtualScale(line);
}

inline std::string Name(const testing::TestParamInfo<VirtualScale::LineKind>& info)
{
    switch (info.param) {
    case VirtualScale::LineKind::PseudoTerminal: return "PseudoTerminal";
    case VirtualScale::LineKind::Tcp: return "Tcp";
    case VirtualScale::LineKind::Bridged: return "Bridged";
    }
    return "Unknown";
}

// What reaches the scale besides the bytes, and why a test that needs it is skipped.
inline bool CarriesRate(const VirtualScale& scale) { return scale.Line() == VirtualScale::LineKind::PseudoTerminal; }
inline bool CarriesFlowControl(const VirtualScale& scale) { return scale.Line() != VirtualScale::LineKind::Tcp; }
// Only the scale's own pseudo-terminal can be set to obey XON/XOFF before the tool opens it; on
// other lines an XOFF sent before the open is cleared by it, as on a real port.
inline bool HoldsBeforeOpen(const VirtualScale& scale) { return scale.Line() == VirtualScale::LineKind::PseudoTerminal; }
inline constexpr const char* kNoHoldBeforeOpen =
    "an XOFF the scale sends before the tool opens the port is cleared by the open except on the "
    "scale's own pseudo-terminal, so a line held from the start needs one";
inline constexpr const char* kNoRate =
    "neither raw TCP nor a serial port's TCP bridge carries the line rate: the scale cannot tell the rate the tool chose";
inline constexpr const char* kNoFlowControl =
    "over raw TCP the tool's link does not pause on an in-band XOFF (a device server's own flow "
    "settings apply there), so the scale cannot hold the line";

} // namespace ScaleLines
