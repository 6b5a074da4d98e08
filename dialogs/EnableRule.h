#pragma once

#include <vector>

// Which controls of the main dialog are usable: a function of the port state, the series selected
// in the Model list and whether automatic reading is checked. The dialog applies the result after
// its initialisation, every series change, a successful open and a close, and at no other time.
namespace EnableRule {

struct ControlState {
    int id;
    bool enabled;
};

struct Outcome {
    // In the order the dialog sets them.
    std::vector<ControlState> controls;
    // "Active return" only makes sense for the series that reports by itself: cleared before it is
    // disabled for any other series.
    bool uncheckActiveReturn = false;
};

// series is the Model list's selection: 0 ZUD, 1 ZEV, 2 RIVAV, -1 none.
Outcome Evaluate(bool open, int series, bool readingChecked);

} // namespace EnableRule
