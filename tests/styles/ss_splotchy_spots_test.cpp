#include <gtest/gtest.h>

#include "ss_splotchy.h"
#include "ss_spots.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

// A 24 x 24 shape image with an alpha ramp down the rows and a colour ramp across.
void Paint(TestRaster& raster)
{
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 24; x++)
            raster.Set(x, y, rgb_color { uint8_t(40 + 8 * x), 120, uint8_t(200 - 5 * x), uint8_t(y * 11) });
}

void ApplyBase(M_ShapeStyle& style, TestRaster& shape, StubDocument& doc)
{
    TestRaster work(40, 40, rgb_color { 3, 3, 3, 3 });
    style.ApplyInLayer(nullptr, shape.Buffer(), QV_Rect { 10, 10, 33, 33 }, QV_BBox {}, work.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
}

TEST(SSSplotchy, ColoursShiftButAlphaNeverChanges)
{
    for (bool monochrome : { true, false }) {
        TestRaster shape(24, 24);
        Paint(shape);
        TestRaster before(24, 24);
        Paint(before);
        SS_Splotchy style;
        style.fMagnitude = 60;
        style.fScale = 0.05f;
        style.fMonochrome = monochrome;
        StubDocument doc(100);
        ApplyBase(style, shape, doc);
        EXPECT_FALSE(shape.SameAs(before));
        for (int32_t y = 0; y < 24; y++)
            for (int32_t x = 0; x < 24; x++)
                ASSERT_EQ(shape.At(x, y).a, before.At(x, y).a) << x << "," << y;
    }
}

TEST(SSSplotchy, MonochromeKeepsGreyGrey)
{
    TestRaster shape(24, 24, rgb_color { 128, 128, 128, 255 });
    SS_Splotchy style;
    style.fMagnitude = 60;
    StubDocument doc(100);
    ApplyBase(style, shape, doc);
    bool changed = false;
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 24; x++) {
            const rgb_color c = shape.At(x, y);
            ASSERT_TRUE(c.r == c.g && c.g == c.b);
            changed = changed || c.r != 128;
        }
    EXPECT_TRUE(changed);
}

TEST(SSSplotchy, NoMagnitudeOrNoSizeChangesNothing)
{
    StubDocument doc(100);
    for (int32_t magnitude : { 0, -5 }) {
        TestRaster shape(24, 24);
        Paint(shape);
        TestRaster before(24, 24);
        Paint(before);
        SS_Splotchy style;
        style.fMagnitude = magnitude;
        ApplyBase(style, shape, doc);
        EXPECT_TRUE(shape.SameAs(before)) << magnitude;
    }
    for (float scale : { 0.0f, -1.0f }) {
        TestRaster shape(24, 24);
        Paint(shape);
        TestRaster before(24, 24);
        Paint(before);
        SS_Splotchy style;
        style.fScale = scale;
        ApplyBase(style, shape, doc);
        EXPECT_TRUE(shape.SameAs(before)) << scale;
    }
}

TEST(SSSplotchy, ThePatternFollowsTheShapeNotItsPlace)
{
    // The same shape at two places in a layer image gets the same pattern.
    TestRaster target(60, 30, rgb_color { 90, 160, 30, 255 });
    TestRaster work(60, 30);
    XGraphics graphics;
    graphics.SetRaster(target.Buffer());
    StubDocument doc(100);
    SS_Splotchy style;
    style.fMonochrome = false;
    style.fMagnitude = 100;
    for (QV_Rect rect : { QV_Rect { 2, 3, 21, 22 }, QV_Rect { 35, 7, 54, 26 } }) {
        QV_PixelBuffer shape;
        ASSERT_EQ(target.image.GetSubPixelBuffer(rect, shape), 0);
        style.ApplyInLayer(
            &graphics, &shape, rect, QV_BBox {}, work.Buffer(), &doc, nullptr, 1.0f, nullptr, 1);
    }
    for (int32_t y = 0; y < 20; y++)
        for (int32_t x = 0; x < 20; x++)
            ASSERT_TRUE(SameColor(target.At(2 + x, 3 + y), target.At(35 + x, 7 + y))) << x << "," << y;
}

