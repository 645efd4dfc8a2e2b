#include "box_blur.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

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

// The blur written out plainly: each of two passes per row, then two per column, gives every
// pixel the mean of the window that starts half a window before it, edges repeated, by the same
// reciprocal. Random rasters of odd sizes, windows from 3 to wider than the raster, padded rows.
TEST(BoxBlur, MatchesTheWindowMeansWrittenOut)
{
    const auto pass = [](std::vector<int32_t>& line, int32_t window) {
        const int32_t count = int32_t(line.size());
        const uint64_t reciprocal = ((uint64_t(1) << 32) + uint64_t(window) - 1) / uint64_t(window);
        std::vector<int32_t> out(line.size());
        for (int32_t x = 0; x < count; x++) {
            int32_t sum = 0;
            for (int32_t k = 0; k < window; k++)
                sum += line[size_t(std::clamp(x - window / 2 + k, 0, count - 1))];
            out[size_t(x)] = int32_t((uint64_t(sum) * reciprocal) >> 32);
        }
        line = out;
    };
    uint32_t state = 99;
    for (const int32_t radius : { 1, 7, 30, 90, 256 }) {
        for (const bool alphaOnly : { false, true }) {
            SCOPED_TRACE(testing::Message() << "radius " << radius << (alphaOnly ? " alpha" : ""));
            const int32_t width = 37, height = 23;
            OwnedRaster raster(width, height, 32, 8);
            std::vector<uint32_t> expected(size_t(width) * height);
            for (int32_t y = 0; y < height; y++) {
                for (int32_t x = 0; x < width; x++) {
                    state = state * 1664525u + 1013904223u;
                    raster.Set32(x, y, state);
                    expected[size_t(y) * width + x] = state;
                }
            }
            const int32_t window = BoxBlurWindow(radius);
            for (int channel = alphaOnly ? 3 : 0; channel < 4; channel++) {
                const auto at = [&](int32_t x, int32_t y) { return &expected[size_t(y) * width + x]; };
                const auto get = [&](int32_t x, int32_t y) { return int32_t(*at(x, y) >> (8 * channel) & 0xFF); };
                const auto put = [&](int32_t x, int32_t y, int32_t v) {
                    *at(x, y) = (*at(x, y) & ~(0xFFu << (8 * channel))) | uint32_t(v) << (8 * channel);
                };
                // Rows first (along x), then columns (along y), two passes each.
                for (const bool rows : { true, false }) {
                    const int32_t lines = rows ? height : width;
                    const int32_t length = rows ? width : height;
                    for (int32_t l = 0; l < lines; l++) {
                        std::vector<int32_t> line(static_cast<size_t>(length));
                        for (int32_t i = 0; i < length; i++)
                            line[size_t(i)] = rows ? get(i, l) : get(l, i);
                        pass(line, window);
                        pass(line, window);
                        for (int32_t i = 0; i < length; i++)
                            rows ? put(i, l, line[size_t(i)]) : put(l, i, line[size_t(i)]);
                    }
                }
            }
            if (alphaOnly)
                BoxBlurAlpha(raster.buffer, radius);
            else
                BoxBlurRGBA(raster.buffer, radius);
            EXPECT_TRUE(raster.PaddingIntact());
            for (int32_t y = 0; y < height; y++)
                for (int32_t x = 0; x < width; x++)
                    ASSERT_EQ(raster.Get32(x, y), expected[size_t(y) * width + x]) << x << "," << y;
        }
    }
}

} // namespace
