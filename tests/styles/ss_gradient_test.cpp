#include <gtest/gtest.h>

#include "ss_gradient.h"
#include "style_test_support.h"

namespace {

const rgb_color kGrey { 100, 100, 100, 255 };

// The gradient applied over a 32 x 32 grey shape image, through the base (shape rectangle only).
TestRaster Applied(SS_Gradient& style, StubDocument& doc, rgb_color fill = kGrey)
{
    TestRaster shape(32, 32, fill);
    TestRaster work(48, 48, rgb_color { 1, 2, 3, 4 });
    style.ApplyInLayer(nullptr, shape.Buffer(), QV_Rect { 7, 9, 38, 40 }, QV_BBox {}, work.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    return shape;
}

int32_t Light(rgb_color c)
{
    return c.r + c.g + c.b;
}

TEST(SSGradient, TheDefaultRunsFromWhiteAtTheTopToBlackAtTheBottom)
{
    SS_Gradient style;
    StubDocument doc;
    TestRaster shape = Applied(style, doc);
    EXPECT_GT(shape.At(16, 0).r, 240);
    EXPECT_LT(shape.At(16, 31).r, 15);
    for (int32_t y = 1; y < 32; y++)
        EXPECT_LE(shape.At(16, y).r, shape.At(16, y - 1).r) << y;
    // Across a row the colour does not change.
    EXPECT_NEAR(shape.At(3, 10).r, shape.At(28, 10).r, 1);
}

TEST(SSGradient, TheAngleTurnsTheBlend)
{
    StubDocument doc;
    SS_Gradient up;
    up.fAngle.SetValue(0, 1.5707964f);
    TestRaster a = Applied(up, doc);
    EXPECT_LT(a.At(16, 0).r, 15);
    EXPECT_GT(a.At(16, 31).r, 240);

    SS_Gradient right;
    right.fAngle.SetValue(0, 0.0f);
    TestRaster b = Applied(right, doc);
    EXPECT_GT(b.At(2, 16).r, 225);
    EXPECT_LT(b.At(31, 16).r, 15);
    EXPECT_NEAR(b.At(10, 0).r, b.At(10, 31).r, 1);
}

TEST(SSGradient, TheRadialBlendIgnoresTheAngle)
{
    StubDocument doc;
    SS_Gradient radial;
    radial.fRadial = true;
    TestRaster a = Applied(radial, doc);
    radial.fAngle.SetValue(0, 1.2f);
    TestRaster b = Applied(radial, doc);
    EXPECT_TRUE(a.SameAs(b));
    EXPECT_GT(a.At(16, 16).r, 230);
    EXPECT_LT(a.At(1, 1).r, 30);
    EXPECT_LT(Light(a.At(1, 16)), Light(a.At(8, 16)));
}

TEST(SSGradient, ChannelsAreTakenAtTheDocumentsFrame)
{
    SS_Gradient style;
    style.fColor1.SetValue(10, rgb_color { 0, 0, 0, 255 });
    style.fColor2.SetValue(10, rgb_color { 0, 0, 0, 255 });
    StubDocument atTen(100, 10);
    TestRaster shape = Applied(style, atTen);
    EXPECT_LT(Light(shape.At(16, 1)), 3);
}

TEST(SSGradient, SeeThroughColoursBlendOverTheShapeWhoseAlphaStays)
{
    SS_Gradient style;
    style.fColor1.SetValue(0, rgb_color { 255, 255, 255, 0 });
    style.fColor2.SetValue(0, rgb_color { 255, 255, 255, 0 });
    StubDocument doc;
    TestRaster shape = Applied(style, doc, rgb_color { 100, 100, 100, 77 });
    for (int32_t y = 0; y < 32; y++)
        for (int32_t x = 0; x < 32; x++)
            ASSERT_TRUE(SameColor(shape.At(x, y), rgb_color { 100, 100, 100, 77 }));

    SS_Gradient half;
    half.fColor1.SetValue(0, rgb_color { 255, 255, 255, 128 });
    half.fColor2.SetValue(0, rgb_color { 255, 255, 255, 128 });
    TestRaster blended = Applied(half, doc, rgb_color { 100, 100, 100, 77 });
    EXPECT_NEAR(blended.At(16, 16).r, 178, 2);
    EXPECT_EQ(blended.At(16, 16).a, 77);
}

TEST(SSGradient, WhatTheWorkBufferHeldNeverReachesTheShape)
{
    SS_Gradient style;
    StubDocument doc;
    TestRaster shape(32, 32, kGrey);
    TestRaster work(32, 32, rgb_color { 0, 255, 0, 255 });
    style.Apply(shape.Buffer(), QV_Rect { 0, 0, 31, 31 }, work.Buffer(), &doc, 1.0f);
    for (int32_t y = 0; y < 32; y++)
        for (int32_t x = 0; x < 32; x++) {
            const rgb_color c = shape.At(x, y);
            ASSERT_TRUE(c.r == c.g && c.g == c.b) << x << "," << y;
        }
}

TEST(SSGradient, AOnePixelHighShapeStillGetsAColour)
{
    SS_Gradient style;
    style.fAngle.SetValue(0, 0.0f);
    StubDocument doc;
    TestRaster shape(16, 1, kGrey);
    TestRaster work(16, 1);
    style.Apply(shape.Buffer(), QV_Rect { 0, 0, 15, 0 }, work.Buffer(), &doc, 1.0f);
    EXPECT_GT(shape.At(4, 0).r, shape.At(12, 0).r);
}

} // namespace
