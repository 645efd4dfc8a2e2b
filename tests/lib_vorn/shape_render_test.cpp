#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "console_sink.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "layer_test_support.h"
#include "m_brush.h"
#include "m_shapestyle.h"
#include "qv_random.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "shape_render.h"
#include "shape_render_style.h"
#include "shape_render_support.h"

namespace {

// A 96 x 64 document shows world y from -1 (bottom) to 1 (top) over its 64 rows: 32 pixels a
// unit, the centre at (48, 32).
constexpr float kLine = 4.0f / 64.0f;

// The square of half-size 0.5 about the centre: columns and rows 32 .. 64 and 16 .. 48.
M_Shape* CentreSquare(ShapeBench& bench, rgb_color fill = kFillRed, rgb_color line = kLineBlue,
    float width = kLine, bool hasFill = true, bool hasOutline = true)
{
    return bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), fill, line, width, hasFill, hasOutline);
}

bool SameColour(const uint8_t* p, rgb_color c)
{
    return p[kRed] == c.r && p[kGreen] == c.g && p[kBlue] == c.b;
}

TEST(ShapeRender, OpaqueShapeIsDrawnStraightIntoThePreviewFillThenOutline)
{
    ShapeBench direct;
    direct.UsePreview();
    CentreSquare(direct);
    direct.Ready();
    direct.RenderAll();
    // Neither the drawing raster nor the target is touched.
    EXPECT_EQ(ShapeBench::AlphaSum(direct.target), 0);
    EXPECT_EQ(ShapeBench::AlphaSum(direct.drawBuffer), 0);
    EXPECT_TRUE(SameColour(ShapeBench::At(direct.previewBuffer, 48, 32), kFillRed));
    // The inner half of the outline, inside the fill: the outline came second.
    EXPECT_TRUE(SameColour(ShapeBench::At(direct.previewBuffer, 33, 32), kLineBlue));
    EXPECT_TRUE(SameColour(ShapeBench::At(direct.previewBuffer, 48, 17), kLineBlue));

    ShapeBench masked;
    CentreSquare(masked);
    masked.Ready();
    masked.RenderAll();
    EXPECT_TRUE(SameColour(ShapeBench::At(masked.target, 33, 32), kLineBlue));
    // Only the rounding of the anti-aliased edges may differ.
    EXPECT_LE(ShapeBench::MaxDifference(direct.previewBuffer, masked.target), 2);
}

TEST(ShapeRender, TranslucentFillIsFadedAndTheOutlineCompositedOnTop)
{
    ShapeBench bench;
    bench.UsePreview();
    rgb_color fill = kFillRed;
    fill.a = 128;
    CentreSquare(bench, fill);
    bench.Ready();
    bench.RenderAll();
    // Not direct: the preview stays empty and the target gets both passes.
    EXPECT_EQ(ShapeBench::AlphaSum(bench.previewBuffer), 0);
    const uint8_t* centre = ShapeBench::At(bench.target, 48, 32);
    // Composited over transparent black, whose colour the blend keeps in the mix.
    EXPECT_EQ(centre[kRed], BlendMulTable[128][kFillRed.r]);
    EXPECT_EQ(centre[kBlue], BlendMulTable[128][kFillRed.b]);
    EXPECT_EQ(centre[kAlpha], 128);
    const uint8_t* edge = ShapeBench::At(bench.target, 33, 32);
    EXPECT_TRUE(SameColour(edge, kLineBlue));
    EXPECT_EQ(edge[kAlpha], 255);
}

