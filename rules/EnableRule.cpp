#include "rules/EnableRule.h"

namespace EnableRule {

Outcome Evaluate(bool open, ScaleSeries series, bool readingChecked)
{
    Outcome out;
    out.uncheckActiveReturn = series != ScaleSeries::Rivav;
    out.controls = {
        {Control::PortList, !open},
        {Control::BaudList, !open},
        {Control::CompanyName, open && series == ScaleSeries::Zud},
        {Control::CompanyButton, open && series == ScaleSeries::Zud},
        {Control::Upload, open && series != ScaleSeries::Rivav},
        {Control::Zero, open && series != ScaleSeries::Zev},
        {Control::Tare, open && series != ScaleSeries::Zev},
        {Control::NewBaudList, open && series == ScaleSeries::Rivav},
        // The button that sends the new baud rate follows its list.
        {Control::SetBaud, open && series == ScaleSeries::Rivav},
        {Control::PrintSetup, series == ScaleSeries::Zev},
        {Control::PrintA15, series == ScaleSeries::Zev},
        {Control::PrintA16, series == ScaleSeries::Zev},
        {Control::CommodityList, series != ScaleSeries::Rivav},
        {Control::AutoRead, open},
        {Control::ActiveReturn, open && series == ScaleSeries::Rivav},
        {Control::PostbackList, open},
        {Control::PostbackButton, open},
        {Control::More, open},
        {Control::ReadParameters, open && !readingChecked},
    };
    return out;
}

} // namespace EnableRule
