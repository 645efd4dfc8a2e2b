#include <gtest/gtest.h>

#include <memory>

#include "ss_halo.h"
#include "ss_soft.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

const rgb_color kRed { 255, 0, 0, 255 };
const rgb_color kYellow { 255, 255, 0, 255 };

struct Scene {
    Scene()
        : target(20, 20)
        , work(20, 20, rgb_color { 7, 7, 7, 7 })
    {
        graphics.SetRaster(target.Buffer());
        target.FillRect(5, 5, 14, 14, kRed);
    }
    void ApplySoft(SS_Soft& style, QV_Rect rect, StyleLayer* layer = nullptr)
    {
        style.ApplyInLayer(
            &graphics, nullptr, rect, QV_BBox {}, work.Buffer(), &doc, layer, 1.0f, nullptr, 1);
    }
    // The halo gets the whole target as its shape image.
    void ApplyHalo(SS_Halo& style)
    {
        style.ApplyInLayer(&graphics, target.Buffer(), QV_Rect { 0, 0, 19, 19 }, QV_BBox {}, work.Buffer(),
            &doc, nullptr, 1.0f, nullptr, 1);
    }

    TestRaster target;
    TestRaster work;
    XGraphics graphics;
    StubDocument doc { 100 };
};

TEST(SSSoft, ARadiusBelowHalfAPixelDoesNothing)
{
    Scene scene;
    TestRaster before(20, 20);
    before.FillRect(5, 5, 14, 14, kRed);
    SS_Soft style(0.0049f);
    scene.ApplySoft(style, QV_Rect { 0, 0, 19, 19 });
    EXPECT_TRUE(scene.target.SameAs(before));
}

TEST(SSSoft, TheBlurSoftensAlphaInsideTheRectangleOnly)
{
    Scene scene;
    SS_Soft style(0.04f);
    scene.ApplySoft(style, QV_Rect { 3, 3, 16, 16 });
    const rgb_color edge = scene.target.At(5, 9);
    EXPECT_GT(edge.a, 0);
    EXPECT_LT(edge.a, 255);
    EXPECT_EQ(edge.r, 255);
    EXPECT_GT(scene.target.At(4, 9).a, 0);
    // Beyond the rectangle nothing is touched, however far the blur reaches.
    EXPECT_EQ(scene.target.At(2, 9).a, 0);
    EXPECT_EQ(scene.target.At(17, 9).a, 0);
}

TEST(SSSoft, ALayerBringsTheRadiusToItsFrame)
{
    Scene scene;
    SS_Soft style(0.001f);
    style.fRadius.SetValue(6, 0.04f);
    StubLayer layer;
    layer.fFrame = 6;
    scene.ApplySoft(style, QV_Rect { 0, 0, 19, 19 }, &layer);
    EXPECT_LT(scene.target.At(5, 9).a, 255);
}

// Halo values: inset and blur in pixels of the 100-pixel document.
std::unique_ptr<SS_Halo> Halo(float insetPixels, float blurPixels, rgb_color color)
{
    auto style = std::make_unique<SS_Halo>();
    style->fInsetRadius.SetValue(0, insetPixels / 100.0f);
    style->fBlurRadius.SetValue(0, blurPixels / 100.0f);
    style->fHaloColor.SetValue(0, color);
    return style;
}

TEST(SSHalo, WithoutInsetOnlyPartlyTransparentPixelsAreTinted)
{
    Scene scene;
    scene.target.Set(5, 9, rgb_color { 255, 0, 0, 128 });
    auto style = Halo(0, 0, kYellow);
    scene.ApplyHalo(*style);
    EXPECT_TRUE(SameColor(scene.target.At(9, 9), kRed));
    EXPECT_TRUE(SameColor(scene.target.At(5, 5), kRed));
    const rgb_color tinted = scene.target.At(5, 9);
    EXPECT_EQ(tinted.a, 128);
    EXPECT_GT(tinted.g, 100);
    EXPECT_LT(tinted.g, 155);
    EXPECT_EQ(scene.target.At(2, 2).a, 0);
}

