#include "rules/KeyboardSheetGeometry.h"

#include <gtest/gtest.h>

namespace {

using KeyboardSheetGeometry::Compute;
using KeyboardSheetGeometry::DeviceMetrics;
using KeyboardSheetGeometry::KeyRect;
using KeyboardSheetGeometry::Layout;
using KeyboardSheetGeometry::ListRowOfKey;

const KeyRect& Field(const Layout& layout, int row, int column)
{
    return layout.nameFields.at(static_cast<std::size_t>(ListRowOfKey(row, column)));
}

TEST(KeyboardSheetGeometry, LandscapeA4At600Dpi)
{
    const Layout layout = Compute({6814, 4760, 600, 600});
    EXPECT_EQ(layout.sheetWidth, 4984);
    EXPECT_EQ(layout.sheetHeight, 2598);
    EXPECT_EQ(layout.x0, 915);
    EXPECT_EQ(layout.y0, 1081);
    EXPECT_TRUE(layout.fits);
    EXPECT_EQ(layout.keyWidth, 323);
    EXPECT_EQ(layout.keyHeight, 323);
    EXPECT_EQ(layout.gapX, 59);
    EXPECT_EQ(layout.gapY, 59);
    EXPECT_EQ(layout.band, 107);
    EXPECT_EQ(layout.gridLeft, 1179);
    EXPECT_EQ(layout.gridTop, 1262);
    EXPECT_EQ(Field(layout, 0, 0), (KeyRect{1181, 1369, 1500, 1476}));
    EXPECT_EQ(Field(layout, 0, 6), (KeyRect{3473, 1369, 3792, 1476}));
    EXPECT_EQ(Field(layout, 5, 5), (KeyRect{3091, 3279, 3410, 3386}));
}

TEST(KeyboardSheetGeometry, LandscapeA4At300Dpi)
{
    const Layout layout = Compute({3408, 2380, 300, 300});
    EXPECT_EQ(layout.sheetWidth, 2492);
    EXPECT_EQ(layout.sheetHeight, 1299);
    EXPECT_EQ(layout.x0, 458);
    EXPECT_EQ(layout.y0, 540);
    EXPECT_EQ(layout.keyWidth, 161);
    EXPECT_EQ(layout.gapX, 29);
    EXPECT_EQ(layout.band, 53);
    EXPECT_EQ(Field(layout, 0, 0), (KeyRect{592, 683, 749, 736}));
}

TEST(KeyboardSheetGeometry, HorizontalAndVerticalResolutionsAreIndependent)
{
    const Layout layout = Compute({6814, 2380, 600, 300});
    EXPECT_EQ(layout.sheetWidth, 4984);
    EXPECT_EQ(layout.sheetHeight, 1299);
    EXPECT_EQ(layout.keyWidth, 323);
    EXPECT_EQ(layout.keyHeight, 161);
    EXPECT_EQ(layout.band, 53);
    EXPECT_EQ(Field(layout, 0, 0), (KeyRect{1181, 683, 1500, 736}));
}

TEST(KeyboardSheetGeometry, PaperCheck)
{
    struct Case {
        DeviceMetrics device;
        int x0;
        int y0;
        bool fits;
    };
    const Case cases[] = {
        {{4760, 6814, 600, 600}, -112, 2108, false},  // portrait A4: too narrow
        {{4983, 2598, 600, 600}, 0, 0, true},         // one unit too narrow truncates to 0
        {{4982, 2598, 600, 600}, -1, 0, false},
        {{4984, 2597, 600, 600}, 0, 0, true},
        {{4984, 2596, 600, 600}, 0, -1, false},
        {{4984, 2598, 600, 600}, 0, 0, true},
        {{0, 0, 600, 600}, -2492, -1299, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.device.printableWidth << " x " << c.device.printableHeight);
        const Layout layout = Compute(c.device);
        EXPECT_EQ(layout.x0, c.x0);
        EXPECT_EQ(layout.y0, c.y0);
        EXPECT_EQ(layout.fits, c.fits);
    }
}

TEST(KeyboardSheetGeometry, NameFieldsFollowTheGrid)
{
    const Layout layout = Compute({6814, 4760, 600, 600});
    const int pitchX = layout.keyWidth + layout.gapX;
    const int pitchY = layout.keyHeight + layout.gapY;
    for (int row = 0; row < KeyboardSheetGeometry::kRows; ++row) {
        for (int column = 0; column < KeyboardSheetGeometry::kColumns; ++column) {
            if (row == 5 && column == 6)
                continue;
            SCOPED_TRACE(testing::Message() << "key " << row << "," << column);
            const KeyRect& field = Field(layout, row, column);
            EXPECT_EQ(field.left, 1181 + column * pitchX);
            EXPECT_EQ(field.right - field.left, 319);
            EXPECT_EQ(field.top, 1369 + row * pitchY);
            EXPECT_EQ(field.bottom - field.top, 107);
        }
    }
}

TEST(KeyboardSheetGeometry, KeysShowCommoditiesOneToFortyOne)
{
    EXPECT_EQ(ListRowOfKey(0, 0), 0);
    EXPECT_EQ(ListRowOfKey(0, 6), 6);
    EXPECT_EQ(ListRowOfKey(1, 0), 7);
    EXPECT_EQ(ListRowOfKey(4, 6), 34);
    EXPECT_EQ(ListRowOfKey(5, 5), 40);
    EXPECT_EQ(ListRowOfKey(5, 6), -1);
    EXPECT_EQ(ListRowOfKey(6, 0), -1);
    EXPECT_EQ(ListRowOfKey(0, 7), -1);
    EXPECT_EQ(ListRowOfKey(-1, 0), -1);
}

TEST(MulDiv, RoundsHalfAwayFromZero)
{
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {-10, -600, 72, 83},   // 83.33
        {10, 600, 72, 83},
        {-10, 600, 72, -83},
        {10, -600, 72, -83},
        {3, 1, 2, 2},          // 1.5 rounds away from zero
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {-3, 1, -2, 2},
        {1, 1, 3, 0},
        {-13, -96, 72, 17},    // 17.33
        {12, 150, 72, 25},
        {7, 5, 0, -1},          // no divisor
        {2147483647, 2, 1, -1}, // overflow
        {65536, 65536, 65536, 65536},  // 64-bit intermediate
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " * " << c.b << " / " << c.c);
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected);
    }
}

TEST(SheetFontDeviceHeight, StoredHeightIsAPointSizeWithItsSign)
{
    EXPECT_EQ(SheetFontDeviceHeight(-10, 600), -83);
    EXPECT_EQ(SheetFontDeviceHeight(-10, 300), -42);  // 41.67
    EXPECT_EQ(SheetFontDeviceHeight(-13, 600), -108); // 108.33: 13 points
    EXPECT_EQ(SheetFontDeviceHeight(12, 600), 100);   // positive: cell height
    EXPECT_EQ(SheetFontDeviceHeight(0, 600), 0);
}

} // namespace
