#include <gtest/gtest.h>

#include "ss_shaded.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

const rgb_color kRed { 255, 0, 0, 255 };
const rgb_color kBlack { 0, 0, 0, 255 };
const rgb_color kClear { 0, 0, 0, 0 };

// A target with an opaque red square (5, 5)-(14, 14), the graphics on it and a work buffer.
struct ShadedScene {
    ShadedScene(int32_t width = 20, int32_t height = 20)
        : target(width, height)
        , work(width, height, rgb_color { 9, 9, 9, 9 })
    {
        graphics.SetRaster(target.Buffer());
    }
    void Square(QV_Rect r)
    {
        target.FillRect(r.left, r.top, r.right, r.bottom, kRed);
        rect = r;
    }
    void Apply(SS_Shaded& style, StyleLayer* layer = nullptr, int32_t finalRender = 1)
    {
        style.ApplyInLayer(
            &graphics, nullptr, rect, QV_BBox {}, work.Buffer(), &doc, layer, 1.0f, nullptr, finalRender);
    }

    TestRaster target;
    TestRaster work;
    XGraphics graphics;
    StubDocument doc { 100 };
    QV_Rect rect;
};

// A shadow of opaque black, no blur, the copy shifted by offset x 100 pixels.
SS_Shaded Hard(float angle, float offset)
{
    return SS_Shaded(angle, offset, 0.0f, kBlack);
}

TEST(SSShaded, AngleZeroShiftsRightSoTheLeftEdgeIsShaded)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    SS_Shaded style = Hard(0.0f, 0.02f);
    scene.Apply(style);
    for (int32_t y = 5; y <= 14; y++) {
        EXPECT_TRUE(SameColor(scene.target.At(5, y), kBlack)) << y;
        EXPECT_TRUE(SameColor(scene.target.At(6, y), kBlack)) << y;
        EXPECT_TRUE(SameColor(scene.target.At(7, y), kRed)) << y;
        EXPECT_TRUE(SameColor(scene.target.At(14, y), kRed)) << y;
    }
    EXPECT_EQ(scene.target.At(3, 8).a, 0);
}

TEST(SSShaded, AngleHalfPiShiftsUpSoTheBottomEdgeIsShaded)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    SS_Shaded style = Hard(1.5707964f, 0.02f);
    scene.Apply(style);
    for (int32_t x = 5; x <= 14; x++) {
        EXPECT_TRUE(SameColor(scene.target.At(x, 12), kRed)) << x;
        EXPECT_TRUE(SameColor(scene.target.At(x, 13), kBlack)) << x;
        EXPECT_TRUE(SameColor(scene.target.At(x, 14), kBlack)) << x;
        EXPECT_TRUE(SameColor(scene.target.At(x, 5), kRed)) << x;
    }
}

TEST(SSShaded, TheShiftIsOneTo256Pixels)
{
    // A shape as wide as the target: every column the shifted copy leaves is shaded.
    struct Case {
        float offset;
        int32_t shadedColumns;
    };
    for (const Case& c : { Case { 0.001f, 1 }, Case { 0.0f, 1 }, Case { -3.0f, 1 }, Case { 10.0f, 256 },
             Case { 3.0e38f, 256 } }) {
        ShadedScene scene(300, 3);
        scene.Square(QV_Rect { 0, 0, 299, 2 });
        SS_Shaded style = Hard(0.0f, c.offset);
        scene.Apply(style);
        EXPECT_TRUE(SameColor(scene.target.At(c.shadedColumns - 1, 1), kBlack)) << c.offset;
        EXPECT_TRUE(SameColor(scene.target.At(c.shadedColumns, 1), kRed)) << c.offset;
    }
}

TEST(SSShaded, BlurSoftensTheShadingEdge)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    SS_Shaded style(0.0f, 0.02f, 0.04f, kBlack);
    scene.Apply(style);
    const rgb_color inner = scene.target.At(7, 9);
    EXPECT_GT(inner.r, 0);
    EXPECT_LT(inner.r, 255);
    EXPECT_EQ(inner.a, 255);
}

