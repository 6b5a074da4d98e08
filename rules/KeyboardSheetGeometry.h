#pragma once

#include <array>

// The keypads a sheet is printed for; the artwork of each is its own template file.
enum class SheetLayout { A15, A16 };

// Where the keyboard sheet and its 41 name fields lie on a printer page, in printer device units
// with the origin at the top-left corner of the printable area. The sheet is 211 mm x 110 mm,
// centred on the printable area; the keys form 6 rows of 7 (the last row 6) at its left.
namespace KeyboardSheetGeometry {

inline constexpr int kRows = 6;
inline constexpr int kColumns = 7;
inline constexpr int kKeys = 41;

// What the printer tells about its page: the printable area in device units and the resolution.
struct DeviceMetrics {
    int printableWidth = 0;
    int printableHeight = 0;
    int dotsPerInchX = 0;
    int dotsPerInchY = 0;
};

// A rectangle as the drawing calls take it: right and bottom lie just outside.
struct KeyRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const KeyRect&, const KeyRect&) = default;
};

// Every length in device units.
struct Layout {
    int sheetWidth = 0;   // the sheet's 211 mm across
    int sheetHeight = 0;  // the sheet's 110 mm down
    int x0 = 0;           // top-left corner of the sheet; negative when the sheet is larger than
    int y0 = 0;           // the printable area
    bool fits = false;    // the whole sheet lies on the printable area
    int keyWidth = 0;     // one key, 13.7 mm square
    int keyHeight = 0;
    int gapX = 0;         // space between neighbouring keys, 2.5 mm
    int gapY = 0;
    int gridLeft = 0;     // top-left corner of the first key
    int gridTop = 0;
    int band = 0;         // a third of the key height: the name field is the middle band
    // Name field of the key that shows list row i (commodity i + 1), i = 7 * row + column.
    std::array<KeyRect, kKeys> nameFields{};
};

Layout Compute(const DeviceMetrics& device);

// List row shown on key (row, column); -1 for the empty seventh place of the last row or outside.
int ListRowOfKey(int row, int column);

} // namespace KeyboardSheetGeometry

// number * numerator / denominator with a 64-bit intermediate, rounded half away from zero; -1 when
// the denominator is 0 or the result does not fit 32 bits.
int MulDiv(int number, int numerator, int denominator);

// The device height of a font stored in the settings as "Height": taken as a size in points, sign
// kept (negative: character height; positive: cell height). -10 at 600 dpi gives -83.
int SheetFontDeviceHeight(int storedHeight, int dotsPerInchY);
