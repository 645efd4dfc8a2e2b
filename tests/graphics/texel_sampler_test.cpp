#include "owned_raster.h"
#include "texel_sampler.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

// Two pixels side by side.
OwnedRaster Pair(uint32_t left, uint32_t right)
{
    OwnedRaster r(2, 1, 32);
    r.Set32(0, 0, left);
    r.Set32(1, 0, right);
    return r;
}

} // namespace

TEST(SampleTexelBilinear, InterpolatesEveryChannelAndRoundsHalfAway)
{
    OwnedRaster r = Pair(Pixel32(255, 0, 10, 255), Pixel32(255, 200, 20, 0));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.0f, 0.0f, false), Pixel32(255, 0, 10, 255));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.5f, 0.0f, false), Pixel32(255, 100, 15, 128));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.25f, 0.0f, false), Pixel32(255, 50, 13, 191));
}

TEST(SampleTexelBilinear, ColourIsInterpolatedApartFromAlpha)
{
    OwnedRaster r = Pair(Pixel32(0, 255, 0, 0), Pixel32(255, 0, 0, 255));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.5f, 0.0f, false), Pixel32(128, 128, 0, 128));
}

TEST(SampleTexelBilinear, AllTransparentNeighboursGiveZero)
{
    OwnedRaster r = Pair(Pixel32(0, 255, 0, 0), Pixel32(0, 0, 0, 255));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.5f, 0.0f, false), 0u);
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 0.5f, 0.0f, true), 0u);
}

TEST(SampleTexelBilinear, EdgesClampWithoutWrapAndRepeatWithIt)
{
    OwnedRaster r = Pair(Pixel32(255, 0, 0, 0), Pixel32(255, 200, 0, 0));
    // u = width - 0.5: the right neighbour clamps to the last column.
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 1.5f, 0.0f, false), Pixel32(255, 200, 0, 0));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, -3.0f, 0.0f, false), Pixel32(255, 0, 0, 0));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 1.0e30f, 5.0f, false), Pixel32(255, 200, 0, 0));
    // With wrap the right neighbour of the last column is the first.
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 1.5f, 0.0f, true), Pixel32(255, 100, 0, 0));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, -0.5f, 0.0f, true), Pixel32(255, 100, 0, 0));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, 2.0f, -1.0f, true), Pixel32(255, 0, 0, 0));
}

TEST(SampleTexelBilinear, UnusableInputGivesZero)
{
    OwnedRaster r = Pair(Pixel32(255, 1, 2, 3), Pixel32(255, 1, 2, 3));
    EXPECT_EQ(SampleTexelBilinear(r.buffer, std::numeric_limits<float>::quiet_NaN(), 0.0f, false), 0u);
    EXPECT_EQ(SampleTexelBilinear(r.buffer, -std::numeric_limits<float>::infinity(), 0.0f, true), 0u);
    QV_PixelBuffer empty;
    EXPECT_EQ(SampleTexelBilinear(empty, 0.0f, 0.0f, true), 0u);
}