TEST(SSShaded, ATransparentShadowChangesNothingUnlessItReplacesTheShape)
{
    ShadedScene plain;
    plain.Square(QV_Rect { 5, 5, 14, 14 });
    TestRaster before(20, 20);
    before.FillRect(5, 5, 14, 14, kRed);
    SS_Shaded clear(0.0f, 0.05f, 0.02f, kClear);
    plain.Apply(clear);
    EXPECT_TRUE(plain.target.SameAs(before));

    ShadedScene replaced;
    replaced.Square(QV_Rect { 5, 5, 14, 14 });
    clear.fShadowOnly = true;
    replaced.Apply(clear);
    for (int32_t y = 0; y < 20; y++)
        for (int32_t x = 0; x < 20; x++)
            EXPECT_EQ(replaced.target.At(x, y).a, 0);
}

TEST(SSShaded, ShadowOnlyKeepsTheShadingInsideTheShape)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    SS_Shaded style = Hard(0.0f, 0.02f);
    style.fShadowOnly = true;
    scene.Apply(style);
    EXPECT_TRUE(SameColor(scene.target.At(5, 9), kBlack));
    EXPECT_EQ(scene.target.At(9, 9).a, 0);
}

TEST(SSShaded, TheEditorViewShadesOnlyVisiblePixels)
{
    const rgb_color hiddenBlue { 0, 0, 255, 0 };
    SS_Shaded style = Hard(0.0f, 0.02f);
    ShadedScene rendered;
    ShadedScene editor;
    for (ShadedScene* scene : { &rendered, &editor }) {
        scene->target.FillRect(0, 0, 19, 19, hiddenBlue);
        scene->Square(QV_Rect { 5, 5, 14, 14 });
        scene->rect = QV_Rect { 2, 2, 17, 17 };
    }
    rendered.Apply(style, nullptr, 1);
    editor.Apply(style, nullptr, 0);
    // Around the shape the renderer changes colours under alpha 0; the editor view leaves them.
    EXPECT_TRUE(SameColor(rendered.target.At(3, 3), rgb_color { 0, 0, 0, 0 }));
    EXPECT_TRUE(SameColor(editor.target.At(3, 3), hiddenBlue));
    for (ShadedScene* scene : { &rendered, &editor }) {
        EXPECT_TRUE(SameColor(scene->target.At(5, 9), kBlack));
        EXPECT_TRUE(SameColor(scene->target.At(9, 9), kRed));
    }
}

TEST(SSShaded, ARectangleOutsideTheTargetChangesNothing)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    scene.rect = QV_Rect { 30, 30, 40, 40 };
    TestRaster before(20, 20);
    before.FillRect(5, 5, 14, 14, kRed);
    SS_Shaded style = Hard(0.0f, 0.02f);
    scene.Apply(style);
    EXPECT_TRUE(scene.target.SameAs(before));
}

TEST(SSShaded, ALayerBringsTheChannelsToItsFrame)
{
    ShadedScene scene;
    scene.Square(QV_Rect { 5, 5, 14, 14 });
    SS_Shaded style = Hard(0.0f, 0.01f);
    style.fOffset.SetValue(10, 0.04f);
    StubLayer layer;
    layer.fFrame = 10;
    scene.Apply(style, &layer);
    EXPECT_TRUE(SameColor(scene.target.At(8, 9), kBlack));
    EXPECT_TRUE(SameColor(scene.target.At(9, 9), kRed));
    EXPECT_FLOAT_EQ(style.Margin(), 0.04f);
}

TEST(SSShaded, TheDefaultsMatchTheValueConstructor)
{
    SS_Shaded style;
    EXPECT_FLOAT_EQ(style.fLightAngle.value, 2.3561945f);
    EXPECT_FLOAT_EQ(style.fOffset.value, 0.033333335f);
    EXPECT_FLOAT_EQ(style.fBlur.value, 0.033333335f);
    EXPECT_TRUE(SameColor(style.fShadowColor.value, rgb_color { 0, 0, 0, 128 }));
    EXPECT_FALSE(style.fShadowOnly);
}

} // namespace
