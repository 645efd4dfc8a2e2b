#include <gtest/gtest.h>

#include <cmath>

#include "gradient_stop.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "ss_gradient2.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

const rgb_color kWhite { 255, 255, 255, 255 };
const rgb_color kBlack { 0, 0, 0, 255 };
const rgb_color kGrey { 100, 100, 100, 255 };

// A 64 x 64 layer image in centred units (32 pixels per unit) holding a grey square from -0.5 to
// 0.5, i.e. pixels 16 to 47.
struct LayerScene {
    LayerScene()
        : target(64, 64)
        , work(64, 64, rgb_color { 5, 6, 7, 8 })
    {
        target.FillRect(16, 16, 47, 47, kGrey);
        graphics.SetRaster(target.Buffer());
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
        bounds.min = QV_Vector3 { -0.5f, -0.5f, 0 };
        bounds.max = QV_Vector3 { 0.5f, 0.5f, 0 };
    }
    void Apply(
        M_ShapeStyle& style, int32_t finalRender = 1, StyleLayer* layer = nullptr, M_Shape* shape = nullptr)
    {
        QV_PixelBuffer image;
        target.image.GetSubPixelBuffer(rect, image);
        style.ApplyInLayer(
            &graphics, &image, rect, bounds, work.Buffer(), &doc, layer, 1.0f, shape, finalRender);
    }
    // The pixel of a layer point.
    rgb_color At(float x, float y) const
    {
        return target.At(
            static_cast<int32_t>(std::lround(32 + x * 32)), static_cast<int32_t>(std::lround(32 - y * 32)));
    }

    TestRaster target;
    TestRaster work;
    XGraphics graphics;
    StubDocument doc { 64 };
    QV_BBox bounds;
    QV_Rect rect { 16, 16, 47, 47 };
};

TEST(SSGradient2, ColourAtBlendsNeighbouringStops)
{
    SS_Gradient2 style;
    style.SetFrame(0);
    EXPECT_TRUE(SameColor(style.ColourAt(0.0f).AsColorStruct(), kWhite));
    EXPECT_TRUE(SameColor(style.ColourAt(-3.0f).AsColorStruct(), kWhite));
    EXPECT_TRUE(SameColor(style.ColourAt(0.25f).AsColorStruct(), rgb_color { 191, 191, 191, 255 }));
    EXPECT_TRUE(SameColor(style.ColourAt(1.0f).AsColorStruct(), kBlack));
    EXPECT_TRUE(SameColor(style.ColourAt(7.0f).AsColorStruct(), kBlack));

    SS_Gradient2 empty;
    empty.DeleteAllStops();
    const QV_ColorVector none = empty.ColourAt(0.5f);
    EXPECT_EQ(none.r, 1.0f);
    EXPECT_EQ(none.a, 1.0f);

    SS_Gradient2 single;
    single.DeleteAllStops();
    single.AppendStop(new GradientStop(0.3f, rgb_color { 9, 8, 7, 255 }));
    for (float t : { -1.0f, 0.3f, 0.9f })
        EXPECT_TRUE(SameColor(single.LookupColour(t), rgb_color { 9, 8, 7, 255 }));
}

TEST(SSGradient2, StopsAtOnePlaceMakeAHardEdgeTakenByTheLaterStop)
{
    SS_Gradient2 style;
    style.AppendStop(new GradientStop(0.5f, rgb_color { 255, 0, 0, 255 }));
    style.AppendStop(new GradientStop(0.5f, rgb_color { 0, 0, 255, 255 }));
    style.SetFrame(0);
    EXPECT_TRUE(SameColor(style.LookupColour(0.5f), rgb_color { 0, 0, 255, 255 }));
    const rgb_color before = style.LookupColour(0.4999f);
    EXPECT_GT(before.r, 250);
    EXPECT_LT(before.b, 5);
    const rgb_color after = style.LookupColour(0.5001f);
    EXPECT_GT(after.b, 250);
    EXPECT_LT(after.r, 5);
}

TEST(SSGradient2, SortingIsStableAndFollowsTheFrame)
{
    SS_Gradient2 style;
    style.DeleteAllStops();
    GradientStop* late = new GradientStop(0.8f, kBlack);
    GradientStop* a = new GradientStop(0.5f, kWhite);
    GradientStop* b = new GradientStop(0.5f, kGrey);
    GradientStop* early = new GradientStop(0.2f, kBlack);
    for (GradientStop* stop : { late, a, b, early })
        style.AppendStop(stop);
    style.SetFrame(0);
    EXPECT_EQ(style.Stop(0), early);
    EXPECT_EQ(style.Stop(1), a);
    EXPECT_EQ(style.Stop(2), b);
    EXPECT_EQ(style.Stop(3), late);

    // Moving at a later frame: nothing changes until the gradient is brought there.
    early->fPosition.SetValue(20, 0.9f);
    style.SetFrame(0);
    EXPECT_EQ(style.Stop(0), early);
    style.SetFrame(20);
    EXPECT_EQ(style.fCachedFrame, 20);
    EXPECT_EQ(style.Stop(3), early);
    EXPECT_EQ(style.Stop(0), a);
}

