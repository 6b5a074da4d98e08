#pragma once

#include "link/ScaleCommandSet.h"
#include "link/SerialLink.h"
#include "link/WeightReport.h"

#include <functional>
#include <optional>
#include <vector>

// The command line's exchanges with the scale, each one call over an open port: thin adapters onto
// the exchanges the port session runs for the dialogs (the reading cycle), which the command line
// calls directly on its own thread.
namespace ScaleExchange {

struct Reading {
    std::vector<WeightReport::FieldValue> fields;
    std::optional<bool> stable;
};

// One polled reading cycle (for ZUD also the reports that follow back to back). Nothing when no
// report came or it could not be decoded.
std::optional<Reading> ReadWeightOnce(SerialLink::PortHandle& port, ScaleSeries series);

} // namespace ScaleExchange
