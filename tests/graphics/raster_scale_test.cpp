#include "blend_tables.h"
#include "owned_raster.h"
#include "raster_scale.h"

#include <gtest/gtest.h>

#include <algorithm>

class RasterScale : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
    static uint32_t Mix(uint32_t f, uint32_t a, uint32_t b)
    {
        return BlendMulTable[255 - f][a] + BlendMulTable[f][b];
    }
    static uint32_t Red(OwnedRaster& r, int32_t x, int32_t y) { return r.Get32(x, y) >> 16 & 0xFF; }
};

TEST_F(RasterScale, EnlargingThirtyTwoBitIsBilinear)
{
    OwnedRaster source(2, 2, 32);
    source.Set32(0, 0, Pixel32(255, 0, 0, 0));
    source.Set32(1, 0, Pixel32(255, 255, 0, 0));
    source.Set32(0, 1, Pixel32(255, 100, 0, 0));
    source.Set32(1, 1, Pixel32(255, 200, 0, 0));
    OwnedRaster destination(4, 4, 32);
    BlitRasterScaled(source.buffer, destination.buffer, 0, 0, 4, 4);

    // Columns step by (2 - 1) / 4: weights 0, 64, 128, 192 of the right pixel.
    // Rows step by 2 / 4: rows 0 and 2 come from the source, row 1 mixes them
    // half and half, and row 3, the end of the last run, mixes row 2 with itself.
    const uint32_t weights[] = { 0, 64, 128, 192 };
    for (int32_t x = 0; x < 4; x++) {
        const uint32_t top = Mix(weights[x], 0, 255);
        const uint32_t bottom = Mix(weights[x], 100, 200);
        EXPECT_EQ(Red(destination, x, 0), top) << x;
        EXPECT_EQ(Red(destination, x, 1), Mix(128, top, bottom)) << x;
        EXPECT_EQ(Red(destination, x, 2), bottom) << x;
        EXPECT_EQ(Red(destination, x, 3), Mix(128, bottom, bottom)) << x;
        for (int32_t y = 0; y < 4; y++)
            EXPECT_EQ(destination.Get32(x, y) >> 24, 255u) << "alpha is mixed too";
    }
    EXPECT_EQ(Red(destination, 2, 0), 128u);
}

TEST_F(RasterScale, SmallerPixelsAreNearestNeighbour)
{
    OwnedRaster source(2, 2, 8);
    *source.At(0, 0) = 1;
    *source.At(1, 0) = 2;
    *source.At(0, 1) = 3;
    *source.At(1, 1) = 4;
    OwnedRaster destination(4, 4, 8);
    BlitRasterScaled(source.buffer, destination.buffer, 0, 0, 4, 4);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 4; x++)
            EXPECT_EQ(*destination.At(x, y), 1 + x / 2 + 2 * (y / 2)) << x << "," << y;

    OwnedRaster wide(4, 1, 16);
    for (int32_t x = 0; x < 4; x++)
        wide.Set16(x, 0, static_cast<uint16_t>(100 + x));
    OwnedRaster narrow(2, 1, 16);
    BlitRasterScaled(wide.buffer, narrow.buffer, 0, 0, 2, 1);
    EXPECT_EQ(narrow.Get16(0, 0), 100);
    EXPECT_EQ(narrow.Get16(1, 0), 102);
}

TEST_F(RasterScale, ClippedColumnsMatchTheUnclippedResult)
{
    OwnedRaster source(3, 2, 32);
    for (int32_t x = 0; x < 3; x++)
        for (int32_t y = 0; y < 2; y++)
            source.Set32(x, y, Pixel32(255, x * 100, y * 200, 50));
    OwnedRaster whole(8, 4, 32);
    BlitRasterScaled(source.buffer, whole.buffer, 0, 0, 8, 4);
    OwnedRaster clipped(4, 4, 32, 8);
    BlitRasterScaled(source.buffer, clipped.buffer, -2, 0, 8, 4);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 0; x < 4; x++)
            EXPECT_EQ(clipped.Get32(x, y), whole.Get32(x + 2, y)) << x << "," << y;
    EXPECT_TRUE(clipped.PaddingIntact());

    // Rectangle rows -2..1 show source rows 0, 0, 1, 1; columns 1..4 show
    // source columns 0, 0, 1, 1, of which only 1 and 2 are inside.
    OwnedRaster source8(2, 2, 8);
    *source8.At(0, 1) = 9;
    *source8.At(1, 1) = 7;
    OwnedRaster destination8(3, 3, 8);
    BlitRasterScaled(source8.buffer, destination8.buffer, 1, -2, 4, 4);
    const uint8_t expected[3][3] = { { 0, 9, 9 }, { 0, 9, 9 }, { 0, 0, 0 } };
    for (int32_t y = 0; y < 3; y++)
        for (int32_t x = 0; x < 3; x++)
            EXPECT_EQ(*destination8.At(x, y), expected[y][x]) << x << "," << y;
}

TEST_F(RasterScale, TargetWithoutAreaDrawsNothing)
{
    OwnedRaster source(2, 2, 32);
    source.Fill32(0xFFFFFFFF);
    OwnedRaster destination(4, 4, 32);
    const int32_t sizes[][2] = { { 0, 4 }, { 4, 0 }, { 0, 0 }, { -3, 4 }, { 4, -1 } };
    for (const auto& s : sizes)
        BlitRasterScaled(source.buffer, destination.buffer, 0, 0, s[0], s[1]);
    OwnedRaster source8(2, 2, 8);
    OwnedRaster destination8(4, 4, 8);
    BlitRasterScaled(source8.buffer, destination8.buffer, 0, 0, 0, 3);
    EXPECT_TRUE(
        std::all_of(destination.bytes.begin(), destination.bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(RasterScale, OnePixelWideSourceStretchesWithoutARightNeighbour)
{
    OwnedRaster source(1, 1, 32);
    source.Set32(0, 0, Pixel32(200, 10, 20, 30));
    OwnedRaster destination(3, 2, 32);
    BlitRasterScaled(source.buffer, destination.buffer, 0, 0, 3, 2);
    for (int32_t y = 0; y < 2; y++)
        for (int32_t x = 0; x < 3; x++)
            EXPECT_EQ(destination.Get32(x, y),
                y == 0 ? Pixel32(200, 10, 20, 30)
                       : Pixel32(Mix(128, 200, 200), Mix(128, 10, 10), Mix(128, 20, 20), Mix(128, 30, 30)))
                << x << "," << y;
}
