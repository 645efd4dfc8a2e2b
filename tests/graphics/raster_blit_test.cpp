#include "blend_tables.h"
#include "owned_raster.h"
#include "raster_blit.h"

#include <gtest/gtest.h>

#include <algorithm>

class RasterBlit : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
    static uint32_t Mix(uint32_t a, uint32_t s, uint32_t d)
    {
        return BlendMulTable[a][s] + BlendMulTable[255 - a][d];
    }
};

TEST_F(RasterBlit, NegativeXCopiesTheOverlappingColumns)
{
    OwnedRaster source(100, 2, 8);
    for (int32_t x = 0; x < 100; x++)
        *source.At(x, 1) = static_cast<uint8_t>(x);
    OwnedRaster destination(50, 3, 8, 2);
    BlitRaster(source.buffer, destination.buffer, -10, 1);
    for (int32_t x = 0; x < 50; x++)
        ASSERT_EQ(*destination.At(x, 2), x + 10) << x;
    EXPECT_TRUE(destination.PaddingIntact());
}

TEST_F(RasterBlit, PlacementsThatMissTouchNothing)
{
    OwnedRaster source(4, 4, 32);
    source.Fill32(0xFFFFFFFF);
    OwnedRaster destination(4, 4, 32);
    const int32_t placements[][2] = { { 4, 0 }, { 0, 4 }, { -4, 0 }, { 0, -4 }, { -100, -100 } };
    for (const auto& p : placements) {
        BlitRaster(source.buffer, destination.buffer, p[0], p[1]);
        BlitRasterAlpha(source.buffer, destination.buffer, p[0], p[1], true);
    }
    EXPECT_TRUE(
        std::all_of(destination.bytes.begin(), destination.bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(RasterBlit, PlainCopyNeedsEqualSupportedPixelSizes)
{
    OwnedRaster source24(2, 2, 24);
    std::fill(source24.bytes.begin(), source24.bytes.end(), 0xFF);
    OwnedRaster destination24(2, 2, 24);
    BlitRaster(source24.buffer, destination24.buffer, 0, 0);
    EXPECT_EQ(destination24.At(0, 0)[0], 0) << "3-byte pixels are not copied";

    OwnedRaster source16(2, 2, 16);
    source16.Set16(1, 1, 0x1234);
    OwnedRaster destination8(4, 4, 8);
    BlitRaster(source16.buffer, destination8.buffer, 0, 0);
    EXPECT_TRUE(
        std::all_of(destination8.bytes.begin(), destination8.bytes.end(), [](uint8_t b) { return b == 0; }));

    OwnedRaster destination16(2, 2, 16);
    source16.buffer.rowBytes = 0;
    BlitRaster(source16.buffer, destination16.buffer, 0, 0);
    EXPECT_EQ(source16.buffer.rowBytes, 4) << "zero row bytes are packed into the caller's descriptor";
    EXPECT_EQ(destination16.Get16(1, 1), 0x1234);
}

TEST_F(RasterBlit, AlphaCompositeAndMerge)
{
    struct Case {
        uint32_t source;
        uint32_t destination;
        bool merge;
        uint32_t expected;
    };
    const uint32_t s = 200, d = 50;
    const Case cases[] = {
        { Pixel32(128, s, s, s), Pixel32(0, d, d, d), true,
            Pixel32(128, Mix(128, s, d), Mix(128, s, d), Mix(128, s, d)) },
        { Pixel32(128, s, s, s), Pixel32(255, d, d, d), true,
            Pixel32(255, Mix(128, s, d), Mix(128, s, d), Mix(128, s, d)) },
        { Pixel32(128, s, s, s), Pixel32(0, d, d, d), false,
            Pixel32(0, Mix(128, s, d), Mix(128, s, d), Mix(128, s, d)) },
        { Pixel32(128, s, s, s), Pixel32(100, d, d, d), true,
            Pixel32(100 + BlendMulTable[128][155], Mix(128, s, d), Mix(128, s, d), Mix(128, s, d)) },
        { Pixel32(255, 1, 2, 3), Pixel32(7, d, d, d), false, Pixel32(7, 1, 2, 3) },
        { Pixel32(255, 1, 2, 3), Pixel32(7, d, d, d), true, Pixel32(255, 1, 2, 3) },
        { Pixel32(0, 1, 2, 3), Pixel32(7, d, d, d), true, Pixel32(7, d, d, d) },
    };
    for (const Case& c : cases) {
        OwnedRaster source(1, 1, 32);
        source.Set32(0, 0, c.source);
        OwnedRaster destination(1, 1, 32);
        destination.Set32(0, 0, c.destination);
        BlitRasterAlpha(source.buffer, destination.buffer, 0, 0, c.merge);
        EXPECT_EQ(destination.Get32(0, 0), c.expected)
            << std::hex << c.source << " over " << c.destination << " merge " << c.merge;
    }
}

TEST_F(RasterBlit, AlphaCompositeOfOtherEqualDepthsIsAPlainCopy)
{
    OwnedRaster source(2, 1, 8);
    *source.At(1, 0) = 42;
    OwnedRaster destination(3, 1, 8);
    BlitRasterAlpha(source.buffer, destination.buffer, 1, 0, true);
    EXPECT_EQ(*destination.At(2, 0), 42);

    OwnedRaster destination32(3, 1, 32);
    BlitRasterAlpha(source.buffer, destination32.buffer, 0, 0, true);
    EXPECT_EQ(destination32.Get32(1, 0), 0u) << "different pixel sizes do nothing";
}

TEST_F(RasterBlit, TileRasterAlphaCoversTheDestinationFromThePhase)
{
    OwnedRaster tile(3, 2, 32);
    for (int32_t x = 0; x < 3; x++)
        for (int32_t y = 0; y < 2; y++)
            tile.Set32(x, y, Pixel32(255, x, y, 0));
    OwnedRaster destination(8, 5, 32);
    TileRasterAlpha(tile.buffer, destination.buffer, 7); // 7 -> 4 -> 1 -> -2
    for (int32_t y = 0; y < 5; y++)
        for (int32_t x = 0; x < 8; x++)
            ASSERT_EQ(destination.Get32(x, y), Pixel32(0, (x + 2) % 3, y % 2, 0)) << x << "," << y;
}

TEST_F(RasterBlit, FadedShiftsTheSourceAlphaAndKeepsTheDestinationAlpha)
{
    struct Case {
        uint32_t sourceAlpha;
        int32_t offset;
        uint32_t expectedRed;
    };
    const uint32_t s = 200, d = 50;
    const Case cases[] = {
        { 100, -100, d },
        { 100, -128, d },
        { 100, 155, s },
        { 100, 200, s },
        { 200, -128, Mix(72, s, d) },
        { 128, 0, Mix(128, s, d) },
    };
    for (const Case& c : cases) {
        OwnedRaster source(1, 1, 32);
        source.Set32(0, 0, Pixel32(c.sourceAlpha, s, 0, 0));
        OwnedRaster destination(1, 1, 32);
        destination.Set32(0, 0, Pixel32(9, d, 0, 0));
        BlitRasterFaded(source.buffer, destination.buffer, 0, 0, c.offset);
        EXPECT_EQ(destination.Get32(0, 0), Pixel32(9, c.expectedRed, 0, 0))
            << c.sourceAlpha << " " << c.offset;
    }
}

TEST_F(RasterBlit, TileRasterFadedUsesHalfStrengthAndBothPhases)
{
    OwnedRaster tile(2, 2, 32);
    tile.Set32(0, 0, Pixel32(255, 200, 0, 0));
    tile.Set32(1, 1, Pixel32(255, 100, 0, 0));
    OwnedRaster destination(4, 4, 32);
    TileRasterFaded(tile.buffer, destination.buffer, 1, 3); // y: 1 -> -1; x: 3 -> 1 -> -1
    // Tiles start at (-1, -1): tile pixel (0, 0) lands on odd columns and rows.
    EXPECT_EQ(destination.Get32(1, 1) >> 16 & 0xFF, Mix(127, 200, 0));
    EXPECT_EQ(destination.Get32(0, 0) >> 16 & 0xFF, Mix(127, 100, 0));
    EXPECT_EQ(destination.Get32(0, 1), 0u);
}

TEST_F(RasterBlit, AtopOnlyPaintsWhereTheDestinationIsVisible)
{
    OwnedRaster source(3, 1, 32);
    source.Set32(0, 0, Pixel32(255, 200, 0, 0));
    source.Set32(1, 0, Pixel32(255, 200, 0, 0));
    source.Set32(2, 0, Pixel32(128, 200, 0, 0));
    OwnedRaster destination(3, 1, 32);
    destination.Set32(0, 0, Pixel32(0, 50, 0, 0));
    destination.Set32(1, 0, Pixel32(1, 50, 0, 0));
    destination.Set32(2, 0, Pixel32(60, 50, 0, 0));
    BlitRasterAtop(source.buffer, destination.buffer, 0, 0);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(0, 50, 0, 0));
    EXPECT_EQ(destination.Get32(1, 0), Pixel32(1, 200, 0, 0));
    EXPECT_EQ(destination.Get32(2, 0), Pixel32(60, Mix(128, 200, 50), 0, 0));
}

TEST_F(RasterBlit, EmptyTilesDoNotHang)
{
    OwnedRaster destination(4, 4, 32);
    QV_PixelBuffer empty;
    empty.bytesPerPixel = 4;
    empty.depth = 32;
    TileRasterAlpha(empty, destination.buffer, 5);
    TileRasterFaded(empty, destination.buffer, 5, 5);
    EXPECT_EQ(destination.Get32(0, 0), 0u);
}
