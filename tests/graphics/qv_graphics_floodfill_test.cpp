#include "graphics_canvas.h"
#include "qv_graphics.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kRed = 0xFFFF0000u;

// A square ring from (8, 8) to (23, 23), one pixel wide, on a 32 x 32 canvas.
void DrawRing(Canvas& c)
{
    c.g.SetColor(255, 255, 255);
    c.g.FrameRect(8, 8, 23, 23);
}

TEST(QVGraphicsFloodFill, RingInsideIsEnclosedAndOnlyItIsFilled)
{
    Canvas c(32, 32);
    DrawRing(c);
    c.g.SetColor(255, 0, 0);
    EXPECT_TRUE(c.g.FloodFill(16, 16));
    for (int32_t y = 0; y < 32; y++) {
        for (int32_t x = 0; x < 32; x++) {
            const bool ring
                = (x == 8 || x == 23 || y == 8 || y == 23) && x >= 8 && x <= 23 && y >= 8 && y <= 23;
            const bool inside = x > 8 && x < 23 && y > 8 && y < 23;
            EXPECT_EQ(c.raster.Get32(x, y),
                ring         ? kWhite
                    : inside ? kRed
                             : Canvas::kBackground)
                << x << "," << y;
        }
    }
}

TEST(QVGraphicsFloodFill, BackgroundAroundAnOpenFigureIsNotEnclosed)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.DrawLine(8, 8, 23, 8);
    c.g.DrawLine(23, 8, 23, 23);
    c.g.DrawLine(23, 23, 8, 23);
    c.g.SetColor(255, 0, 0);
    EXPECT_FALSE(c.g.FloodFill(16, 16)); // leaks out through the open side
    EXPECT_EQ(c.raster.Get32(0, 0), kRed);
    EXPECT_EQ(c.raster.Get32(31, 31), kRed);

    // Touching the first or last row does not count; the first or last column does.
    Canvas top(32, 32);
    top.g.SetColor(255, 255, 255);
    top.g.FrameRect(4, -1, 27, 10);
    top.g.SetColor(255, 0, 0);
    EXPECT_TRUE(top.g.FloodFill(16, 0));
}

TEST(QVGraphicsFloodFill, SeedOutsideTheRasterIsRefused)
{
    Canvas c(8, 8);
    EXPECT_FALSE(c.g.FloodFill(-1, 0));
    EXPECT_FALSE(c.g.FloodFill(8, 3));
    EXPECT_FALSE(c.g.FloodFill(3, 8));
    EXPECT_TRUE(c.ChangedPixels().empty());
    QV_Graphics detached;
    EXPECT_FALSE(detached.FloodFill(0, 0));
}

TEST(QVGraphicsFloodFill, FillingWithTheSeedColourWritesNothingAndStillAnswers)
{
    Canvas c(32, 32);
    DrawRing(c);
    const std::vector<uint8_t> before = c.raster.bytes;
    c.g.SetColor(0, 0, 0); // the background's own value
    EXPECT_TRUE(c.g.FloodFill(16, 16));
    EXPECT_FALSE(c.g.FloodFill(2, 2));
    c.g.SetColor(255, 255, 255);
    EXPECT_TRUE(c.g.FloodFill(8, 16)); // the ring keeps away from the side columns
    EXPECT_EQ(c.raster.bytes, before);
}

TEST(QVGraphicsFloodFill, OtherPixelSizes)
{
    for (int32_t depth : { 8, 15, 16 }) {
        Canvas c(32, 32, depth);
        DrawRing(c);
        c.g.SetColor(255, 0, 0);
        EXPECT_TRUE(c.g.FloodFill(16, 16)) << depth;
        const uint32_t red = depth == 8 ? c.g.fColorIndex : depth == 15 ? c.g.fColor555 : c.g.fColor565;
        EXPECT_EQ(c.Get(9, 9), red) << depth;
        EXPECT_EQ(c.Get(2, 2), 0u) << depth;
    }
    // Three bytes per pixel: nothing is filled; the answer only tells whether the seed lies in a
    // side column.
    Canvas c24(8, 8, 24);
    EXPECT_TRUE(c24.g.FloodFill(3, 3));
    EXPECT_FALSE(c24.g.FloodFill(0, 3));
    EXPECT_FALSE(c24.g.FloodFill(7, 3));
}

TEST(QVGraphicsFloodFill, LargeRegionsDoNotExhaustTheStack)
{
    // A whole 4000 x 4000 raster is one region.
    {
        Canvas c(4000, 4000, 8);
        c.g.SetColor(255, 0, 0);
        EXPECT_FALSE(c.g.FloodFill(2000, 2000));
        const uint8_t red = c.g.fColorIndex;
        EXPECT_EQ(*c.raster.At(0, 0), red);
        EXPECT_EQ(*c.raster.At(3999, 3999), red);
    }
    // A serpentine path of one-pixel runs: every pixel is a run of its own, so a fill that
    // recursed per run would nest half a million deep.
    const int32_t size = 1000;
    Canvas c(size, size, 8);
    for (int32_t x = 1; x < size; x += 2) {
        const int32_t gap = (x % 4 == 1) ? size - 1 : 0;
        for (int32_t y = 0; y < size; y++)
            if (y != gap)
                *c.raster.At(x, y) = 63;
    }
    c.g.SetColor(255, 0, 0);
    const uint8_t red = c.g.fColorIndex;
    EXPECT_FALSE(c.g.FloodFill(0, 0));
    EXPECT_EQ(*c.raster.At(size - 2, size / 2), red);
    EXPECT_EQ(*c.raster.At(1, size - 1), red); // the gaps
    EXPECT_EQ(*c.raster.At(3, 0), red);
    EXPECT_EQ(*c.raster.At(3, size / 2), 63);
}

} // namespace
