#include "rules/KeyboardSheetGeometry.h"

#include <cstdint>

namespace KeyboardSheetGeometry {
namespace {

// Inch factors of the sheet's lengths (millimetres / 25.4, as the artwork was measured).
constexpr double kSheetWidthInch = 8.307086738933155;    // 211 mm
constexpr double kSheetHeightInch = 4.330708726458043;   // 110 mm
constexpr double kKeyInch = 0.5387137795275591;          // 13.68333 mm
constexpr double kGapInch = 0.09842519685039369;         // 2.5 mm
constexpr double kGridLeftInch = 0.4409448818897637;     // 11.2 mm
constexpr double kGridTopInch = 0.3031496062992126;      // 7.7 mm
constexpr int kInset = 2;

// Conversions truncate toward zero, as a cast from double does.
int Truncate(double value) { return static_cast<int>(value); }

} // namespace

Layout Compute(const DeviceMetrics& device)
{
    const double dpiX = device.dotsPerInchX;
    const double dpiY = device.dotsPerInchY;
    Layout layout;
    layout.sheetWidth = Truncate(dpiX * kSheetWidthInch + 0.5);
    layout.sheetHeight = Truncate(dpiY * kSheetHeightInch + 0.5);
    // Integer division truncates toward zero: a sheet one unit wider than the area still gives 0.
    layout.x0 = (device.printableWidth - layout.sheetWidth) / 2;
    layout.y0 = (device.printableHeight - layout.sheetHeight) / 2;
    layout.fits = layout.x0 >= 0 && layout.y0 >= 0;
    layout.keyWidth = Truncate(dpiX * kKeyInch);
    layout.keyHeight = Truncate(dpiY * kKeyInch);
    layout.gapX = Truncate(dpiX * kGapInch);
    layout.gapY = Truncate(dpiY * kGapInch);
    layout.gridLeft = Truncate(dpiX * kGridLeftInch + layout.x0);
    layout.gridTop = Truncate(dpiY * kGridTopInch + layout.y0);
    layout.band = layout.keyHeight / 3;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int index = ListRowOfKey(row, column);
            if (index < 0)
                continue;
            KeyRect& field = layout.nameFields[static_cast<std::size_t>(index)];
            field.left = layout.gridLeft + column * (layout.keyWidth + layout.gapX) + kInset;
            field.right = field.left + layout.keyWidth - 2 * kInset;
            field.top = layout.gridTop + layout.band + row * (layout.keyHeight + layout.gapY);
            field.bottom = field.top + layout.band;
        }
    }
    return layout;
}

int ListRowOfKey(int row, int column)
{
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return -1;
    const int index = kColumns * row + column;
    return index < kKeys ? index : -1;
}

} // namespace KeyboardSheetGeometry

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    std::int64_t a = number;
    std::int64_t d = denominator;
    if (d < 0) {
        a = -a;
        d = -d;
    }
    const std::int64_t product = a * numerator;
    const bool positive = (a < 0) == (numerator < 0);
    const std::int64_t result = positive ? (product + d / 2) / d : (product - d / 2) / d;
    if (result > 2147483647 || result < -2147483647)
        return -1;
    return static_cast<int>(result);
}

int SheetFontDeviceHeight(int storedHeight, int dotsPerInchY)
{
    return -MulDiv(storedHeight, -dotsPerInchY, 72);
}
