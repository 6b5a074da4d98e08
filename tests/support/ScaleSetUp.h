#pragma once

#include "sim/VirtualScale.h"

#include <chrono>

// The two kinds of scale a scan has to find, set up on a virtual scale before it starts.
namespace ScaleSetUp {

// Answers every poll at once with `load` on it.
inline void Answering(VirtualScale& scale, int baud, ScaleSeries series, double load)
{
    scale.SetBaudRate(baud);
    scale.SetSeries(series);
    scale.SetSettlingTime(std::chrono::milliseconds(0));
    scale.PlaceLoad(load);
}

// Sends its report ten times a second unasked.
inline void Reporting(VirtualScale& scale, int baud, ScaleSeries series)
{
    scale.SetBaudRate(baud);
    scale.SetSeries(series);
    scale.SetPostbackRate(10);
}

} // namespace ScaleSetUp
