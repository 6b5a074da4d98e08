#include "rules/EnableRule.h"

namespace EnableRule {

namespace {

bool SeriesFits(Need series, ScaleSeries selected)
{
    switch (series) {
    case Need::ZudSeries: return selected == ScaleSeries::Zud;
    case Need::ZevSeries: return selected == ScaleSeries::Zev;
    case Need::RivavSeries: return selected == ScaleSeries::Rivav;
    case Need::OtherThanZev: return selected != ScaleSeries::Zev;
    case Need::OtherThanRivav: return selected != ScaleSeries::Rivav;
    default: return true;
    }
}

} // namespace

Outcome Evaluate(bool open, ScaleSeries series, bool readingChecked)
{
    // A control wants the port open (or closed, or either: Nothing), serves some series, and may
    // want automatic reading off.
    const auto decide = [&](Control control, Need port, Need seriesNeed = Need::Nothing, bool idle = false) {
        Need need = Need::Nothing;
        if (!SeriesFits(seriesNeed, series))
            need = seriesNeed;
        else if ((port == Need::OpenPort && !open) || (port == Need::ClosePort && open))
            need = port;
        else if (idle && readingChecked)
            need = Need::StopReading;
        return ControlState{control, need == Need::Nothing, need};
    };
    using enum Need;
    Outcome out;
    out.uncheckActiveReturn = series != ScaleSeries::Rivav;
    out.controls = {
        decide(Control::PortList, ClosePort),
        decide(Control::BaudList, ClosePort),
        decide(Control::CompanyName, OpenPort, ZudSeries),
        decide(Control::CompanyButton, OpenPort, ZudSeries),
        decide(Control::Upload, OpenPort, OtherThanRivav),
        decide(Control::Zero, OpenPort, OtherThanZev),
        decide(Control::Tare, OpenPort, OtherThanZev),
        decide(Control::NewBaudList, OpenPort, RivavSeries),
        // The button that sends the new baud rate follows its list.
        decide(Control::SetBaud, OpenPort, RivavSeries),
        decide(Control::PrintSetup, Nothing, ZevSeries),
        decide(Control::PrintA15, Nothing, ZevSeries),
        decide(Control::PrintA16, Nothing, ZevSeries),
        decide(Control::CommodityList, Nothing, OtherThanRivav),
        decide(Control::AutoRead, OpenPort),
        decide(Control::ActiveReturn, OpenPort, RivavSeries),
        decide(Control::PostbackList, OpenPort),
        decide(Control::PostbackButton, OpenPort),
        decide(Control::More, OpenPort),
        decide(Control::ReadParameters, OpenPort, Nothing, true),
    };
    return out;
}

} // namespace EnableRule
