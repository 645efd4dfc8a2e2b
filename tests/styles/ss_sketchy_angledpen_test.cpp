#include <gtest/gtest.h>

#include <limits>

#include "ss_angledpen.h"
#include "ss_sketchy.h"
#include "style_test_support.h"

namespace {

const rgb_color kGreen { 20, 200, 60, 255 };

// A green shape: a 16 x 16 square at (8, 8) and a one-pixel line across row 30. Like the
// renderer's work image, the pixels around it carry the shape's colour at alpha 0.
void Paint(TestRaster& raster)
{
    raster.FillRect(0, 0, 39, 39, rgb_color { kGreen.r, kGreen.g, kGreen.b, 0 });
    raster.FillRect(8, 8, 23, 23, kGreen);
    raster.FillRect(2, 30, 37, 30, kGreen);
}

TestRaster Applied(M_ShapeStyle& style, float scale = 1.0f)
{
    TestRaster shape(40, 40);
    Paint(shape);
    TestRaster work(40, 40);
    StubDocument doc(100);
    style.Apply(shape.Buffer(), QV_Rect { 0, 0, 39, 39 }, work.Buffer(), &doc, scale);
    return shape;
}

void ExpectColoursKept(const TestRaster& shape)
{
    for (int32_t y = 0; y < 40; y++)
        for (int32_t x = 0; x < 40; x++) {
            const rgb_color c = shape.At(x, y);
            if (c.a > 0) {
                ASSERT_TRUE(c.r == kGreen.r && c.g == kGreen.g && c.b == kGreen.b) << x << "," << y;
            }
        }
}

TEST(SSSketchy, ThinPartsVanishAndColoursStay)
{
    SS_Sketchy style;
    style.fRadius = 0.08f;
    TestRaster shape = Applied(style);
    ExpectColoursKept(shape);
    EXPECT_EQ(shape.At(20, 30).a, 0);
    EXPECT_EQ(shape.At(15, 15).a, 255);
    // The corner rounds off.
    EXPECT_LT(shape.At(8, 8).a, 255);
}

TEST(SSAngledPen, ColoursStayAndThinLinesAcrossTheStrokeFade)
{
    SS_AngledPen style;
    style.fRadius = 0.06f;
    style.fAngle = 1.5707964f;
    TestRaster shape = Applied(style);
    ExpectColoursKept(shape);
    EXPECT_EQ(shape.At(15, 15).a, 255);
    EXPECT_LT(shape.At(20, 30).a, 255);
}

TEST(SSAngledPen, AnglesZeroAndPiDrawAlike)
{
    SS_AngledPen zero;
    zero.fAngle = 0.0f;
    zero.fRadius = 0.05f;
    SS_AngledPen half = zero;
    half.fAngle = 3.1415927f;
    SS_AngledPen quarter = zero;
    quarter.fAngle = 0.7853982f;
    const TestRaster a = Applied(zero);
    EXPECT_TRUE(a.SameAs(Applied(half)));
    EXPECT_FALSE(a.SameAs(Applied(quarter)));
}

TEST(SSAngledPen, TheStrokeLengthIsOneToThirtyPixels)
{
    auto pen = [](float pixels) {
        SS_AngledPen style;
        style.fAngle = 0.3f;
        style.fRadius = pixels / 100.0f;
        return Applied(style);
    };
    EXPECT_TRUE(pen(0.2f).SameAs(pen(1.0f)));
    EXPECT_TRUE(pen(-7.0f).SameAs(pen(1.0f)));
    EXPECT_TRUE(pen(45.0f).SameAs(pen(30.0f)));
    EXPECT_TRUE(pen(3.0e38f).SameAs(pen(30.0f)));
    EXPECT_FALSE(pen(29.0f).SameAs(pen(30.0f)));
}

TEST(SSAngledPen, DirectionsFoldIntoWholeDegrees)
{
    EXPECT_EQ(PenDirectionDegrees(0.0f), 0);
    EXPECT_EQ(PenDirectionDegrees(3.1415927f), 180);
    EXPECT_EQ(PenDirectionDegrees(-1.5707964f), 270);
    EXPECT_EQ(PenDirectionDegrees(62.831855f), 0);
    const int32_t huge = PenDirectionDegrees(1.0e30f);
    EXPECT_GE(huge, 0);
    EXPECT_LT(huge, 360);
    EXPECT_EQ(PenDirectionDegrees(std::numeric_limits<float>::infinity()), 0);
}

} // namespace
