#include "noise_displace.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

namespace {

OwnedRaster Gradient()
{
    OwnedRaster r(32, 24, 32, 4);
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 32; x++)
            r.Set32(x, y, Pixel32(x < 4 ? 0 : 255, x * 8, y * 10, 128));
    return r;
}

TEST(NoiseDisplace, StagesSwitchedOffLeaveTheRaster)
{
    OwnedRaster r = Gradient();
    const std::vector<uint8_t> before = r.bytes;
    DisplaceByNoise(r.buffer, 0, 1, 0, 1, 0, 1);
    EXPECT_EQ(r.bytes, before);
}

TEST(NoiseDisplace, ColourNoiseSparesTransparentPixels)
{
    OwnedRaster r = Gradient();
    const OwnedRaster before = Gradient();
    DisplaceByNoise(r.buffer, 0, 1, 60, 4, 0, 1);
    int32_t changed = 0;
    for (int32_t y = 0; y < 24; y++) {
        for (int32_t x = 0; x < 32; x++) {
            if (x < 4)
                ASSERT_EQ(r.Get32(x, y), Pixel32(0, x * 8, y * 10, 128));
            else
                changed += r.Get32(x, y) != Pixel32(255, x * 8, y * 10, 128);
            ASSERT_EQ(r.Get32(x, y) >> 24, x < 4 ? 0u : 255u) << "alpha untouched without alpha noise";
        }
    }
    EXPECT_GT(changed, 0);
    EXPECT_TRUE(r.PaddingIntact());
}

TEST(NoiseDisplace, DisplacementMovesPixelsAndDiffersFromCallToCall)
{
    OwnedRaster first = Gradient();
    OwnedRaster second = Gradient();
    DisplaceByNoise(first.buffer, 6, 3, 0, 1, 0, 1);
    DisplaceByNoise(second.buffer, 6, 3, 0, 1, 0, 1);
    int32_t moved = 0;
    for (int32_t y = 0; y < 24; y++) {
        for (int32_t x = 0; x < 32; x++) {
            const uint32_t p = first.Get32(x, y);
            moved += p != Pixel32(x < 4 ? 0 : 255, x * 8, y * 10, 128);
            // Every pixel is one of the raster's own.
            const uint32_t sx = ((p >> 16) & 0xFF) / 8, sy = ((p >> 8) & 0xFF) / 10;
            ASSERT_EQ(p, Pixel32(sx < 4 ? 0 : 255, sx * 8, sy * 10, 128));
        }
    }
    EXPECT_GT(moved, 0);
    EXPECT_NE(first.bytes, second.bytes) << "each call seeds the displacement anew";
    EXPECT_TRUE(first.PaddingIntact());
}

} // namespace