TEST(SSGradient2, TheAngleTypeWrapsBeyondOne)
{
    SS_Gradient2 style;
    style.AppendStop(new GradientStop(0.5f, rgb_color { 255, 0, 0, 255 }));
    style.SetFrame(0);
    style.fType = kGradientAngle;
    EXPECT_TRUE(SameColor(style.LookupColour(1.25f), style.LookupColour(0.25f)));
    style.fType = kGradientLinear;
    EXPECT_TRUE(SameColor(style.LookupColour(1.25f), kBlack));
}

TEST(SSGradient2, LinearWithoutAShapeRunsAcrossTheBounds)
{
    for (int32_t finalRender : { 1, 0 }) {
        LayerScene scene;
        SS_Gradient2 style;
        scene.Apply(style, finalRender);
        SCOPED_TRACE(finalRender);
        EXPECT_GT(scene.target.At(17, 32).r, 225);
        EXPECT_LT(scene.target.At(46, 32).r, 30);
        EXPECT_NEAR(scene.target.At(32, 32).r, 128, 12);
        EXPECT_NEAR(scene.target.At(32, 20).r, scene.target.At(32, 44).r, 12);
        EXPECT_EQ(scene.target.At(32, 32).a, 255);
        EXPECT_EQ(scene.target.At(8, 8).a, 0);
    }
}

TEST(SSGradient2, RadialWithoutAShapeReachesTheEndAtTheTopOfTheBounds)
{
    LayerScene scene;
    SS_Gradient2 style;
    style.fType = kGradientRadial;
    scene.Apply(style);
    // The parameter is interpolated across grid cells of 6 pixels, which blunts the peak.
    EXPECT_GT(scene.At(0, 0).r, scene.At(0, 0.25f).r + 20);
    EXPECT_GT(scene.At(0, 0.25f).r, scene.At(0, 0.47f).r + 60);
    EXPECT_LT(scene.At(0, 0.47f).r, 30);
    EXPECT_LT(scene.At(0.47f, 0.47f).r, 5);
    EXPECT_NEAR(scene.At(0, 0.25f).r, scene.At(0.25f, 0).r, 12);
}

TEST(SSGradient2, TheAngleTypeDoesNotBlendAcrossItsSeam)
{
    LayerScene scene;
    SS_Gradient2 style;
    style.fType = kGradientAngle;
    scene.Apply(style);
    // The seam runs from the centre straight up; on either side the colours are near the ends.
    for (int32_t y = 17; y < 28; y++)
        for (int32_t x = 30; x <= 34; x++) {
            const uint8_t r = scene.target.At(x, y).r;
            EXPECT_TRUE(r < 60 || r > 195) << x << "," << y << " " << int32_t(r);
        }
    EXPECT_NEAR(scene.At(0, -0.3f).r, 128, 20);
}

TEST(SSGradient2, AShapesHandlesPlaceTheGradient)
{
    M_Mesh mesh;
    mesh.AddLonePoint(QV_Vector2 { -0.4f, -0.4f }, 0);
    mesh.AppendPoint(QV_Vector2 { 0.4f, -0.4f }, 0);
    mesh.AppendPoint(QV_Vector2 { 0.4f, 0.4f }, 0);
    mesh.AppendPoint(QV_Vector2 { -0.4f, 0.4f }, 0);
    mesh.fCurves[0]->fClosed = true;
    M_Shape* shape = new M_Shape(0);
    for (int32_t segment = 0; segment < 4; segment++)
        shape->AddEdge(0, segment, 0);
    mesh.AddShape(shape);
    shape->fEffectOffset.SetValue(0, QV_Vector2 { -0.2f, 0.1f });
    shape->fEffectOffset.SetCurFrame(0);
    shape->fEffectScale.SetValue(0, 0.5f);
    shape->fEffectScale.SetCurFrame(0);
    const QV_Vector2 h1 = shape->EffectHandle1();
    const QV_Vector2 h2 = shape->EffectHandle2();
    ASSERT_GT(std::fabs(h2.y - h1.y), 0.1f);

    LayerScene scene;
    SS_Gradient2 style;
    scene.Apply(style, 1, nullptr, shape);
    EXPECT_GT(scene.At(h1.x, h1.y).r, 225);
    EXPECT_LT(scene.At(h2.x, h2.y).r, 30);
    // Across the handles' direction the colour stays.
    EXPECT_NEAR(scene.At(h1.x + 0.2f, h1.y).r, scene.At(h1.x - 0.2f, h1.y).r, 12);
}

