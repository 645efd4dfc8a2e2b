#include "alpha_mask.h"
#include "blend_tables.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

TEST(AlphaMask, IntersectTakesTheSourceColourAndTheSmallerAlpha)
{
    OwnedRaster source(2, 1, 32);
    source.Set32(0, 0, Pixel32(100, 1, 2, 3));
    source.Set32(1, 0, Pixel32(200, 4, 5, 6));
    OwnedRaster destination(2, 1, 32);
    destination.Fill32(Pixel32(150, 9, 9, 9));
    BlitIntersectAlpha(source.buffer, destination.buffer, 0, 0);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(100, 1, 2, 3));
    EXPECT_EQ(destination.Get32(1, 0), Pixel32(150, 4, 5, 6));
}

TEST(AlphaMask, MaskMultipliesDestinationAlpha)
{
    BuildBlendTables();
    OwnedRaster mask(2, 1, 8);
    *mask.At(0, 0) = 128;
    *mask.At(1, 0) = 255;
    OwnedRaster destination(3, 1, 32);
    destination.Fill32(Pixel32(200, 1, 2, 3));
    MultiplyAlphaByMask(mask.buffer, destination.buffer, 1, 0);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(200, 1, 2, 3));
    EXPECT_EQ(destination.Get32(1, 0), Pixel32(BlendMulTable[128][200], 1, 2, 3));
    EXPECT_EQ(destination.Get32(2, 0), Pixel32(200, 1, 2, 3));

    OwnedRaster notAMask(1, 1, 32);
    MultiplyAlphaByMask(notAMask.buffer, destination.buffer, 0, 0);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(200, 1, 2, 3));
}

TEST(AlphaMask, TiledMaskRepeatsOverTheDestination)
{
    BuildBlendTables();
    OwnedRaster mask(2, 1, 8);
    *mask.At(0, 0) = 0;
    *mask.At(1, 0) = 255;
    OwnedRaster destination(5, 2, 32);
    destination.Fill32(Pixel32(255, 0, 0, 0));
    TileAlphaMask(mask.buffer, destination.buffer, 0, 1); // columns start at -1
    for (int32_t y = 0; y < 2; y++)
        for (int32_t x = 0; x < 5; x++)
            EXPECT_EQ(destination.Get32(x, y) >> 24, x % 2 ? 0u : 255u) << x << "," << y;
}

TEST(AlphaMask, SubtractSparesTransparentPixelsAndStopsAtZero)
{
    OwnedRaster source(3, 1, 32);
    source.Fill32(Pixel32(100, 0, 0, 0));
    OwnedRaster destination(3, 1, 32);
    destination.Set32(0, 0, Pixel32(0, 5, 5, 5));
    destination.Set32(1, 0, Pixel32(60, 5, 5, 5));
    destination.Set32(2, 0, Pixel32(160, 5, 5, 5));
    SubtractAlpha(source.buffer, destination.buffer, 0, 0);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(0, 5, 5, 5));
    EXPECT_EQ(destination.Get32(1, 0), Pixel32(0, 5, 5, 5));
    EXPECT_EQ(destination.Get32(2, 0), Pixel32(60, 5, 5, 5));
}
