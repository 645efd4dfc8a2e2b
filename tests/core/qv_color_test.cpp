#include "qv_color.h"
#include <cstring>
#include <gtest/gtest.h>

namespace {

struct Triple {
    int a, b, c;
};

Triple ToHSL(int r, int g, int b)
{
    uint8_t h, s, l;
    RGBToHSL(uint8_t(r), uint8_t(g), uint8_t(b), h, s, l);
    return { h, s, l };
}

Triple ToRGB(int h, int s, int l)
{
    uint8_t r, g, b;
    HSLToRGB(uint8_t(h), uint8_t(s), uint8_t(l), r, g, b);
    return { r, g, b };
}

::testing::AssertionResult Same(const Triple& got, const Triple& want)
{
    if (got.a == want.a && got.b == want.b && got.c == want.c)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.a << ", " << got.b << ", " << got.c << ") want ("
                                         << want.a << ", " << want.b << ", " << want.c << ")";
}

} // namespace

TEST(RgbColor, PacksRedInTheLowByte)
{
    rgb_color c { 0x11, 0x22, 0x33, 0x44 };
    uint32_t v;
    std::memcpy(&v, &c, sizeof v);
    EXPECT_EQ(v, 0x44332211u);
}

TEST(QV_ColorVector, DefaultsToOpaqueWhiteAndConvertsFromBytes)
{
    QV_ColorVector white;
    EXPECT_EQ(white.r, 1);
    EXPECT_EQ(white.a, 1);

    QV_ColorVector c;
    c.Set(rgb_color { 0, 51, 255, 102 });
    EXPECT_FLOAT_EQ(c.r, 0);
    EXPECT_FLOAT_EQ(c.g, 0.2f);
    EXPECT_FLOAT_EQ(c.b, 1);
    EXPECT_FLOAT_EQ(c.a, 0.4f);
}

TEST(QV_ColorVector, AsColorStructRoundsAndClamps)
{
    rgb_color c = QV_ColorVector { 0.5f, 1.2f, -0.1f, 1 }.AsColorStruct();
    EXPECT_EQ(c.r, 128);
    EXPECT_EQ(c.g, 255);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(c.a, 255);

    // Every byte survives the trip through float.
    for (int v = 0; v < 256; v++) {
        QV_ColorVector f;
        f.Set(rgb_color { uint8_t(v), uint8_t(v), uint8_t(v), uint8_t(v) });
        rgb_color back = f.AsColorStruct();
        ASSERT_EQ(back.r, v);
        ASSERT_EQ(back.a, v);
    }
}

TEST(QV_ColorVector, ArithmeticCarriesTheLeftAlpha)
{
    QV_ColorVector a { 0.2f, 0.4f, 0.6f, 0.5f };
    QV_ColorVector b { 0.1f, 0.1f, 0.1f, 1 };

    QV_ColorVector sum = a + b;
    EXPECT_FLOAT_EQ(sum.r, 0.3f);
    EXPECT_FLOAT_EQ(sum.g, 0.5f);
    EXPECT_FLOAT_EQ(sum.b, 0.7f);
    EXPECT_FLOAT_EQ(sum.a, 0.5f);

    EXPECT_FLOAT_EQ((b - a).r, -0.1f); // free to leave 0..1
    EXPECT_FLOAT_EQ((b - a).a, 1);
    EXPECT_FLOAT_EQ((a * b).b, 0.06f);
    EXPECT_FLOAT_EQ((a * b).a, 0.5f);
    EXPECT_FLOAT_EQ((a * 2).b, 1.2f);
    EXPECT_FLOAT_EQ((a * 2).a, 0.5f);
    EXPECT_FLOAT_EQ((a / 2).g, 0.2f);
    EXPECT_FLOAT_EQ((a / 2).a, 0.5f);

    QV_ColorVector c = a;
    QV_ColorVector r1 = (c += b);
    EXPECT_FLOAT_EQ(r1.r, 0.3f);
    EXPECT_FLOAT_EQ(c.a, 0.5f);
    QV_ColorVector r2 = (c *= 2);
    EXPECT_FLOAT_EQ(r2.g, 1.0f);
    EXPECT_FLOAT_EQ(c.a, 0.5f);
    c *= QV_ColorVector { 0.5f, 0.5f, 0.5f, 0 };
    EXPECT_FLOAT_EQ(c.r, 0.3f);
    EXPECT_FLOAT_EQ(c.a, 0.5f);
    QV_ColorVector r3 = (c /= 0.5f);
    EXPECT_FLOAT_EQ(r3.b, 1.4f);
    EXPECT_FLOAT_EQ(c.a, 0.5f);

    c.a = -2;
    c.Normalize();
    EXPECT_FLOAT_EQ(c.b, 1);
    EXPECT_FLOAT_EQ(c.r, 0.6f);
    EXPECT_FLOAT_EQ(c.a, 0);
}