TEST(SSGradient2, BoneDeformationShowsFromFrameOneOrUnderTheBoneTools)
{
    LayerScene plain;
    SS_Gradient2 reference;
    plain.Apply(reference);

    struct Case {
        int32_t frame;
        const char* tool;
        int32_t parentType;
        int32_t parentBone;
        bool deformed;
    };
    const Case cases[] = {
        { 0, "QV_TranslatePoints", 4, -1, false },
        { 0, "QV_ManipulateBones", 4, -1, true },
        { 0, "QV_OffsetBone", 5, -1, true },
        { 0, "QV_BoneStrength", 4, -1, true },
        { 3, "", 5, -1, true },
        { 3, "", 3, -1, false },
        // A layer bound to one bone moves with it as a whole.
        { 3, "", 4, 2, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << c.frame << " " << c.tool << " " << c.parentType << " " << c.parentBone);
        LayerScene scene;
        scene.doc.fFrame = c.frame;
        scene.doc.fTool = c.tool;
        StubLayer layer;
        layer.fParentType = c.parentType;
        layer.fParentBone = c.parentBone;
        layer.fSkeletonShift = QV_Vector2 { 0.25f, 0.0f };
        SS_Gradient2 style;
        scene.Apply(style, 1, &layer);
        EXPECT_EQ(layer.fTransformFrame, c.frame);
        EXPECT_EQ(layer.fDeformCalls > 0, c.deformed);
        const uint8_t centre = scene.At(0, 0).r;
        if (c.deformed)
            EXPECT_GT(centre, plain.At(0, 0).r + 40);
        else
            EXPECT_TRUE(scene.target.SameAs(plain.target));
    }
}

TEST(SSGradient2, ALayerBringsTheStopsToItsFrame)
{
    LayerScene scene;
    SS_Gradient2 style;
    style.Stop(0)->fColor.SetValue(12, kBlack);
    StubLayer layer;
    layer.fFrame = 12;
    scene.Apply(style, 1, &layer);
    EXPECT_LT(scene.target.At(17, 32).r, 15);
    EXPECT_EQ(style.fCachedFrame, 12);
}

TEST(SSGradient2, HandlesOnTopOfEachOtherDrawNothing)
{
    LayerScene scene;
    scene.bounds.max.y = 0.0f;
    scene.bounds.min.y = 0.0f;
    SS_Gradient2 style;
    style.fType = kGradientRadial;
    TestRaster before(64, 64);
    before.FillRect(16, 16, 47, 47, kGrey);
    scene.Apply(style);
    EXPECT_TRUE(scene.target.SameAs(before));
}

TEST(SSGradient2, AShapeAFewPixelsWideStillGetsItsGradient)
{
    LayerScene scene;
    scene.rect = QV_Rect { 30, 30, 33, 33 };
    scene.bounds.min = QV_Vector3 { -0.0625f, -0.0625f, 0 };
    scene.bounds.max = QV_Vector3 { 0.0625f, 0.0625f, 0 };
    SS_Gradient2 style;
    scene.Apply(style);
    EXPECT_GT(scene.target.At(31, 31).r, scene.target.At(33, 31).r + 60);
}

TEST(SSGradient2, TheCallersTransformIsRestoredEvenAtTheDeepestLevel)
{
    LayerScene scene;
    for (int32_t i = 0; i < 40; i++)
        scene.graphics.Push();
    ASSERT_EQ(scene.graphics.fMatrixDepth, QV_Graphics::kMatrixLevels - 1);
    const QV_Matrix before = scene.graphics.CurrentTransform();
    SS_Gradient2 style;
    scene.Apply(style);
    EXPECT_EQ(scene.graphics.fMatrixDepth, QV_Graphics::kMatrixLevels - 1);
    const QV_Matrix after = scene.graphics.CurrentTransform();
    for (int32_t i = 0; i < 16; i++)
        EXPECT_EQ(after.m[i], before.m[i]);
    scene.graphics.Pop();
    EXPECT_EQ(scene.graphics.fMatrixDepth, QV_Graphics::kMatrixLevels - 2);
}

} // namespace
