#include "rules/EnableRule.h"

namespace EnableRule {

Outcome Evaluate(bool open, ScaleSeries series, bool readingChecked)
{
    Outcome out;
    out.uncheckActiveReturn = series != SeriesRivav;
    out.controls = {
        {Control::PortList, !open},
        {Control::BaudList, !open},
        {Control::CompanyName, open && series == SeriesZud},
        {Control::CompanyButton, open && series == SeriesZud},
        {Control::Upload, open && series != SeriesRivav},
        {Control::Zero, open && series != SeriesZev},
        {Control::Tare, open && series != SeriesZev},
        {Control::NewBaudList, open && series == SeriesRivav},
        // The button that sends the new baud rate follows its list.
        {Control::SetBaud, open && series == SeriesRivav},
        {Control::PrintSetup, series == SeriesZev},
        {Control::PrintA15, series == SeriesZev},
        {Control::PrintA16, series == SeriesZev},
        {Control::CommodityList, series != SeriesRivav},
        {Control::AutoRead, open},
        {Control::ActiveReturn, open && series == SeriesRivav},
        {Control::PostbackList, open},
        {Control::PostbackButton, open},
        {Control::More, open},
        {Control::ReadParameters, open && !readingChecked},
    };
    return out;
}

} // namespace EnableRule
