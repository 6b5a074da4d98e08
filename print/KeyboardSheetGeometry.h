#pragma once

#include <array>

// Where the keyboard sheet and its 41 name fields lie on a printer page, in printer device units
// with the origin at the top-left corner of the printable area. The sheet is 211 mm x 110 mm,
// centred on the printable area; the keys form 6 rows of 7 (the last row 6) at its left.
namespace KeyboardSheetGeometry {

inline constexpr int kRows = 6;
inline constexpr int kColumns = 7;
inline constexpr int kKeys = 41;

// Printer device metrics: printable area in device units and resolution in dots per inch.
struct DeviceMetrics {
    int horzRes = 0;
    int vertRes = 0;
    int logPixelsX = 0;
    int logPixelsY = 0;
};

// A rectangle as the drawing calls take it: right and bottom lie just outside.
struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const KeyRect&, const KeyRect&) = default;
};

struct Layout {
    int sheetWidth = 0;   // W
    int sheetHeight = 0;  // H
    int x0 = 0;           // sheet origin; negative when the sheet is larger than the printable area
    int y0 = 0;
    bool fits = false;
    int keyWidth = 0;     // kw
    int keyHeight = 0;    // kh
    int gapX = 0;         // gx
    int gapY = 0;         // gy
    int gridLeft = 0;
    int gridTop = 0;
    int band = 0;         // a third of the key height: the name field is the middle band
    // Name field of the key that shows list row i (commodity i + 1), i = 7 * row + column.
    std::array<KeyRect, kKeys> nameFields{};
};

Layout Compute(const DeviceMetrics& device);

// List row shown on key (row, column); -1 for the empty seventh place of the last row or outside.
int ListRowOfKey(int row, int column);

} // namespace KeyboardSheetGeometry

// Multiplies and divides with a 64-bit intermediate, rounding half away from zero; -1 when the
// divisor is 0 or the result does not fit (the classic Windows MulDiv).
int MulDiv(int number, int numerator, int denominator);

// The device height of a font stored in the settings as "Height": taken as a size in points, sign
// kept (negative: character height; positive: cell height). -10 at 600 dpi gives -83.
int SheetFontDeviceHeight(int storedHeight, int logPixelsY);
