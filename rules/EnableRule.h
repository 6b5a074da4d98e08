#pragma once

#include "link/ScaleCommandSet.h"

#include <vector>

// Which controls of the main dialog are usable: a function of the port state, the series selected
// in the Model list and whether automatic reading is checked. The dialog applies the result after
// its initialisation, every series change, a successful open and a close, and at no other time.
namespace EnableRule {

// The main dialog's controls the rule governs.
enum class Control {
    PortList,
    BaudList,
    CompanyName,
    CompanyButton,
    Upload,
    Zero,
    Tare,
    NewBaudList,
    SetBaud,
    PrintSetup,
    PrintA15,
    PrintA16,
    CommodityList,
    AutoRead,
    ActiveReturn,
    PostbackList,
    PostbackButton,
    More,
    ReadParameters,
};

// What a disabled control waits for, so that the operator can be told; Nothing when enabled.
enum class Need {
    Nothing,
    OpenPort,
    ClosePort,
    StopReading,
    ZudSeries,
    ZevSeries,
    RivavSeries,
    OtherThanZev,    // the ZEV series has no such command
    OtherThanRivav,  // the RIVAV series keeps no commodity list
};

struct ControlState {
    Control control;
    bool enabled;
    // The first condition that fails: the series (which opening the port would not change), then
    // the port, then automatic reading.
    Need need = Need::Nothing;
};

struct Outcome {
    // In the order the dialog sets them.
    std::vector<ControlState> controls;
    // "Active return" only makes sense for the series that reports by itself: cleared before it is
    // disabled for any other series.
    bool uncheckActiveReturn = false;
};

Outcome Evaluate(bool open, ScaleSeries series, bool readingChecked);

} // namespace EnableRule