TEST(RGBToHSL, KnownColours)
{
    struct Case {
        Triple rgb, hsl;
    } cases[] = {
        { { 255, 0, 0 }, { 0, 255, 128 } },
        { { 0, 255, 0 }, { 85, 255, 128 } },
        { { 0, 0, 255 }, { 170, 255, 128 } },
        { { 255, 255, 0 }, { 43, 255, 128 } },
        { { 0, 255, 255 }, { 128, 255, 128 } },
        { { 255, 0, 255 }, { 213, 255, 128 } },
        { { 128, 128, 128 }, { 0, 0, 128 } },
        { { 0, 0, 0 }, { 0, 0, 0 } },
        { { 255, 255, 255 }, { 0, 0, 255 } },
        { { 255, 0, 1 }, { 0, 255, 128 } }, // hue 254.83 rounds to 255 and wraps
        { { 64, 32, 32 }, { 0, 85, 48 } },
        { { 100, 200, 50 }, { 71, 153, 125 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rgb.a << "," << c.rgb.b << "," << c.rgb.c);
        EXPECT_TRUE(Same(ToHSL(c.rgb.a, c.rgb.b, c.rgb.c), c.hsl));
    }
}

TEST(HSLToRGB, KnownColours)
{
    struct Case {
        Triple hsl, rgb;
    } cases[] = {
        { { 0, 255, 128 }, { 255, 1, 1 } }, // L 128 lies just above one half
        { { 85, 255, 128 }, { 1, 255, 1 } }, { { 170, 255, 128 }, { 1, 1, 255 } },
        { { 255, 255, 128 }, { 255, 1, 1 } }, // hue 255 reads as 0
        { { 200, 255, 255 }, { 255, 255, 255 } }, { { 17, 3, 0 }, { 0, 0, 0 } },
        { { 71, 153, 125 }, { 99, 200, 50 } }, // 8-bit hue costs a step of red
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hsl.a << "," << c.hsl.b << "," << c.hsl.c);
        EXPECT_TRUE(Same(ToRGB(c.hsl.a, c.hsl.b, c.hsl.c), c.rgb));
    }
}

TEST(HSLToRGB, NoSaturationGivesTheGreyForAnyHue)
{
    for (int l = 0; l < 256; l++) {
        for (int h : { 0, 37, 128, 254, 255 })
            ASSERT_TRUE(Same(ToRGB(h, 0, l), { l, l, l })) << "h " << h << " l " << l;
    }
}

TEST(HSL, RoundTripsStayClose)
{
    // Greys come back exactly; colours within the quantisation of 8-bit hue,
    // saturation and lightness.
    for (int v = 0; v < 256; v++) {
        Triple hsl = ToHSL(v, v, v);
        ASSERT_TRUE(Same(ToRGB(hsl.a, hsl.b, hsl.c), { v, v, v })) << v;
    }
    int worst = 0;
    for (int r = 0; r < 256; r += 3) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 7) {
                Triple hsl = ToHSL(r, g, b);
                ASSERT_LT(hsl.a, 255);
                Triple rgb = ToRGB(hsl.a, hsl.b, hsl.c);
                worst = std::max({ worst, std::abs(rgb.a - r), std::abs(rgb.b - g), std::abs(rgb.c - b) });
            }
        }
    }
    EXPECT_LE(worst, 4);
}