TEST(SSHalo, TheInsetColoursEveryPixelWithinItOfTheOutside)
{
    Scene scene;
    auto style = Halo(2, 0, kYellow);
    scene.ApplyHalo(*style);
    for (int32_t x = 5; x <= 14; x++) {
        const bool ring = x < 7 || x > 12;
        EXPECT_TRUE(SameColor(scene.target.At(x, 9), ring ? kYellow : kRed)) << x;
    }
    EXPECT_TRUE(SameColor(scene.target.At(9, 6), kYellow));
    EXPECT_TRUE(SameColor(scene.target.At(9, 7), kRed));
    EXPECT_EQ(scene.target.At(3, 9).a, 0);
}

TEST(SSHalo, PixelsWhoseSquareLeavesTheShapeImageCountAsEdge)
{
    // A shape image that is the opaque square alone: its border is the edge of the image.
    TestRaster shape(10, 10, kRed);
    TestRaster work(20, 20);
    StubDocument doc(100);
    auto style = Halo(1, 0, kYellow);
    style->ApplyInLayer(nullptr, shape.Buffer(), QV_Rect { 0, 0, 9, 9 }, QV_BBox {}, work.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    EXPECT_TRUE(SameColor(shape.At(0, 4), kYellow));
    EXPECT_TRUE(SameColor(shape.At(9, 4), kYellow));
    EXPECT_TRUE(SameColor(shape.At(1, 4), kRed));
    // An inset wider than the image reaches outside from every pixel.
    auto wide = Halo(40, 0, kYellow);
    TestRaster all(10, 10, kRed);
    wide->ApplyInLayer(nullptr, all.Buffer(), QV_Rect { 0, 0, 9, 9 }, QV_BBox {}, work.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    EXPECT_TRUE(SameColor(all.At(5, 5), kYellow));
}

TEST(SSHalo, ATransparentHaloChangesNothingUnlessItReplacesTheShape)
{
    Scene scene;
    TestRaster before(20, 20);
    before.FillRect(5, 5, 14, 14, kRed);
    auto style = Halo(2, 1, rgb_color { 255, 255, 0, 0 });
    scene.ApplyHalo(*style);
    EXPECT_TRUE(scene.target.SameAs(before));

    Scene replaced;
    style->fHaloOnly = true;
    replaced.ApplyHalo(*style);
    for (int32_t y = 0; y < 20; y++)
        for (int32_t x = 0; x < 20; x++)
            EXPECT_EQ(replaced.target.At(x, y).a, 0);
}

TEST(SSHalo, HalfAPixelOfBlurBlursAndLessDoesNot)
{
    Scene sharp;
    auto under = Halo(1, 0.49f, kYellow);
    sharp.ApplyHalo(*under);
    EXPECT_TRUE(SameColor(sharp.target.At(6, 9), kRed));

    Scene soft;
    auto half = Halo(1, 0.5f, kYellow);
    soft.ApplyHalo(*half);
    const rgb_color inside = soft.target.At(6, 9);
    EXPECT_GT(inside.g, 0);
    EXPECT_LT(inside.g, 255);
}

TEST(SSHalo, TheSizeOfTheWorkBufferBeyondTheShapeDoesNotMatter)
{
    auto style = Halo(2, 3, kYellow);
    StubDocument doc(100);
    TestRaster small(12, 12, kRed);
    TestRaster large(12, 12, kRed);
    for (TestRaster* shape : { &small, &large }) {
        shape->FillRect(0, 0, 11, 1, rgb_color { 255, 0, 0, 0 });
        shape->Set(6, 6, rgb_color { 255, 0, 0, 0 });
    }
    TestRaster exact(12, 12);
    TestRaster frame(300, 200);
    style->ApplyInLayer(nullptr, small.Buffer(), QV_Rect { 0, 0, 11, 11 }, QV_BBox {}, exact.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    style->ApplyInLayer(nullptr, large.Buffer(), QV_Rect { 0, 0, 11, 11 }, QV_BBox {}, frame.Buffer(), &doc,
        nullptr, 1.0f, nullptr, 1);
    EXPECT_TRUE(small.SameAs(large));
    EXPECT_FALSE(small.SameAs(TestRaster(12, 12, kRed)));
}

TEST(SSHalo, HugeValuesFromAFileStayHarmless)
{
    Scene scene;
    auto style = Halo(3.0e38f, 3.0e38f, kYellow);
    scene.ApplyHalo(*style);
    EXPECT_EQ(scene.target.At(9, 9).a, 255);
    EXPECT_EQ(scene.target.At(2, 2).a, 0);
}

} // namespace
