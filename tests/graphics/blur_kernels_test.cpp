#include "blur_kernels.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

namespace {

int32_t Weight(const PixelKernel& k, int32_t dx, int32_t dy)
{
    return k.weights[dy + k.radius][dx + k.radius];
}

OwnedRaster Uniform(int32_t width, int32_t height, uint32_t pixel)
{
    OwnedRaster r(width, height, 32, 8);
    r.Fill32(pixel);
    return r;
}

TEST(BlurKernels, DiscKernelHalvesTheRadiusAndEasesToOne)
{
    for (int32_t given : { 1, 2, 3 }) {
        PixelKernel k;
        int32_t radius = given;
        BuildDiscKernel(radius, k);
        EXPECT_EQ(radius, 1);
        EXPECT_EQ(Weight(k, 0, 0), 2);
        for (int32_t dy = -1; dy <= 1; dy++) {
            for (int32_t dx = -1; dx <= 1; dx++) {
                if (dx || dy) {
                    EXPECT_EQ(Weight(k, dx, dy), 1) << dx << "," << dy;
                }
            }
        }
        EXPECT_EQ(k.weightSum, 10);
    }
    PixelKernel k;
    int32_t radius = 8;
    BuildDiscKernel(radius, k);
    EXPECT_EQ(radius, 4);
    EXPECT_EQ(Weight(k, 0, 0), 5);
    EXPECT_EQ(Weight(k, 4, 0), 1);
    EXPECT_EQ(Weight(k, 4, 4), 1) << "the corners never fall below 1";
    EXPECT_EQ(Weight(k, 2, 0), 3) << "halfway: 5 - 4 x 0.5";
    EXPECT_EQ(Weight(k, 0, -3), Weight(k, 3, 0));
    radius = 500;
    BuildDiscKernel(radius, k);
    EXPECT_EQ(radius, PixelKernel::kMaxRadius);
}

TEST(BlurKernels, MotionKernelReachesAlongItsAngleOnly)
{
    PixelKernel k;
    int32_t length = 4;
    BuildMotionBlurKernel(length, k, 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(Weight(k, 0, 0), 5);
    EXPECT_GT(Weight(k, 3, 0), 0);
    EXPECT_GT(Weight(k, -3, 0), 0);
    EXPECT_EQ(Weight(k, 0, 2), 0) << "across the angle only distance 1 counts";
    EXPECT_GT(Weight(k, 0, 1), 0);

    auto same = [](int32_t a, int32_t b) {
        PixelKernel ka, kb;
        int32_t la = 6, lb = 6;
        BuildMotionBlurKernel(la, ka, a);
        BuildMotionBlurKernel(lb, kb, b);
        for (int32_t y = 0; y < 13; y++)
            for (int32_t x = 0; x < 13; x++)
                if (ka.weights[y][x] != kb.weights[y][x])
                    return false;
        return ka.weightSum == kb.weightSum;
    };
    EXPECT_TRUE(same(360, 0));
    EXPECT_TRUE(same(-90, 90));
    EXPECT_TRUE(same(200, 20));
    EXPECT_FALSE(same(0, 90));

    PixelKernel vertical;
    length = 4;
    BuildMotionBlurKernel(length, vertical, 90);
    EXPECT_GT(Weight(vertical, 0, 3), 0);
    EXPECT_EQ(Weight(vertical, 2, 0), 0);

    length = 0;
    BuildMotionBlurKernel(length, k, 45);
    EXPECT_EQ(length, 1);
    EXPECT_EQ(k.radius, 1);
    EXPECT_GE(k.weightSum, 1);
}

TEST(BlurKernels, KernelBlurKeepsAUniformAlphaToTheBorders)
{
    PixelKernel k;
    int32_t radius = 7;
    BuildDiscKernel(radius, k);
    OwnedRaster source = Uniform(12, 9, 0xC8336699u);
    OwnedRaster destination = Uniform(12, 9, 0x00000000u);
    ApplyBlurKernel(source.buffer, destination.buffer, k);
    for (int32_t y = 0; y < 9; y++)
        for (int32_t x = 0; x < 12; x++)
            ASSERT_EQ(destination.Get32(x, y), 0xC8336699u) << x << "," << y;
    EXPECT_TRUE(destination.PaddingIntact());
}

TEST(BlurKernels, KernelBlurSpreadsASinglePixelByItsWeights)
{
    PixelKernel k;
    int32_t radius = 2;
    BuildDiscKernel(radius, k);
    OwnedRaster source = Uniform(9, 9, 0);
    source.Set32(4, 4, 0xFF000000u);
    OwnedRaster destination = Uniform(9, 9, 0x00ABCDEFu);
    ApplyBlurKernel(source.buffer, destination.buffer, k);
    EXPECT_EQ(destination.Get32(4, 4), 0x33000000u) << "255 x 2 / 10, colour from the source";
    EXPECT_EQ(destination.Get32(5, 5) >> 24, 25u);
    EXPECT_EQ(destination.Get32(6, 4) >> 24, 0u);

    // At a corner only the inside offsets divide: 2 x 255 / (2 + 1 + 1 + 1).
    OwnedRaster corner = Uniform(9, 9, 0);
    corner.Set32(0, 0, 0xFF000000u);
    ApplyBlurKernel(corner.buffer, corner.buffer, k);
    EXPECT_EQ(corner.Get32(0, 0) >> 24, 102u);
}

TEST(BlurKernels, ErodeAndDilateTakeTheSquareWindow)
{
    OwnedRaster source = Uniform(7, 7, 0xFF102030u);
    source.Set32(3, 3, 0x40102030u);
    OwnedRaster eroded = Uniform(7, 7, 0x00AABBCCu);
    ErodeAlpha(source.buffer, eroded.buffer, 1);
    for (int32_t y = 0; y < 7; y++)
        for (int32_t x = 0; x < 7; x++)
            EXPECT_EQ(
                eroded.Get32(x, y), (x >= 2 && x <= 4 && y >= 2 && y <= 4 ? 0x40u : 0xFFu) << 24 | 0xAABBCCu);

    OwnedRaster dot = Uniform(7, 7, 0);
    dot.Set32(0, 6, 0x80000000u);
    DilateAlpha(dot.buffer, dot.buffer, 2);
    for (int32_t y = 0; y < 7; y++)
        for (int32_t x = 0; x < 7; x++)
            EXPECT_EQ(dot.Get32(x, y) >> 24, x <= 2 && y >= 4 ? 0x80u : 0u) << x << "," << y;
}

TEST(BlurKernels, DiscBlurSmoothsAlphaOnly)
{
    OwnedRaster uniform = Uniform(20, 10, 0x7F123456u);
    DiscBlur(uniform.buffer, 9);
    for (int32_t y = 0; y < 10; y++)
        for (int32_t x = 0; x < 20; x++)
            ASSERT_EQ(uniform.Get32(x, y), 0x7F123456u);

    OwnedRaster step = Uniform(20, 4, 0x00123456u);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 10; x < 20; x++)
            step.Set32(x, y, 0xFF123456u);
    DiscBlur(step.buffer, 8);
    for (int32_t x = 1; x < 20; x++)
        EXPECT_GE(step.Get32(x, 1) >> 24, step.Get32(x - 1, 1) >> 24) << x;
    EXPECT_EQ(step.Get32(0, 1) >> 24, 0u);
    EXPECT_EQ(step.Get32(19, 1) >> 24, 255u);
    EXPECT_GT(step.Get32(9, 1) >> 24, 0u);
    EXPECT_LT(step.Get32(10, 1) >> 24, 255u);
    EXPECT_EQ(step.Get32(9, 1) & 0xFFFFFFu, 0x123456u);
    EXPECT_TRUE(step.PaddingIntact());

    OwnedRaster untouched = Uniform(4, 4, 0x00000000u);
    untouched.Set32(1, 1, 0xFF000000u);
    DiscBlur(untouched.buffer, 0);
    EXPECT_EQ(untouched.Get32(1, 1), 0xFF000000u);
}

TEST(BlurKernels, OtherDepthsAndSizesAreLeftAlone)
{
    PixelKernel k;
    int32_t radius = 2;
    BuildDiscKernel(radius, k);
    OwnedRaster small = Uniform(4, 4, 0xFF000000u);
    OwnedRaster large = Uniform(5, 4, 0x00000000u);
    ApplyBlurKernel(small.buffer, large.buffer, k);
    DilateAlpha(small.buffer, large.buffer, 1);
    EXPECT_EQ(large.Get32(0, 0), 0u);
    OwnedRaster wide(4, 4, 16);
    DiscBlur(wide.buffer, 4);
    EXPECT_EQ(wide.Get16(0, 0), 0u);
}

} // namespace
