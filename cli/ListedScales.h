#pragma once

#include "link/ScaleSeries.h"

#include <ostream>
#include <string>
#include <vector>

// A scale of the list --scales names (the shop's Scales.ini), as the command line uses it.
struct ListedScale {
    std::string port;
    std::string name;  // UTF-8
    int baud = 9600;
    ScaleSeries series = ScaleSeries::None;
};

// Reads the list file of --scales. kExitOk, or kExitUsage with the one reason on `err` when the file
// is missing or unreadable, the list refuses it, it lists no scale, or a name is not GBK text.
int LoadListedScales(const std::string& file, std::vector<ListedScale>& scales, std::ostream& err);
