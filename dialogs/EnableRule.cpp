#include "dialogs/EnableRule.h"

namespace EnableRule {
namespace {

constexpr int kZud = 0;
constexpr int kZev = 1;
constexpr int kRivav = 2;

} // namespace

Outcome Evaluate(bool open, int series, bool readingChecked)
{
    Outcome out;
    out.uncheckActiveReturn = series != kRivav;
    out.controls = {
        {1000, !open},
        {1001, !open},
        {1011, open && series == kZud},
        {1003, open && series == kZud},
        {1006, open && series != kRivav},
        {1008, open && series != kZev},
        {1007, open && series != kZev},
        {1012, open && series == kRivav},
        // The button that sends the new baud rate follows its list.
        {1009, open && series == kRivav},
        {1013, series == kZev},
        {1010, series == kZev},
        {1014, series == kZev},
        {1004, series != kRivav},
        {1021, open},
        {1022, open && series == kRivav},
        {1024, open},
        {1025, open},
        {1027, open},
        {1028, open && !readingChecked},
    };
    return out;
}

} // namespace EnableRule