TEST(SSSplotchy, HugeMagnitudesSaturate)
{
    TestRaster shape(24, 24);
    Paint(shape);
    SS_Splotchy style;
    style.fMagnitude = INT32_MAX;
    style.fMonochrome = false;
    StubDocument doc(100);
    ApplyBase(style, shape, doc);
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 24; x++) {
            const rgb_color c = shape.At(x, y);
            ASSERT_TRUE(c.r == 0 || c.r == 255 || c.r == 40 + 8 * x) << x;
        }
}

SS_Spots RedSpots()
{
    SS_Spots style;
    style.fAngle = 0.0f;
    return style;
}

TEST(SSSpots, SpotsShowInsideTheShapeWithoutChangingAlpha)
{
    TestRaster shape(24, 24);
    Paint(shape);
    TestRaster before(24, 24);
    Paint(before);
    SS_Spots style = RedSpots();
    StubDocument doc(100);
    ApplyBase(style, shape, doc);
    int32_t red = 0;
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 24; x++) {
            ASSERT_EQ(shape.At(x, y).a, before.At(x, y).a);
            const rgb_color c = shape.At(x, y);
            red += c.r == 255 && c.g == 0 && c.b == 0;
        }
    EXPECT_GT(red, 0);
    EXPECT_FALSE(shape.SameAs(before));
}

TEST(SSSpots, TransparentSpotsOrDegenerateSizesChangeNothing)
{
    StubDocument doc(100);
    auto unchanged = [&](SS_Spots style) {
        TestRaster shape(24, 24);
        Paint(shape);
        TestRaster before(24, 24);
        Paint(before);
        ApplyBase(style, shape, doc);
        return shape.SameAs(before);
    };
    SS_Spots clear = RedSpots();
    clear.fSpotColor.a = 0;
    EXPECT_TRUE(unchanged(clear));
    for (int32_t field = 0; field < 4; field++) {
        SS_Spots style = RedSpots();
        float* sizes[]
            = { &style.fSpotLength, &style.fSpotWidth, &style.fLengthSpacing, &style.fWidthSpacing };
        *sizes[field] = 0.0f;
        EXPECT_TRUE(unchanged(style)) << field;
    }
}

TEST(SSSpots, AngleZeroLinesSpotsAlongXWithAlternateRowsShifted)
{
    // Spots 20 x 6 pixels, 40 apart along x, rows 20 apart: even rows centre their spots on
    // x = 0, 40, 80, odd rows on 20, 60. Noise moves them by a few pixels at most.
    TestRaster shape(90, 70, rgb_color { 0, 0, 255, 255 });
    SS_Spots style = RedSpots();
    style.fSpotLength = 0.2f;
    style.fSpotWidth = 0.06f;
    style.fLengthSpacing = 0.4f;
    style.fWidthSpacing = 0.2f;
    StubDocument doc(100);
    TestRaster work(90, 70);
    style.Apply(shape.Buffer(), QV_Rect { 0, 0, 89, 69 }, work.Buffer(), &doc, 1.0f);
    auto redNear = [&](int32_t cx, int32_t cy) {
        for (int32_t y = cy - 2; y <= cy + 2; y++)
            for (int32_t x = cx - 3; x <= cx + 3; x++)
                if (shape.At(x, y).r > 0)
                    return true;
        return false;
    };
    EXPECT_TRUE(redNear(40, 40));
    EXPECT_FALSE(redNear(20, 40));
    EXPECT_TRUE(redNear(20, 20));
    EXPECT_FALSE(redNear(40, 20));
    EXPECT_TRUE(redNear(60, 20));
    EXPECT_TRUE(redNear(80, 40));
}

} // namespace
