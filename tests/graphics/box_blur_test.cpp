#include "box_blur.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

namespace {

TEST(BoxBlur, WindowFollowsTheRadius)
{
    struct Case {
        int32_t radius;
        int32_t window;
    } cases[] = { { -5, 3 }, { 0, 3 }, { 1, 3 }, { 5, 3 }, { 6, 3 }, { 7, 5 }, { 10, 5 }, { 12, 7 },
        { 64, 33 }, { 253, 127 }, { 255, 128 }, { 256, 128 }, { 1000, 128 } };
    for (const Case& c : cases)
        EXPECT_EQ(BoxBlurWindow(c.radius), c.window) << c.radius;
}

// On a one-row raster the column passes change nothing, so one spike shows the two row passes:
// it spreads over two windows less one pixel.
int32_t SpreadOfASpike(int32_t radius)
{
    OwnedRaster row(300, 1, 32);
    row.Set32(150, 0, 0xFF000000u);
    BoxBlurAlpha(row.buffer, radius);
    int32_t spread = 0;
    for (int32_t x = 0; x < 300; x++)
        spread += (row.Get32(x, 0) >> 24) != 0;
    return spread;
}

TEST(BoxBlur, TwoBoxPassesSpreadASpikeOverTwoWindows)
{
    // Spikes of 255 / window / window stay above 0 up to a window of 15.
    EXPECT_EQ(SpreadOfASpike(1), 5);
    EXPECT_EQ(SpreadOfASpike(7), 9);
    EXPECT_EQ(SpreadOfASpike(28), 29);
}

TEST(BoxBlur, UniformRastersStayAndEdgesRepeat)
{
    OwnedRaster uniform(40, 30, 32, 4);
    uniform.Fill32(0x80C04020u);
    BoxBlurRGBA(uniform.buffer, 40);
    for (int32_t y = 0; y < 30; y++)
        for (int32_t x = 0; x < 40; x++)
            ASSERT_EQ(uniform.Get32(x, y), 0x80C04020u);
    EXPECT_TRUE(uniform.PaddingIntact());

    // A window wider than the raster repeats the edge pixels instead of reading past them.
    OwnedRaster narrow(3, 2, 32, 4);
    narrow.Fill32(0xFF000000u);
    narrow.Set32(0, 0, 0xFF0000FFu);
    BoxBlurRGBA(narrow.buffer, 256);
    EXPECT_TRUE(narrow.PaddingIntact());
    EXPECT_EQ(narrow.Get32(0, 0) >> 24, 0xFFu);
}

TEST(BoxBlur, AllChannelsOrAlphaAlone)
{
    OwnedRaster rgba(9, 9, 32);
    OwnedRaster alpha(9, 9, 32);
    for (OwnedRaster* r : { &rgba, &alpha }) {
        r->Fill32(0x00000000u);
        r->Set32(4, 4, 0xFFFFFFFFu);
    }
    BoxBlurRGBA(rgba.buffer, 1);
    BoxBlurAlpha(alpha.buffer, 1);
    // Window 3, two passes each way: 255 / 3 = 85 stays 85 at the centre of the row, then 85
    // becomes 28 down the column.
    EXPECT_EQ(rgba.Get32(4, 4) >> 24, 28u);
    EXPECT_EQ(rgba.Get32(4, 4) & 0xFF, 28u);
    EXPECT_EQ(alpha.Get32(4, 4) >> 24, 28u);
    EXPECT_EQ(alpha.Get32(4, 4) & 0xFFFFFFu, 0xFFFFFFu) << "colour kept";
    EXPECT_EQ(alpha.Get32(3, 3) & 0xFFFFFFu, 0u);
    EXPECT_GT(alpha.Get32(2, 2) >> 24, 0u);
    EXPECT_EQ(alpha.Get32(1, 1) >> 24, 0u);
}

} // namespace