TEST(ShapeRender, WhatPreventsDirectDrawing)
{
    struct Case {
        const char* name;
        uint8_t fillAlpha;
        uint8_t lineAlpha;
        bool hasFill;
        bool hasOutline;
        bool texture;
        bool direct;
    };
    const Case cases[] = {
        { "opaque", 255, 255, true, true, false, true },
        { "translucent fill", 200, 255, true, true, false, false },
        { "translucent fill, no fill", 200, 255, false, true, false, true },
        { "translucent line", 255, 200, true, true, false, false },
        { "translucent line, no outline", 255, 200, true, false, false, true },
        { "fill texture path", 255, 255, true, true, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShapeBench bench;
        bench.UsePreview();
        CentreSquare(bench, rgb_color { 220, 30, 20, c.fillAlpha }, rgb_color { 10, 40, 200, c.lineAlpha },
            kLine, c.hasFill, c.hasOutline);
        if (c.texture) {
            ASSERT_TRUE(bench.layer->SetFillTexture("/nonexistent/texture.png"));
        }
        bench.Ready();
        bench.RenderAll();
        EXPECT_EQ(ShapeBench::AlphaSum(bench.previewBuffer) > 0, c.direct);
        EXPECT_EQ(ShapeBench::AlphaSum(bench.target) > 0, !c.direct);
    }
}

TEST(ShapeRender, NoFillsDrawsTheOutlineOnly)
{
    for (const bool preview : { false, true }) {
        SCOPED_TRACE(preview ? "direct" : "mask");
        ShapeBench bench;
        if (preview)
            bench.UsePreview();
        bench.settings.fNoFills = true;
        CentreSquare(bench);
        bench.Ready();
        bench.RenderAll();
        const QV_BaseImage& out = preview ? bench.previewBuffer : bench.target;
        EXPECT_EQ(ShapeBench::At(out, 48, 32)[kAlpha], 0);
        EXPECT_TRUE(SameColour(ShapeBench::At(out, 33, 32), kLineBlue));
        EXPECT_EQ(ShapeBench::At(out, 33, 32)[kAlpha], 255);
    }
}

TEST(ShapeRender, NoOutlineWhateverTheStyleWidth)
{
    ShapeBench bench;
    CentreSquare(bench, kFillRed, kLineBlue, 8.0f / 64.0f, true, false);
    bench.Ready();
    bench.RenderAll();
    EXPECT_TRUE(SameColour(ShapeBench::At(bench.target, 33, 32), kFillRed));
    EXPECT_EQ(ShapeBench::At(bench.target, 29, 32)[kAlpha], 0);
}

TEST(ShapeRender, MaskLayerOutlineCutsAlphaOutOfTheTarget)
{
    ShapeBench bench;
    bench.settings.fRenderingMask = true;
    CentreSquare(bench, kFillRed, kLineBlue, 6.0f / 64.0f);
    FillRaster(bench.target.buffer, rgb_color { 0, 255, 0, 255 });
    bench.Ready();
    bench.RenderAll();
    // The fill composites as usual; the outline takes alpha away, its middle all of it.
    const uint8_t* centre = ShapeBench::At(bench.target, 48, 32);
    EXPECT_TRUE(SameColour(centre, kFillRed));
    EXPECT_EQ(centre[kAlpha], 255);
    EXPECT_EQ(ShapeBench::At(bench.target, 32, 32)[kAlpha], 0);
    EXPECT_EQ(ShapeBench::At(bench.target, 5, 5)[kAlpha], 255);
}

// Two filled shapes over the same border: the lower one strokes the shared segments in its
// fill colour, the upper one (nothing filled above it) does not.
TEST(ShapeRender, SeamStrokeOnlyUnderAFilledShapeAbove)
{
    auto coverage = [](bool upperFilled, int32_t item) {
        ShapeBench bench;
        const int32_t curve = bench.Square(-0.5f, 0.5f, 0.5f, -0.5f);
        bench.Shape(curve, kFillRed, kLineBlue, 0, true, false);
        bench.Shape(curve, kFillRed, kLineBlue, 0, upperFilled, false);
        bench.Ready();
        bench.RenderItem(item);
        return ShapeBench::AlphaSum(bench.target);
    };
    const int64_t lowerWithSeam = coverage(true, 0);
    const int64_t lowerAlone = coverage(false, 0);
    const int64_t upper = coverage(true, 1);
    // 1.75 pixels centred on the border reach 0.875 pixels outside it.
    EXPECT_GT(lowerWithSeam, lowerAlone + 4 * 32 * 255 / 2);
    EXPECT_EQ(upper, lowerAlone);
}

TEST(ShapeRender, DanglingSegmentsGetNoSeam)
{
    auto coverage = [](bool dangling) {
        ShapeBench bench;
        const int32_t curve = bench.Square(-0.5f, 0.5f, 0.5f, -0.5f);
        bench.Shape(curve, kFillRed, kLineBlue, 0, true, false);
        bench.Shape(curve, kFillRed, kLineBlue, 0, true, false);
        bench.Ready();
        for (int32_t i = 0; i < bench.layer->fMesh.fNumPoints; i++)
            bench.layer->fMesh.fPoints[i]->fDangling = dangling;
        bench.RenderItem(0);
        return ShapeBench::AlphaSum(bench.target);
    };
    // Dangling segments are not filled either: nothing at all.
    EXPECT_GT(coverage(false), 0);
    EXPECT_EQ(coverage(true), 0);
}

// The noisy outline drawn by hand the way the renderer is meant to draw it: strokes k = 0 .. n - 1
// with seeds 7 k (plus the frame with animated noise), every edge a wide curve.
void DrawNoisyReference(ShapeBench& bench, XGraphics& g, int32_t strokes, int32_t seedStep, int32_t seedBase)
{
    MeshLayer& layer = *bench.layer;
    g.Push();
    QV_Matrix m;
    layer.GetLayerTransform(bench.doc.CurFrame(), m, &bench.doc);
    g.ApplyMatrix(m);
    g.SetColorStruct(kLineBlue);
    const float h = 64;
    const M_Shape* shape = layer.fMesh.fShapes[0];
    for (int32_t k = 0; k < strokes; k++) {
        g.SetLineNoise(RoundShapePixels(layer.fNoiseAmp * h),
            std::max(1, RoundShapePixels(layer.fNoiseScale * h)), seedStep * k + seedBase);
        for (int32_t e = 0; e < shape->fNumEdges; e++) {
            QV_Vector2 p[4];
            layer.fMesh.fCurves[shape->fEdgeCurves[e]]->GetSegmentBezier(shape->fEdgeSegments[e], p);
            g.SetPenWidth(4);
            g.DrawWideCurve(p, 4, 4);
        }
        g.SetPenWidth(1);
        g.fLineNoise = false;
    }
    g.Pop();
}

TEST(ShapeRender, NoisyStrokesStepTheirSeedsBySeven)
{
    struct Case {
        bool animated;
        int32_t frame;
    };
    for (const Case c : { Case { false, 0 }, Case { true, 3 } }) {
        SCOPED_TRACE(c.animated ? "animated" : "still");
        ShapeBench bench;
        bench.UsePreview();
        bench.layer->fNoisyLines = true;
        bench.layer->fExtraSketchy = false;
        bench.layer->fAnimatedNoise = c.animated;
        bench.layer->fNoiseAmp = 3.0f / 64.0f;
        // Widths at the render scale, not probed per end.
        bench.layer->fScaleCompensation = false;
        CentreSquare(bench, kFillRed, kLineBlue, kLine, false, true);
        bench.Ready(c.frame);
        bench.RenderAll();

        const int32_t base = c.animated ? c.frame : 0;
        ShapeBench reference;
        XGraphics g;
        ShapeBench::Attach(g, reference.target, 96, 64);
        DrawNoisyReference(bench, g, 6, 7, base);
        EXPECT_EQ(ShapeBench::MaxDifference(bench.previewBuffer, reference.target), 0);

        ShapeBench stepOne;
        XGraphics g1;
        ShapeBench::Attach(g1, stepOne.target, 96, 64);
        DrawNoisyReference(bench, g1, 6, 1, base);
        EXPECT_GT(ShapeBench::MaxDifference(bench.previewBuffer, stepOne.target), 0);
    }
}

TEST(ShapeRender, SketchyWithoutExtraLinesKeepsEveryEdge)
{
    ShapeBench bench;
    bench.layer->fNoisyLines = true;
    bench.layer->fExtraSketchy = true;
    bench.layer->fExtraLines = 0;
    CentreSquare(bench, kFillRed, kLineBlue, 6.0f / 64.0f, false, true);
    bench.Ready();
    bench.RenderAll();
    // Some ink near the middle of each side.
    const int32_t sides[4][2] = { { 48, 16 }, { 64, 32 }, { 48, 48 }, { 32, 32 } };
    for (const auto& side : sides) {
        int32_t ink = 0;
        for (int32_t d = -4; d <= 4; d++) {
            const bool horizontal = side[0] == 48;
            const int32_t x = horizontal ? side[0] : side[0] + d;
            const int32_t y = horizontal ? side[1] + d : side[1];
            ink += ShapeBench::At(bench.target, x, y)[kAlpha];
        }
        EXPECT_GT(ink, 0) << side[0] << "," << side[1];
    }
}

TEST(ShapeRender, PointWidthsOverrideTheStyleWidth)
{
    // -1 takes the style's width, 0 ends the stroke in a point.
    ShapeBench bench;
    bench.Shape(bench.Polygon({ { -1, 0 }, { 1, 0 } }), kFillRed, kLineBlue, 8.0f / 64.0f, false, true);
    M_Mesh& mesh = bench.layer->fMesh;
    mesh.fCurves[0]->fClosed = false;
    mesh.fPoints[0]->fWidth.SetValue(0, -1);
    mesh.fPoints[1]->fWidth.SetValue(0, 0);
    // Only the open segment 0 is an edge.
    mesh.fShapes[0]->DeleteEdge(1);
    bench.Ready();
    bench.RenderAll();
    auto thickness = [&](int32_t x) {
        int32_t rows = 0;
        for (int32_t y = 0; y < 64; y++)
            rows += ShapeBench::At(bench.target, x, y)[kAlpha] > 128 ? 1 : 0;
        return rows;
    };
    EXPECT_GE(thickness(18), 7);
    EXPECT_LE(thickness(79), 2);
}

// Point widths well beyond the style's width: the finished rectangle must hold the whole stroke,
// not just the pen's width around the curve.
TEST(ShapeRender, WidePointWidthsAreNotCutOff)
{
    for (const bool preview : { true, false }) {
        SCOPED_TRACE(preview ? "direct" : "mask");
        ShapeBench bench;
        if (preview)
            bench.UsePreview();
        bench.Shape(bench.Polygon({ { -1, 0 }, { 1, 0 } }), kFillRed, kLineBlue, 2.0f / 64.0f, false, true);
        M_Mesh& mesh = bench.layer->fMesh;
        mesh.fCurves[0]->fClosed = false;
        mesh.fShapes[0]->DeleteEdge(1);
        // 24 pixels wide along the whole segment.
        mesh.fPoints[0]->fWidth.SetValue(0, 24.0f / 64.0f);
        mesh.fPoints[1]->fWidth.SetValue(0, 24.0f / 64.0f);
        bench.Ready();
        bench.RenderAll();
        const QV_BaseImage& out = preview ? bench.previewBuffer : bench.target;
        int32_t rows = 0;
        for (int32_t y = 0; y < 64; y++)
            rows += ShapeBench::At(out, 48, y)[kAlpha] > 128 ? 1 : 0;
        EXPECT_GE(rows, 22);
    }
}

// A drawing raster left dirty by whatever drew into it before gives the same shapes as a clean one.
TEST(ShapeRender, LeftoversInTheDrawingRasterDoNotShow)
{
    ShapeBench clean;
    ShapeBench dirty;
    for (ShapeBench* bench : { &clean, &dirty }) {
        bench->Shape(bench->Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, kLine);
        rgb_color fill = kFillRed;
        fill.a = 100;
        bench->Shape(bench->Square(0.2f, 0.9f, 1.4f, -0.2f), fill, kLineBlue, kLine);
        bench->Ready();
    }
    FillRaster(dirty.drawBuffer.buffer, rgb_color { 255, 255, 255, 255 });
    clean.RenderAll();
    dirty.RenderAll();
    EXPECT_EQ(ShapeBench::MaxDifference(clean.target, dirty.target), 0);
}

// The job's buffers carry a margin around the frame; the shapes land in the target where the
// frame shows them.
TEST(ShapeRender, MarginBufferCompositesAtTheFrameOffset)
{
    ShapeBench bench;
    const int32_t margin = 16;
    bench.settings.fMargin = margin;
    bench.drawing.fZoom = 64.0f / (64 + 2 * margin);
    bench.drawBuffer.Free();
    bench.drawBuffer.Allocate(96 + 2 * margin, 64 + 2 * margin, 32);
    ShapeBench::Clear(bench.drawBuffer.buffer);
    bench.drawing.SetRaster(&bench.drawBuffer.buffer);
    bench.drawing.BeginDraw();
    CentreSquare(bench);
    bench.Ready();
    bench.RenderAll();
    EXPECT_TRUE(SameColour(ShapeBench::At(bench.target, 48, 32), kFillRed));
    EXPECT_TRUE(SameColour(ShapeBench::At(bench.target, 33, 32), kLineBlue));
    EXPECT_EQ(ShapeBench::At(bench.target, 28, 32)[kAlpha], 0);
}

TEST(ShapeRender, FillTextureLoadsOnceAndModulatesAlpha)
{
    char folder[] = "/tmp/celvane_shape_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/grain.png";
    {
        QV_BaseImage grain;
        ASSERT_EQ(grain.Allocate(4, 4, 32), 0);
        FillRaster(grain.buffer, rgb_color { 128, 0, 0, 255 });
        ImageFormatRegistry::Init();
        ASSERT_EQ(SaveImageFile(grain, path.c_str(), PngWriterIndex), 0);
    }
    ShapeBench bench;
    CentreSquare(bench);
    ASSERT_TRUE(bench.layer->SetFillTexture(path.c_str()));
    bench.Ready();
    bench.RenderAll();
    ASSERT_NE(bench.layer->fFillTextureImage.buffer.pixels, nullptr);
    EXPECT_EQ(bench.layer->fFillTextureImage.buffer.depth, 8);
    EXPECT_EQ(bench.layer->fFillTextureImage.buffer.pixels[0], 128);
    EXPECT_NEAR(ShapeBench::At(bench.target, 48, 32)[kAlpha], 128, 1);
    // The line texture has no path: the outline stays opaque.
    EXPECT_EQ(ShapeBench::At(bench.target, 33, 32)[kAlpha], 255);
    std::remove(path.c_str());
    rmdir(folder);

    // A file that cannot be read leaves the fill as it is and is tried again next time.
    ShapeBench missing;
    CentreSquare(missing);
    ASSERT_TRUE(missing.layer->SetFillTexture("/nonexistent/grain.png"));
    missing.Ready();
    missing.RenderAll();
    EXPECT_EQ(missing.layer->fFillTextureImage.buffer.pixels, nullptr);
    EXPECT_EQ(ShapeBench::At(missing.target, 48, 32)[kAlpha], 255);
}

TEST(ShapeRender, BoneToolsShowTheBonesAtFrameZero)
{
    for (const char* tool : { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength", "QV_Select" }) {
        SCOPED_TRACE(tool);
        const bool moves = std::string(tool) != "QV_Select";
        ShapeBench bench;
        StandInGroupKind* bones = new StandInGroupKind(LT_BONE);
        bones->bones.boneOffsets = { { 0.5f, 0 } };
        // The bench's layer moves into the bone layer.
        bench.doc.fLayers.Remove(bench.layer);
        bones->AddLayer(bench.layer);
        bench.doc.AddLayer(bones);
        CentreSquare(bench);
        M_Mesh& mesh = bench.layer->fMesh;
        for (int32_t i = 0; i < mesh.fNumPoints; i++)
            mesh.fPoints[i]->fParent = 0;
        bench.doc.fCurrentTool = tool;
        bench.Ready();
        bench.RenderAll();
        // Half a unit is 16 pixels to the right.
        EXPECT_EQ(ShapeBench::At(bench.target, 36, 32)[kAlpha] == 0, moves);
        EXPECT_EQ(ShapeBench::At(bench.target, 70, 32)[kAlpha] > 0, moves);
        EXPECT_FLOAT_EQ(mesh.fPoints[0]->fPos.x, -0.5f);
    }
}

// Counts what the renderer asks of an effect.
class ProbeEffect : public M_ShapeStyle {
public:
    ProbeEffect(int32_t type, float margin, std::vector<std::string>& log, const char* name)
        : fType(type)
        , fMarginValue(margin)
        , fLog(log)
        , fName(name)
    {
    }
    int32_t StyleType() override { return fType; }
    float Margin() override { return fMarginValue; }
    void ApplyInLayer(XGraphics*, QV_PixelBuffer* image, QV_Rect rect, QV_BBox bounds, QV_PixelBuffer*,
        StyleDocument*, StyleLayer*, float scale, M_Shape*, int32_t finalRender) override
    {
        fLog.push_back(fName);
        lastRect = rect;
        lastBounds = bounds;
        lastWidth = image->width;
        lastScale = scale;
        lastFinal = finalRender;
    }

    QV_Rect lastRect {};
    QV_BBox lastBounds {};
    int32_t lastWidth = 0;
    float lastScale = 0;
    int32_t lastFinal = 0;

private:
    int32_t fType;
    float fMarginValue;
    std::vector<std::string>& fLog;
    const char* fName;
};

TEST(ShapeRender, EffectsRunPerPassInStyleOrder)
{
    std::vector<std::string> log;
    ShapeBench bench;
    bench.UsePreview();
    M_Shape* shape = CentreSquare(bench);
    M_Style* first = new M_Style(0);
    M_Style* second = new M_Style(0);
    bench.doc.AddStyle(first);
    bench.doc.AddStyle(second);
    shape->fStyle1 = first;
    shape->fStyle2 = second;
    shape->fMyStyle.fEffects[0] = new ProbeEffect(0, 0, log, "own fill 0");
    shape->fMyStyle.fEffects[1] = new ProbeEffect(0, 0, log, "own fill 1");
    second->fEffects[kLineEffectSlot] = new ProbeEffect(0, 0, log, "second line");
    ProbeEffect* margin = new ProbeEffect(0, 8.0f / 64.0f, log, "first fill");
    first->fEffects[0] = margin;
    bench.Ready();
    bench.RenderAll();
    // Not drawn directly: the effects need the mask.
    EXPECT_EQ(ShapeBench::AlphaSum(bench.previewBuffer), 0);
    const std::vector<std::string> expected = { "first fill", "own fill 0", "own fill 1", "second line" };
    EXPECT_EQ(log, expected);
    // 8 pixels of margin around the fill (16 .. 48 drawn, a little anti-aliasing around it).
    EXPECT_LE(margin->lastRect.top, 16 - 8);
    EXPECT_GE(margin->lastRect.top, 16 - 8 - 2);
    EXPECT_EQ(margin->lastWidth, margin->lastRect.right - margin->lastRect.left + 1);
    EXPECT_NEAR(margin->lastScale, 1.0f, 1e-4f);
    EXPECT_EQ(margin->lastFinal, 1);
    // The layer-unit box of the fill grown by the margin.
    EXPECT_NEAR(margin->lastBounds.min.x, -0.5f - 0.125f, 1e-5f);
    EXPECT_NEAR(margin->lastBounds.max.y, 0.5f + 0.125f, 1e-5f);

    // With shape effects off nothing is applied and the shape is drawn directly again.
    log.clear();
    ShapeBench::Clear(bench.previewBuffer.buffer);
    bench.settings.fShapeEffects = false;
    bench.RenderAll();
    EXPECT_TRUE(log.empty());
    EXPECT_GT(ShapeBench::AlphaSum(bench.previewBuffer), 0);
}

TEST(ShapeRender, LayerSpaceEffectsWidenTheBoundsByTheBoneFactor)
{
    for (const bool boneBound : { false, true }) {
        SCOPED_TRACE(boneBound ? "bone-bound" : "free");
        std::vector<std::string> log;
        ShapeBench bench;
        if (boneBound) {
            StandInGroupKind* bones = new StandInGroupKind(LT_BONE);
            bones->bones.boneOffsets = { { 0, 0 } };
            bench.doc.fLayers.Remove(bench.layer);
            bones->AddLayer(bench.layer);
            bench.doc.AddLayer(bones);
        }
        M_Shape* shape = CentreSquare(bench, kFillRed, kLineBlue, kLine, true, false);
        if (boneBound)
            bench.layer->fMesh.fPoints[2]->fParent = 0;
        ProbeEffect* gradient = new ProbeEffect(9, 0, log, "gradient");
        shape->fMyStyle.fEffects[0] = gradient;
        bench.Ready();
        bench.RenderAll();
        ASSERT_EQ(log.size(), 1u);
        const float half = boneBound ? 1.0f : 0.625f;
        EXPECT_NEAR(gradient->lastBounds.min.x, -half, 1e-5f);
        EXPECT_NEAR(gradient->lastBounds.max.y, half, 1e-5f);
    }
}

TEST(ShapeRender, EffectiveStylePrefersOwnThenSecondThenFirst)
{
    M_Shape shape(0);
    M_Style first(0);
    M_Style second(0);
    shape.fStyle1 = &first;
    shape.fStyle2 = &second;
    shape.fHasOutline = true;
    shape.fMyStyle.fDefineFillCol = true;
    shape.fMyStyle.fFillCol.SetValue(0, rgb_color { 1, 0, 0, 255 });
    second.fDefineFillCol = true;
    second.fFillCol.SetValue(0, rgb_color { 2, 0, 0, 255 });
    second.fDefineLineCol = true;
    second.fLineCol.SetValue(0, rgb_color { 0, 2, 0, 255 });
    first.fDefineLineCol = true;
    first.fLineCol.SetValue(0, rgb_color { 0, 1, 0, 255 });
    first.fDefineLineWidth = true;
    first.fLineWidth = 0.25f;
    shape.fMyStyle.fLineWidth = 0.5f;
    second.fDefineLineWidth = false;
    first.fDefineFillCol = false;
    ShapeRenderStyle style;
    ResolveShapeRenderStyle(&shape, style);
    EXPECT_EQ(style.fFillColor.r, 1);
    EXPECT_EQ(style.fLineColor.g, 2);
    EXPECT_FLOAT_EQ(style.fLineWidth, 0.25f);
    EXPECT_FALSE(style.HasBrush());
    // Nobody defines it: the own value all the same; no outline, no width.
    first.fDefineLineWidth = false;
    ResolveShapeRenderStyle(&shape, style);
    EXPECT_FLOAT_EQ(style.fLineWidth, 0.5f);
    shape.fHasOutline = false;
    ResolveShapeRenderStyle(&shape, style);
    EXPECT_FLOAT_EQ(style.fLineWidth, 0);
    shape.fStyle1 = nullptr;
    shape.fStyle2 = nullptr;
}

TEST(ShapeRender, MissingShapeAndEmptyShapeLeaveTheTargetAlone)
{
    ShapeBench bench;
    CentreSquare(bench, kFillRed, kLineBlue, 0, false, false);
    bench.Ready();
    bench.RenderItem(0);
    bench.RenderItem(5);
    EXPECT_EQ(ShapeBench::AlphaSum(bench.target), 0);
    EXPECT_EQ(bench.layer->CountRenderItems(), 1);
}

class LineRecorder : public ConsoleSink {
public:
    LineRecorder() { SetConsoleSink(this); }
    ~LineRecorder() override { SetConsoleSink(nullptr); }
    void Print(const char* text, rgb_color) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

// Edges naming a missing curve or a segment past the curve's end are reported once by the fill
// and left out; the rest of the shape is drawn.
TEST(ShapeRender, BadEdgesAreSkippedWithTheirMessages)
{
    LineRecorder console;
    ShapeBench bench;
    M_Shape* shape = CentreSquare(bench, kFillRed, kLineBlue, kLine);
    // A second shape above, so the seam search looks at the bad edges too.
    bench.Shape(bench.Square(0.6f, 0.9f, 0.9f, 0.6f), kFillRed, kLineBlue, kLine);
    shape->AddEdge(7, 0, 0);
    shape->AddEdge(0, 9, 0);
    shape->AddEdge(0, -1, 0);
    bench.Ready();
    bench.RenderItem(0);
    EXPECT_EQ(ShapeBench::At(bench.target, 48, 32)[kAlpha], 255);
    const std::vector<std::string> expected = { "M_Mesh:Curve - out of range", "M_Mesh:Curve - out of range",
        "M_Curve:IsSegmentOn - out of range" };
    ASSERT_EQ(console.lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_NE(console.lines[i].find(expected[i]), std::string::npos) << console.lines[i];
}

TEST(ShapeRender, RoundingIsHalfAwayFromZero)
{
    EXPECT_EQ(RoundShapePixels(2.5f), 3);
    EXPECT_EQ(RoundShapePixels(-2.5f), -3);
    EXPECT_EQ(RoundShapePixels(2.49f), 2);
    EXPECT_EQ(RoundShapePixels(0), 0);
}

} // namespace

namespace {

// A vector layer in a document, with one point (bound to nothing) and a shape.
struct StaticBench {
    StaticBench()
    {
        bench.Shape(bench.Square(-0.5f, 0.5f, 0.5f, -0.5f), kFillRed, kLineBlue, kLine);
        M_Mesh& mesh = bench.layer->fMesh;
        for (int32_t i = 0; i < mesh.fNumPoints; i++)
            mesh.fPoints[i]->fParent = kPointFollowsNoBone;
        bench.Ready();
    }
    bool Test()
    {
        bench.layer->fStaticState = -1;
        return bench.layer->IsFlatAndStatic();
    }
    ShapeBench bench;
};

TEST(ShapeRenderStatic, KeysAndScalesDecide)
{
    struct Case {
        const char* name;
        void (*change)(MeshLayer&);
        bool expected;
    };
    const Case cases[] = {
        { "unanimated", [](MeshLayer&) {}, true },
        { "uniform scale keys",
            [](MeshLayer& l) {
                l.fScale.SetValue(0, QV_Vector3 { 1, 1, 1 });
                l.fScale.SetValue(10, QV_Vector3 { 2, 2, 1 });
            },
            true },
        { "non-uniform scale key",
            [](MeshLayer& l) {
                l.fScale.SetValue(0, QV_Vector3 { 1, 1, 1 });
                l.fScale.SetValue(10, QV_Vector3 { 2, 1, 1 });
            },
            false },
        { "one non-uniform key",
            [](MeshLayer& l) {
                l.fScale.SetValue(0, QV_Vector3 { 2, 1, 1 });
            },
            true },
        { "point motion",
            [](MeshLayer& l) {
                l.fMesh.fPoints[1]->fAnimPos.SetValue(5, QV_Vector2 { 0, 0 });
            },
            false },
        { "point width", [](MeshLayer& l) { l.fMesh.fPoints[2]->fWidth.SetValue(5, 0.1f); }, false },
        { "curvature", [](MeshLayer& l) { l.fMesh.fCurves[0]->SetCurvature(1, 0.5f, 5); }, false },
        { "fill colour", [](MeshLayer& l) { l.fMesh.fShapes[0]->fMyStyle.fFillCol.SetValue(5, kLineBlue); },
            false },
        { "line colour", [](MeshLayer& l) { l.fMesh.fShapes[0]->fMyStyle.fLineCol.SetValue(5, kFillRed); },
            false },
        { "rotation (base test)", [](MeshLayer& l) { l.fRotationX.SetValue(5, 0.5f); }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StaticBench s;
        c.change(*s.bench.layer);
        EXPECT_EQ(s.Test(), c.expected);
        EXPECT_EQ(s.bench.layer->fStaticState, c.expected ? 1 : 0);
    }
}

TEST(ShapeRenderStatic, AncestorScaleAndBonesDecide)
{
    struct Case {
        const char* name;
        int32_t type;
        int32_t bones;
        int32_t pointParent;
        bool nonUniformParentScale;
        bool expected;
    };
    const Case cases[] = {
        { "group", LT_GROUP, 0, kPointFollowsAllBones, false, true },
        { "group with non-uniform scale keys", LT_GROUP, 0, kPointFollowsNoBone, true, false },
        { "bone layer with bones, point on all bones", LT_BONE, 2, kPointFollowsAllBones, false, false },
        { "bone layer with bones, point on one bone", LT_BONE, 2, 0, false, false },
        { "bone layer with bones, free points", LT_BONE, 2, kPointFollowsNoBone, false, true },
        { "bone layer without bones", LT_BONE, 0, kPointFollowsAllBones, false, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StaticBench s;
        ShapeBench& bench = s.bench;
        StandInGroupKind* parent = new StandInGroupKind(c.type);
        parent->bones.boneOffsets.resize(size_t(c.bones));
        if (c.nonUniformParentScale) {
            parent->fScale.SetValue(0, QV_Vector3 { 1, 1, 1 });
            parent->fScale.SetValue(10, QV_Vector3 { 1, 3, 1 });
        }
        bench.doc.fLayers.Remove(bench.layer);
        parent->AddLayer(bench.layer);
        bench.doc.AddLayer(parent);
        bench.layer->fMesh.fPoints[0]->fParent = c.pointParent;
        EXPECT_EQ(s.Test(), c.expected);
    }
}

TEST(ShapeRenderStatic, CachedUnlessTheLayerIsBeingEdited)
{
    StaticBench s;
    ShapeBench& bench = s.bench;
    EXPECT_TRUE(s.Test());
    // A key added afterwards goes unnoticed while another layer is selected ...
    bench.layer->fMesh.fPoints[0]->fAnimPos.SetValue(5, QV_Vector2 { 1, 1 });
    bench.doc.SetSelLayer(nullptr);
    EXPECT_TRUE(bench.layer->IsFlatAndStatic());
    // ... the selected layer is always tested afresh.
    bench.doc.SetSelLayer(bench.layer);
    EXPECT_FALSE(bench.layer->IsFlatAndStatic());
    EXPECT_EQ(bench.layer->fStaticState, 0);
}

} // namespace

namespace {

// A brush in the application's list for the length of a test: green with transparent corners
// (so it has alpha), its mask a white square.
struct ListedBrush {
    ListedBrush()
    {
        brush->fName = "test_brush.png";
        brush->fImage.Allocate(8, 8, 32);
        FillRaster(brush->fImage.buffer, rgb_color { 0, 200, 0, 255 });
        RasterPixel(brush->fImage.buffer, 0, 0)[kAlpha] = 0;
        brush->fHasAlpha = true;
        brush->fMask.Allocate(8, 8, 32);
        FillRaster(brush->fMask.buffer, rgb_color { 255, 255, 255, 255 });
        gBrushList.Append(brush);
    }
    ~ListedBrush() { FreeBrushes(); }
    M_Brush* brush = new M_Brush;
};

TEST(ShapeRender, ColourBrushKeepsItsColoursTintedBrushTakesTheLineColour)
{
    ListedBrush listed;
    for (const bool tint : { false, true }) {
        SCOPED_TRACE(tint ? "tinted" : "colour brush");
        ShapeBench bench;
        bench.UsePreview();
        M_Shape* shape = CentreSquare(bench, kFillRed, kLineBlue, 6.0f / 64.0f, false, true);
        shape->fMyStyle.fBrushName = "test_brush.png";
        shape->fMyStyle.fBrushTint = tint;
        bench.Ready();
        bench.RenderAll();
        // A brush is never drawn directly.
        EXPECT_EQ(ShapeBench::AlphaSum(bench.previewBuffer), 0);
        const uint8_t* p = ShapeBench::At(bench.target, 32, 32);
        EXPECT_GT(p[kAlpha], 0);
        if (tint)
            EXPECT_TRUE(SameColour(p, kLineBlue));
        else
            EXPECT_TRUE(SameColour(p, rgb_color { 0, 200, 0, 255 }));
    }
}

TEST(ShapeRender, BrushJitterRepeatsUnlessTheBrushVaries)
{
    ListedBrush listed;
    for (const bool varies : { false, true }) {
        SCOPED_TRACE(varies ? "varies" : "repeats");
        ShapeBench bench;
        M_Shape* shape = CentreSquare(bench, kFillRed, kLineBlue, 6.0f / 64.0f, false, true);
        shape->fMyStyle.fBrushName = "test_brush.png";
        shape->fMyStyle.fBrushTint = true;
        shape->fMyStyle.fBrushAngle = 3.0f;
        shape->fMyStyle.fBrushVaries = varies;
        bench.Ready();
        bench.RenderAll();
        QV_BaseImage first;
        first.Allocate(96, 64, 32);
        BlitRaster(bench.target.buffer, first.buffer, 0, 0);
        ShapeBench::Clear(bench.target.buffer);
        QV_SRand(12345);
        bench.RenderAll();
        EXPECT_EQ(ShapeBench::MaxDifference(first, bench.target) == 0, !varies);
    }
}

} // namespace

TEST(ShapeRender, AFullMatrixStackKeepsTheCallersTransform)
{
    ShapeBench bench;
    CentreSquare(bench);
    bench.Ready();
    for (int32_t i = 0; i < QV_Graphics::kMatrixLevels; i++)
        bench.drawing.Push();
    bench.drawing.fMatrices[bench.drawing.fMatrixDepth].m[12] = 0.125f;
    const QV_Matrix before = bench.drawing.CurrentTransform();
    const int32_t depth = bench.drawing.fMatrixDepth;
    bench.RenderAll();
    EXPECT_EQ(bench.drawing.fMatrixDepth, depth);
    for (int32_t i = 0; i < 16; i++)
        EXPECT_EQ(bench.drawing.CurrentTransform().m[i], before.m[i]);
    EXPECT_GT(ShapeBench::AlphaSum(bench.target), 0);
}

namespace {

// Twenty overlapping shapes: opaque ones, translucent ones, two on one curve (a seam under the
// upper), one reaching past the raster's edges.
void ManyShapes(ShapeBench& bench)
{
    for (int32_t i = 0; i < 20; i++) {
        const float x = -1.4f + 0.14f * float(i);
        const float y = 0.6f - 0.06f * float(i % 7);
        rgb_color fill { uint8_t(40 + 10 * i), uint8_t(200 - 9 * i), uint8_t(13 * i), 255 };
        if (i % 5 == 3)
            fill.a = 120;
        const rgb_color line { uint8_t(9 * i), 60, uint8_t(250 - 11 * i), uint8_t(i % 6 == 4 ? 90 : 255) };
        const int32_t curve = i == 19 ? bench.Square(-2.0f, 1.3f, 2.0f, 0.8f)
                                      : bench.Polygon({ { x, y }, { x + 0.5f, y - 0.1f }, { x + 0.3f, y - 0.7f } });
        bench.Shape(curve, fill, line, kLine * float(1 + i % 3) / 2);
        if (i == 7)
            bench.Shape(curve, kFillRed, kLineBlue, kLine);
    }
    bench.Ready();
}

} // namespace

// Shapes rendered one after the other find the drawing raster as the shape before left it (clear)
// and skip clearing it; the target must be byte for byte what it is when every shape finds the
// raster full of leftovers and clears what it needs itself.
TEST(ShapeRender, ShapesInTurnGiveWhatShapesOverLeftoversGive)
{
    ShapeBench inTurn;
    ShapeBench overLeftovers;
    ManyShapes(inTurn);
    ManyShapes(overLeftovers);
    ASSERT_GE(inTurn.layer->CountRenderItems(), 16);
    inTurn.RenderAll();
    for (int32_t i = 0; i < overLeftovers.layer->CountRenderItems(); i++) {
        FillRaster(overLeftovers.drawBuffer.buffer, rgb_color { 255, 255, 255, 255 });
        overLeftovers.layer->fMaskNote.Forget();
        overLeftovers.RenderItem(i);
    }
    const QV_PixelBuffer& a = inTurn.target.buffer;
    const QV_PixelBuffer& b = overLeftovers.target.buffer;
    int64_t covered = 0;
    for (int32_t y = 0; y < a.height; y++) {
        ASSERT_EQ(std::memcmp(RasterPixel(a, 0, y), RasterPixel(b, 0, y), size_t(a.width) * 4), 0) << "row " << y;
        for (int32_t x = 0; x < a.width; x++)
            covered += RasterPixel(a, x, y)[kAlpha] > 0;
    }
    EXPECT_GT(covered, a.width * a.height / 4);
}
