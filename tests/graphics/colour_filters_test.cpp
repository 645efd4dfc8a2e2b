#include "colour_filters.h"
#include "owned_raster.h"
#include "qv_random.h"

#include <gtest/gtest.h>

namespace {

TEST(ColourFilters, DesaturateWeightsRedAndGreenTwice)
{
    OwnedRaster r(4, 1, 32);
    r.Set32(0, 0, Pixel32(200, 255, 0, 0));
    r.Set32(1, 0, Pixel32(255, 0, 0, 255));
    r.Set32(2, 0, Pixel32(7, 255, 255, 255));
    r.Set32(3, 0, Pixel32(0, 10, 20, 30));
    Desaturate(r.buffer);
    EXPECT_EQ(r.Get32(0, 0), Pixel32(200, 102, 102, 102));
    EXPECT_EQ(r.Get32(1, 0), Pixel32(255, 51, 51, 51));
    EXPECT_EQ(r.Get32(2, 0), Pixel32(7, 255, 255, 255));
    EXPECT_EQ(r.Get32(3, 0), Pixel32(0, 18, 18, 18));
}

TEST(ColourFilters, MidtoneCurvePassesThroughItsMidpoint)
{
    struct Case {
        float factor;
        uint8_t in;
        uint8_t out;
    } cases[] = {
        { 1, 0, 0 },
        { 1, 127, 127 },
        { 1, 128, 127 },
        { 1, 255, 255 },
        { 1, 64, 64 },
        { 0.5f, 127, 64 },
        { 0.5f, 0, 0 },
        { 0.5f, 255, 255 },
        { -0.5f, 127, 64 },
        { 3, 127, 255 },
        { 3, 128, 255 },
        { 3, 10, 20 },
    };
    for (const Case& c : cases) {
        OwnedRaster r(1, 1, 32);
        r.Set32(0, 0, Pixel32(99, c.in, c.in, c.in));
        AdjustMidtones(r.buffer, c.factor);
        EXPECT_EQ(r.Get32(0, 0), Pixel32(99, c.out, c.out, c.out)) << c.factor << " " << int(c.in);
    }
}

TEST(ColourFilters, NoiseComesFromTheProgramsGenerator)
{
    OwnedRaster r(3, 1, 32);
    r.Fill32(Pixel32(50, 100, 0, 250));
    QV_SRand(77);
    AddNoise(r.buffer, 40);
    QV_SRand(77);
    for (int32_t x = 0; x < 3; x++) {
        const int32_t f = QV_Rand() % 40 - 20;
        const auto clamp = [](int32_t v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
        EXPECT_EQ(r.Get32(x, 0), Pixel32(50, clamp(100 + f), clamp(f), clamp(250 + f))) << x;
    }

    OwnedRaster same(3, 1, 32);
    same.Fill32(Pixel32(50, 100, 0, 250));
    AddNoise(same.buffer, 1);
    AddNoise(same.buffer, 0);
    AddNoise(same.buffer, -3);
    EXPECT_EQ(same.Get32(1, 0), Pixel32(50, 100, 0, 250)) << "a spread of 1 adds 0; below 1 nothing";
}

} // namespace
