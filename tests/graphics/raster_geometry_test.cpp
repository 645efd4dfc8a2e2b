#include "owned_raster.h"
#include "raster_geometry.h"

#include <gtest/gtest.h>

TEST(MakeSubRaster, ViewIsNormalisedAndClipped)
{
    OwnedRaster r(10, 10, 32);
    QV_PixelBuffer view;
    EXPECT_EQ(MakeSubRaster(QV_Rect { 20, 20, 8, 8 }, r.buffer, view), 0);
    EXPECT_EQ(view.pixels, r.At(8, 8));
    EXPECT_EQ(view.width, 2);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(view.rowBytes, r.buffer.rowBytes);
    EXPECT_EQ(view.depth, 32);
}

TEST(MakeSubRaster, OutsideRectangleLeavesACopyOfTheSource)
{
    OwnedRaster r(10, 10, 8, 2);
    QV_PixelBuffer view;
    EXPECT_EQ(MakeSubRaster(QV_Rect { 20, 20, 30, 30 }, r.buffer, view), -3);
    EXPECT_EQ(view.pixels, r.buffer.pixels);
    EXPECT_EQ(view.width, 10);
    EXPECT_EQ(view.rowBytes, 12);
}

TEST(MakeSubRaster, ZeroRowBytesArePackedFirst)
{
    OwnedRaster r(10, 10, 32);
    r.buffer.rowBytes = 0;
    QV_PixelBuffer view;
    EXPECT_EQ(MakeSubRaster(QV_Rect { 1, 1, 2, 2 }, r.buffer, view), 0);
    EXPECT_EQ(r.buffer.rowBytes, 40);
    EXPECT_EQ(view.pixels, r.bytes.data() + 44);

    QV_PixelBuffer none;
    EXPECT_EQ(MakeSubRaster(QV_Rect { 0, 0, 1, 1 }, none, view), -4);
}

TEST(FlipRaster, HorizontalMirrorsRows)
{
    OwnedRaster r(3, 2, 32);
    for (int32_t x = 0; x < 3; x++) {
        r.Set32(x, 0, x + 1);
        r.Set32(x, 1, x + 10);
    }
    FlipRasterHorizontal(r.buffer);
    EXPECT_EQ(r.Get32(0, 0), 3u);
    EXPECT_EQ(r.Get32(1, 0), 2u);
    EXPECT_EQ(r.Get32(2, 1), 10u);
}

TEST(FlipRaster, VerticalSwapsRowsOfAnyDepth)
{
    OwnedRaster r(2, 3, 24, 2);
    for (int32_t y = 0; y < 3; y++)
        r.At(1, y)[2] = static_cast<uint8_t>(y + 1);
    FlipRasterVertical(r.buffer);
    EXPECT_EQ(r.At(1, 0)[2], 3);
    EXPECT_EQ(r.At(1, 1)[2], 2);
    EXPECT_EQ(r.At(1, 2)[2], 1);
}

TEST(FlipRaster, VerticalFlipOfAViewLeavesTheRestOfTheImageAlone)
{
    // Swapping whole row strides would move the parent's pixels beside the
    // view and, on the last row, run past the end of the image.
    OwnedRaster r(4, 4, 32);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 4; x++)
            r.Set32(x, y, static_cast<uint32_t>(y * 10 + x));
    QV_PixelBuffer view;
    ASSERT_EQ(MakeSubRaster(QV_Rect { 2, 2, 3, 3 }, r.buffer, view), 0);
    FlipRasterVertical(view);
    EXPECT_EQ(r.Get32(2, 2), 32u);
    EXPECT_EQ(r.Get32(3, 3), 23u);
    EXPECT_EQ(r.Get32(1, 2), 21u) << "left of the view";
    EXPECT_EQ(r.Get32(0, 3), 30u) << "left of the view";
}
