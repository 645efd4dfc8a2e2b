#include "blend_tables.h"
#include "owned_raster.h"
#include "raster_alpha.h"

#include <gtest/gtest.h>

namespace {

// One pixel per alpha value 0..255, colour (1, 2, 3).
OwnedRaster AlphaRamp()
{
    OwnedRaster r(256, 1, 32);
    for (int32_t x = 0; x < 256; x++)
        r.Set32(x, 0, Pixel32(x, 1, 2, 3));
    return r;
}

} // namespace

TEST(SetRasterAlpha, SetsOnlyAlpha)
{
    OwnedRaster r = AlphaRamp();
    SetRasterAlpha(r.buffer, 77);
    EXPECT_EQ(r.Get32(0, 0), Pixel32(77, 1, 2, 3));
    EXPECT_EQ(r.Get32(255, 0), Pixel32(77, 1, 2, 3));
}

TEST(RemapAlphaRange, FullRangeIsIdentity)
{
    OwnedRaster r = AlphaRamp();
    RemapAlphaRange(r.buffer, 0, 255, 255);
    for (int32_t x = 0; x < 256; x++)
        ASSERT_EQ(r.Get32(x, 0), Pixel32(x, 1, 2, 3)) << x;
}

TEST(RemapAlphaRange, StretchesClampsAndRoundsHalfAway)
{
    OwnedRaster r = AlphaRamp();
    RemapAlphaRange(r.buffer, 100, 200, 255);
    EXPECT_EQ(r.Get32(50, 0) >> 24, 0u);
    EXPECT_EQ(r.Get32(100, 0) >> 24, 0u);
    EXPECT_EQ(r.Get32(150, 0) >> 24, 128u) << "127.5 rounds up";
    EXPECT_EQ(r.Get32(200, 0) >> 24, 255u);
    EXPECT_EQ(r.Get32(250, 0) >> 24, 255u);

    OwnedRaster capped = AlphaRamp();
    RemapAlphaRange(capped.buffer, 0, 100, 60);
    EXPECT_EQ(capped.Get32(50, 0) >> 24, 30u);
    EXPECT_EQ(capped.Get32(255, 0) >> 24, 60u);
}

TEST(RemapAlphaRange, EmptyRangeChangesNothing)
{
    OwnedRaster r = AlphaRamp();
    RemapAlphaRange(r.buffer, 100, 100, 255);
    RemapAlphaRange(r.buffer, 200, 100, 255);
    for (int32_t x = 0; x < 256; x++)
        ASSERT_EQ(r.Get32(x, 0) >> 24, static_cast<uint32_t>(x));
}

TEST(UnpremultiplyRaster, DividesColourByAlpha)
{
    BuildBlendTables();
    OwnedRaster r(3, 1, 32);
    r.Set32(0, 0, Pixel32(128, 64, 0, 128));
    r.Set32(1, 0, Pixel32(0, 10, 20, 30));
    r.Set32(2, 0, Pixel32(7, 7, 7, 7));
    UnpremultiplyRaster(r.buffer);
    EXPECT_EQ(r.Get32(0, 0), Pixel32(128, 127, 0, 255));
    EXPECT_EQ(r.Get32(1, 0), Pixel32(0, 10, 20, 30)) << "alpha 0 keeps the colour";
    EXPECT_EQ(r.Get32(2, 0), Pixel32(7, 254, 254, 254)) << "the single-precision table";
}

TEST(UnpremultiplyRaster, EveryAlphaAndColourGoesThroughTheTable)
{
    BuildBlendTables();
    OwnedRaster r(256, 256, 32);
    for (int32_t a = 0; a < 256; a++)
        for (int32_t v = 0; v < 256; v++)
            r.Set32(v, a, Pixel32(uint8_t(a), uint8_t(v), uint8_t(255 - v), uint8_t(v / 2)));
    UnpremultiplyRaster(r.buffer);
    for (int32_t a = 0; a < 256; a++) {
        const uint8_t* divide = BlendDivTable[a];
        for (int32_t v = 0; v < 256; v++)
            ASSERT_EQ(r.Get32(v, a), Pixel32(uint8_t(a), divide[v], divide[255 - v], divide[v / 2]))
                << "alpha " << a << " colour " << v;
    }
}
