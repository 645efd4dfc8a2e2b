#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "drawing_support.h"
#include "layer_test_support.h"
#include "m_brush.h"
#include "m_point.h"
#include "m_shapestyle.h"
#include "qv_random.h"
#include "render_settings.h"

namespace {

constexpr rgb_color kRed { 255, 0, 0, 255 };
constexpr rgb_color kBlue { 0, 0, 255, 255 };
constexpr rgb_color kInactive { 203, 152, 152, 255 };
constexpr rgb_color kObject { 51, 102, 102, 255 };
constexpr rgb_color kSelection { 255, 0, 0, 255 };
constexpr int32_t kViewDefault = kDefaultViewQualityFlags;

bool IsRed(rgb_color c)
{
    return SameColour(c, kRed);
}

bool IsBlue(rgb_color c)
{
    return SameColour(c, kBlue);
}

bool IsWhite(rgb_color c)
{
    return SameColour(c, EditorCanvas::kWhite);
}

// A canvas with one vector layer at the top of the document.
struct LayerCanvas : EditorCanvas {
    LayerCanvas() { doc.AddLayer(layer); }

    void Draw(int32_t mode, VornLayer* current)
    {
        drawMode = mode;
        layer->Draw(&doc, &graphics, nullptr, drawMode, current, nullptr);
    }

    // Where the layer draws a point of its own space.
    QV_Point ScreenOf(QV_Vector2 world)
    {
        graphics.Push();
        QV_Matrix m;
        layer->GetLayerTransform(doc.fCurFrame, m, &doc);
        graphics.ApplyMatrix(m);
        QV_Point out;
        graphics.WorldToScreen(world, out);
        graphics.Pop();
        return out;
    }

    MeshLayer* layer = new MeshLayer;
    int32_t drawMode = 0;
};

} // namespace

TEST(MeshLayerDraw, CurrentLayerShowsSelectionAndHighlight)
{
    LayerCanvas canvas;
    M_Mesh& mesh = canvas.layer->fMesh;
    const int32_t a = AddSquare(mesh, -0.9f, -0.3f, -0.4f, 0.3f, kRed);
    const int32_t b = AddSquare(mesh, -0.2f, -0.3f, 0.3f, 0.3f, kRed);
    AddSquare(mesh, 0.5f, -0.3f, 0.9f, 0.3f, kRed);
    mesh.fShapes[a]->fSelected = true;
    mesh.fShapes[b]->fSelected = true;
    canvas.Draw(DRAW_CURRENT, canvas.layer);

    // The first selected shape: checkerboard, then the whole shape again solid at alpha 64.
    const auto pink = [](rgb_color c) { return c.r == 255 && c.g > 185 && c.g < 197 && c.g == c.b; };
    EXPECT_EQ(canvas.Count(IsWhite, 10, 40, 25, 60), 0);
    EXPECT_GT(canvas.Count(IsRed, 10, 40, 25, 60), 0);
    EXPECT_GT(canvas.Count(pink, 10, 40, 25, 60), 0);
    // The second keeps the checkerboard only.
    EXPECT_GT(canvas.Count(IsWhite, 42, 40, 62, 60), 0);
    EXPECT_GT(canvas.Count(IsRed, 42, 40, 62, 60), 0);
    EXPECT_EQ(canvas.Count(pink, 42, 40, 62, 60), 0);
    // An unselected shape is solid.
    EXPECT_EQ(canvas.Count(IsRed, 78, 40, 92, 60), 15 * 21);
    EXPECT_EQ(canvas.drawMode, DRAW_CURRENT);

    // Below the current layer, selected shapes look like any other.
    LayerCanvas other;
    AddSquare(other.layer->fMesh, -0.9f, -0.3f, -0.4f, 0.3f, kRed);
    other.layer->fMesh.fShapes[0]->fSelected = true;
    other.Draw(DRAW_BELOW, nullptr);
    EXPECT_EQ(other.Count(IsRed, 10, 40, 25, 60), 16 * 21);
}

TEST(MeshLayerDraw, QualityBitsChooseFillsAndOutlines)
{
    struct Case {
        int32_t view;
        bool fills;
        bool outlines;
    };
    const Case cases[] = {
        { kViewDefault, true, true },
        { kViewDefault & ~4, false, true },
        { kViewDefault & ~8, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.view);
        LayerPrefs prefs({ { "QualityFlags", c.view } });
        LayerCanvas canvas;
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.06f);
        canvas.Draw(DRAW_BELOW, nullptr);
        EXPECT_EQ(canvas.Count(IsRed) > 0, c.fills);
        EXPECT_EQ(canvas.Count(IsBlue) > 0, c.outlines);
    }
    // The layer's own flags take bits away too.
    LayerCanvas canvas;
    canvas.layer->fQualityFlags &= ~4;
    AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
    canvas.Draw(DRAW_BELOW, nullptr);
    EXPECT_EQ(canvas.Count(IsRed), 0);
}

TEST(MeshLayerDraw, OverlaysStayWithoutFillsAndOutlines)
{
    LayerPrefs prefs({ { "QualityFlags", kViewDefault & ~(4 | 8) } });
    LayerCanvas canvas;
    canvas.doc.SetSelLayer(canvas.layer);
    AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kBlue, kBlue, 0.06f);
    canvas.Draw(DRAW_EDIT, canvas.layer);
    EXPECT_EQ(canvas.Count(IsBlue), 0);
    // AddCurve leaves the first point unselected: a square outline in the object colour.
    const QV_Point p0 = canvas.ScreenOf({ -0.5f, -0.5f });
    EXPECT_TRUE(SameColour(canvas.Pixel(p0.x - 2, p0.y - 2), kObject));
    // A selected point: a filled square of half-size 3.
    const QV_Point p1 = canvas.ScreenOf({ 0.5f, -0.5f });
    EXPECT_TRUE(SameColour(canvas.Pixel(p1.x + 2, p1.y - 3), kSelection));
    EXPECT_TRUE(SameColour(canvas.Pixel(p1.x - 3, p1.y + 2), kSelection));
    // Curves in the object colour, away from the markers.
    const QV_Point mid = canvas.ScreenOf({ 0, 0.5f });
    EXPECT_TRUE(SameColour(canvas.Pixel(mid.x, mid.y), kObject));
}

TEST(MeshLayerDraw, TransparencyFollowsLayerOpacity)
{
    {
        LayerPrefs prefs({ { "QualityFlags", kViewDefault | 0x80 } });
        LayerCanvas canvas;
        canvas.layer->fAlpha.SetValue(0, 0.5f);
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
        canvas.Draw(DRAW_BELOW, nullptr);
        // Alpha round(0.5 x 255) = 128 over white.
        const rgb_color c = canvas.Pixel(50, 50);
        EXPECT_EQ(c.r, 255);
        EXPECT_NEAR(c.g, 127, 1);
    }
    // Without the bit a half-transparent fill is drawn opaque.
    LayerCanvas canvas;
    AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 255, 0, 0, 128 });
    canvas.Draw(DRAW_BELOW, nullptr);
    EXPECT_TRUE(IsRed(canvas.Pixel(50, 50)));
}

TEST(MeshLayerDraw, MaskingModesChooseFillModes)
{
    struct Case {
        int32_t masking;
        int32_t fillMode;
        bool visible;
    };
    const Case cases[] = {
        { MM_MASKED, 4, true },
        { MM_NOTMASKED, 1, true },
        { MM_ADD_MASK, 12, true },
        { MM_SUB_MASK, 20, true },
        { MM_ADD_MASK_INVIS, 8, false },
        { MM_SUB_MASK_INVIS, 16, false },
        { MM_CLEAR_ADD_MASK, 12, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.masking);
        LayerCanvas canvas;
        canvas.layer->SetMaskingMode(c.masking);
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
        canvas.graphics.PushMask(true);
        canvas.Draw(DRAW_BELOW, nullptr);
        EXPECT_EQ(canvas.layer->fEditorFillMode, c.fillMode);
        EXPECT_EQ(canvas.graphics.fFillMode, 1);
        EXPECT_EQ(IsRed(canvas.Pixel(50, 50)), c.visible);
    }
    // Without a mask buffer the invisible modes keep no bit and draw solid.
    LayerCanvas unmasked;
    unmasked.layer->SetMaskingMode(MM_SUB_MASK_INVIS);
    AddSquare(unmasked.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
    unmasked.Draw(DRAW_BELOW, nullptr);
    EXPECT_EQ(unmasked.layer->fEditorFillMode, 16);
    EXPECT_TRUE(IsRed(unmasked.Pixel(50, 50)));
    // Without the masking preview everything is solid.
    LayerPrefs prefs({ { "QualityFlags", kViewDefault & ~0x40 } });
    LayerCanvas plain;
    plain.layer->SetMaskingMode(MM_SUB_MASK_INVIS);
    plain.Draw(DRAW_BELOW, nullptr);
    EXPECT_EQ(plain.layer->fEditorFillMode, 1);
}

TEST(MeshLayerDraw, GroupWithoutMaskLendsItsMaskingMode)
{
    struct Case {
        int32_t groupMask;
        int32_t fillMode;
    };
    for (const Case& c : { Case { GROUP_MASK_NONE, 20 }, Case { GROUP_MASK_SHOW_ALL, 4 } }) {
        EditorCanvas canvas;
        GroupLayer* group = new GroupLayer;
        MeshLayer* layer = new MeshLayer;
        canvas.doc.AddLayer(group);
        group->AddLayer(layer);
        group->SetMaskingMode(MM_SUB_MASK);
        group->SetGroupMask(c.groupMask);
        int32_t mode = DRAW_BELOW;
        layer->Draw(&canvas.doc, &canvas.graphics, nullptr, mode, nullptr, nullptr);
        EXPECT_EQ(layer->fEditorFillMode, c.fillMode);
    }
}

TEST(MeshLayerDraw, ClearAddMaskStartsTheMaskAfresh)
{
    LayerCanvas canvas;
    canvas.layer->SetMaskingMode(MM_CLEAR_ADD_MASK);
    AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
    canvas.graphics.PushMask(true);
    canvas.Draw(DRAW_BELOW, nullptr);
    const auto bit = [&](int32_t x, int32_t y) {
        return (canvas.graphics.fMask[y * 100 + x] & canvas.graphics.fMaskBit) != 0;
    };
    EXPECT_TRUE(bit(50, 50));
    EXPECT_FALSE(bit(5, 5));
}

TEST(MeshLayerDraw, PointMarkersOfTheCurrentGroupsLayers)
{
    struct Case {
        int32_t mode;
        int32_t frame;
        bool parentCurrent;
        bool markers;
    };
    const Case cases[] = {
        { DRAW_BELOW, 0, true, true },
        { DRAW_ABOVE, 0, true, true },
        { DRAW_BELOW, 1, true, false },
        { DRAW_BELOW, 0, false, false },
        { DRAW_ONION, 0, true, false },
    };
    const rgb_color green { 0, 200, 0, 255 };
    EditorColours colours({ { "VornColInac", green } });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.frame << " " << c.parentCurrent);
        EditorCanvas canvas;
        GroupLayer* group = new GroupLayer;
        MeshLayer* layer = new MeshLayer;
        canvas.doc.AddLayer(group);
        group->AddLayer(layer);
        layer->ShowConstructionCurves(true);
        AddSquare(layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 0, 0, 0, 0 });
        canvas.doc.fCurFrame = c.frame;
        int32_t mode = c.mode;
        layer->Draw(&canvas.doc, &canvas.graphics, nullptr, mode, c.parentCurrent ? group : nullptr, nullptr);
        // The corner at (-0.5, -0.5) is pixel (25, 75); its marker's outline passes (23, 73).
        EXPECT_EQ(SameColour(canvas.Pixel(23, 73), green), c.markers);
        // The curves are outlined in every case.
        EXPECT_TRUE(SameColour(canvas.Pixel(50, 25), green));
    }
}

TEST(MeshLayerDraw, OnionSkinDrawsCurveOutlinesOnly)
{
    for (bool overlays : { true, false }) {
        SCOPED_TRACE(overlays);
        LayerCanvas canvas;
        canvas.layer->ShowConstructionCurves(overlays);
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.06f);
        canvas.Draw(DRAW_ONION, canvas.layer);
        EXPECT_EQ(canvas.Count(IsRed), 0);
        EXPECT_EQ(canvas.Count(IsBlue), 0);
        const auto inactive = [](rgb_color c) { return SameColour(c, kInactive); };
        EXPECT_GT(canvas.Count(inactive), 150);
        // No marker, no origin.
        const QV_Point p0 = canvas.ScreenOf({ -0.5f, -0.5f });
        EXPECT_TRUE(IsWhite(canvas.Pixel(p0.x - 2, p0.y - 2)));
    }
    // Onion skin of the current layer only: other layers draw nothing at all.
    LayerCanvas other;
    other.layer->ShowConstructionCurves(true);
    AddSquare(other.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
    other.Draw(DRAW_ONION_CURRENT, nullptr);
    EXPECT_EQ(other.Count(IsWhite), 100 * 100);
    other.Draw(DRAW_ONION_CURRENT, other.layer);
    EXPECT_GT(other.Count(IsRed), 0);
}

TEST(MeshLayerDraw, HiddenShapesAreNeitherDrawnNorPicked)
{
    LayerCanvas canvas;
    const int32_t s = AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.06f);
    canvas.layer->fMesh.fShapes[s]->fHidden = true;
    canvas.layer->fMesh.fShapes[s]->fSelected = true;
    canvas.Draw(DRAW_CURRENT, canvas.layer);
    EXPECT_EQ(canvas.Count(IsWhite), 100 * 100);

    canvas.graphics.BeginPicking(50, 50, 2);
    canvas.layer->DrawShape(s, &canvas.doc, &canvas.graphics, nullptr, DRAW_BELOW, false, nullptr);
    EXPECT_FALSE(canvas.graphics.Pick());
    canvas.layer->fMesh.fShapes[s]->fHidden = false;
    canvas.graphics.BeginPicking(50, 50, 2);
    canvas.layer->DrawShape(s, &canvas.doc, &canvas.graphics, nullptr, DRAW_BELOW, false, nullptr);
    EXPECT_TRUE(canvas.graphics.Pick());
}

TEST(MeshLayerDraw, FixedLineWidthsOnlyWithSettingsThatAskForThem)
{
    const auto outline = [](RenderSettings* settings) {
        LayerCanvas canvas;
        M_Mesh& mesh = canvas.layer->fMesh;
        AddSquare(mesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 0, 0, 0, 0 }, kBlue, 0.02f);
        for (int32_t i = 0; i < mesh.fNumPoints; i++)
            mesh.fPoints[i]->fWidth.SetValue(0, 0.1f);
        canvas.drawMode = DRAW_BELOW;
        canvas.layer->Draw(&canvas.doc, &canvas.graphics, nullptr, canvas.drawMode, nullptr, settings);
        return canvas.Count(IsBlue);
    };
    RenderSettings settings;
    settings.SetDefaults();
    settings.fVariableLineWidths = false;
    const int32_t fixed = outline(&settings);
    const int32_t editor = outline(nullptr);
    settings.fVariableLineWidths = true;
    const int32_t variable = outline(&settings);
    // 2 pixels of style width against 10 pixels of point width.
    EXPECT_GT(fixed, 0);
    EXPECT_GT(editor, fixed * 3);
    EXPECT_EQ(variable, editor);
}

TEST(MeshLayerDraw, LeavesMatrixStackAndSmoothingAsFound)
{
    for (bool smoothing : { true, false }) {
        LayerCanvas canvas;
        canvas.layer->ShowConstructionCurves(true);
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.02f);
        canvas.graphics.SetSmoothing(smoothing);
        const int32_t depth = canvas.graphics.fMatrixDepth;
        canvas.Draw(DRAW_EDIT, canvas.layer);
        canvas.Draw(DRAW_BELOW, nullptr);
        EXPECT_EQ(canvas.graphics.fSmoothing, smoothing);
        EXPECT_EQ(canvas.graphics.fMatrixDepth, depth);
        EXPECT_EQ(canvas.graphics.fFillMode, 1);
    }
}

TEST(MeshLayerDraw, FullMatrixStackKeepsTheCallersTransform)
{
    LayerCanvas canvas;
    AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed);
    canvas.layer->fTranslation.SetValue(0, QV_Vector3 { 0.25f, 0, 0 });
    canvas.layer->SetCurFrame(0);
    for (int32_t i = 0; i < QV_Graphics::kMatrixLevels; i++)
        canvas.graphics.Push();
    const QV_Matrix before = canvas.graphics.CurrentTransform();
    canvas.Draw(DRAW_BELOW, nullptr);
    const QV_Matrix after = canvas.graphics.CurrentTransform();
    EXPECT_EQ(canvas.graphics.fMatrixDepth, QV_Graphics::kMatrixLevels - 1);
    for (int32_t i = 0; i < 16; i++)
        EXPECT_EQ(after.m[i], before.m[i]);
    // The layer was still drawn where it belongs.
    EXPECT_TRUE(IsRed(canvas.Pixel(80, 50)));
}

TEST(MeshLayerDraw, BoneToolsShowBoundPointsMovedAtFrameZero)
{
    for (const char* tool : { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength", "QV_SelectShape" }) {
        SCOPED_TRACE(tool);
        const bool moved = std::string(tool) != "QV_SelectShape";
        EditorCanvas canvas;
        StandInGroupKind* bones = new StandInGroupKind(LT_BONE);
        bones->bones.boneOffsets = { QV_Vector2 { 0.4f, 0 } };
        MeshLayer* layer = new MeshLayer;
        canvas.doc.AddLayer(bones);
        bones->AddLayer(layer);
        AddSquare(layer->fMesh, -0.5f, -0.2f, 0, 0.2f, kRed);
        for (int32_t i = 0; i < layer->fMesh.fNumPoints; i++)
            layer->fMesh.fPoints[i]->fParent = 0;
        canvas.doc.fCurrentTool = tool;
        int32_t mode = DRAW_BELOW;
        layer->Draw(&canvas.doc, &canvas.graphics, nullptr, mode, nullptr, nullptr);
        EXPECT_EQ(IsRed(canvas.Pixel(60, 50)), moved);
        EXPECT_EQ(IsRed(canvas.Pixel(30, 50)), !moved);
        // The points are back at rest after the draw.
        EXPECT_FLOAT_EQ(layer->fMesh.fPoints[0]->fPos.x, -0.5f);
    }
}

namespace {

// A brush of the application's list for the life of the object: a white 8 x 8 mask (editor copy
// pre-coloured green, so a tint shows), and an opaque yellow image.
struct ListedBrush {
    ListedBrush(bool hasAlpha)
    {
        brush.fName = "drawing_test_brush.png";
        brush.fHasAlpha = hasAlpha;
        for (QV_BaseImage* image : { &brush.fImage, &brush.fMask, &brush.fMaskCopy })
            image->Allocate(8, 8, 32);
        QV_PixelBuffer pixels;
        brush.fImage.GetPixelBuffer(pixels);
        FillRaster(pixels, rgb_color { 255, 255, 0, 255 });
        brush.fMask.GetPixelBuffer(pixels);
        FillRaster(pixels, EditorCanvas::kWhite);
        brush.fMaskCopy.GetPixelBuffer(pixels);
        FillRaster(pixels, rgb_color { 0, 255, 0, 255 });
        gBrushList.Append(&brush);
    }
    ~ListedBrush() { gBrushList.Remove(&brush); }

    rgb_color EditorCopyPixel() const
    {
        const uint8_t* p = brush.fMaskCopy.buffer.pixels;
        return rgb_color { p[2], p[1], p[0], p[3] };
    }

    M_Brush brush;
};

} // namespace

TEST(MeshLayerDraw, BrushesShowOnDemandAndHoldStill)
{
    struct Case {
        int32_t view;
        int32_t mode;
        bool selected;
        bool hasAlpha;
        bool tinted;
    };
    const Case cases[] = {
        { kViewDefault, DRAW_BELOW, false, false, true },
        { kViewDefault & ~0x200, DRAW_BELOW, false, false, false },
        { kViewDefault & ~0x200, DRAW_CURRENT, true, false, true },
        // A colour brush is drawn from its image; the editor copy of the mask stays as it was.
        { kViewDefault, DRAW_BELOW, false, true, false },
    };
    const rgb_color yellow { 255, 255, 0, 255 };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view << " " << c.mode << " " << c.hasAlpha);
        LayerPrefs prefs({ { "QualityFlags", c.view } });
        ListedBrush listed(c.hasAlpha);
        LayerCanvas canvas;
        const int32_t s = AddSquare(
            canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 0, 0, 0, 0 }, kBlue, 0.06f);
        M_Shape* shape = canvas.layer->fMesh.fShapes[s];
        shape->fSelected = c.selected;
        shape->fMyStyle.fBrushName = listed.brush.fName.CString();
        // The renders' choice of a varying pattern does not reach the editor.
        shape->fMyStyle.fBrushVaries = true;
        shape->fMyStyle.fBrushTint = !c.hasAlpha;
        VornLayer* current = c.mode == DRAW_CURRENT ? canvas.layer : nullptr;
        canvas.Draw(c.mode, current);
        EXPECT_EQ(SameColour(listed.EditorCopyPixel(), rgb_color { 0, 0, 255, 255 }), c.tinted);
        EXPECT_EQ(canvas.Count([&](rgb_color p) { return SameColour(p, yellow); }) > 0, c.hasAlpha);
        if (c.hasAlpha) {
            EXPECT_EQ(canvas.Count(IsBlue), 0);
        }
        // Dabs turn at random, from the same seed at every draw.
        std::vector<rgb_color> first;
        for (int32_t y = 0; y < 100; y++) {
            for (int32_t x = 0; x < 100; x++)
                first.push_back(canvas.Pixel(x, y));
        }
        FillRaster(canvas.raster, EditorCanvas::kWhite);
        QV_Rand();
        canvas.Draw(c.mode, current);
        bool same = true;
        for (int32_t y = 0; y < 100; y++) {
            for (int32_t x = 0; x < 100; x++)
                same = same && SameColour(first[size_t(y * 100 + x)], canvas.Pixel(x, y));
        }
        EXPECT_TRUE(same);
    }
}

namespace {

struct EffectCall {
    QV_Rect rect;
    QV_BBox bounds;
    int32_t finalRender;
    uint8_t alphaInside;
    uint8_t alphaAtCorner;
};

// An effect with an on-canvas handle that notes each preview and what it finds in the raster.
class HandleEffect : public M_ShapeStyle {
public:
    explicit HandleEffect(std::vector<EffectCall>* calls)
        : fCalls(calls)
    {
    }
    bool HasHandle() override { return true; }
    void ApplyInLayer(XGraphics* graphics, QV_PixelBuffer*, QV_Rect rect, QV_BBox bounds, QV_PixelBuffer*,
        StyleDocument*, StyleLayer*, float, M_Shape*, int32_t finalRender) override
    {
        fCalls->push_back(EffectCall { rect, bounds, finalRender, graphics->GetPixel(50, 50).a,
            graphics->GetPixel(rect.left, rect.top).a });
    }

private:
    std::vector<EffectCall>* fCalls;
};

} // namespace

TEST(MeshLayerDraw, EffectHandlesPreviewOnTheShapesCoverage)
{
    struct Case {
        int32_t view;
        bool selectTool;
        int32_t mode;
        int32_t slot;
        size_t calls;
    };
    const Case cases[] = {
        { kViewDefault, false, DRAW_BELOW, 0, 1 },
        { kViewDefault, false, DRAW_BELOW, kLineEffectSlot, 1 },
        { kViewDefault & ~0x400, false, DRAW_BELOW, 0, 0 },
        { kViewDefault & ~0x400, true, DRAW_BELOW, 1, 1 },
        // The highlight of the first selected shape previews nothing.
        { kViewDefault, false, DRAW_CURRENT, 0, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.view << " " << c.selectTool << " " << c.mode << " " << c.slot);
        LayerPrefs prefs({ { "QualityFlags", c.view } });
        LayerCanvas canvas;
        std::vector<EffectCall> calls;
        const int32_t s = AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.02f);
        M_Shape* shape = canvas.layer->fMesh.fShapes[s];
        shape->fSelected = true;
        shape->fMyStyle.fEffects[c.slot] = new HandleEffect(&calls);
        if (c.selectTool) {
            canvas.doc.SetSelLayer(canvas.layer);
            canvas.doc.fCurrentTool = "QV_SelectShape";
        }
        canvas.Draw(c.mode, c.mode == DRAW_CURRENT ? canvas.layer : nullptr);
        ASSERT_EQ(calls.size(), c.calls);
        if (calls.empty())
            continue;
        const EffectCall& call = calls[0];
        EXPECT_EQ(call.finalRender, 0);
        // Around the drawn pixels, the alpha cleared so the effect sees the shape alone.
        // The outline's rectangle also takes its width, 2 pixels.
        const int32_t grow = c.slot == kLineEffectSlot ? 2 : 0;
        EXPECT_NEAR(call.rect.left, 24 - grow, 2);
        EXPECT_NEAR(call.rect.bottom, 76 + grow, 2);
        EXPECT_EQ(call.alphaAtCorner, 0);
        EXPECT_EQ(call.alphaInside, c.slot == kLineEffectSlot ? 0 : 255);
        // Enlarged by 1.25 about the centre (the outline adds half its width first).
        const float half = c.slot == kLineEffectSlot ? (0.5f + 0.02f / 2) * 1.25f : 0.625f;
        EXPECT_NEAR(call.bounds.max.x, half, 0.02f);
        EXPECT_NEAR(call.bounds.min.y, -half, 0.02f);
    }
}

TEST(MeshLayerDraw, OutlinesLeftOutOfTheMask)
{
    for (bool exclude : { true, false }) {
        SCOPED_TRACE(exclude);
        LayerCanvas canvas;
        canvas.layer->SetMaskingMode(MM_ADD_MASK);
        canvas.layer->fExcludeLinesFromMask = exclude;
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, kRed, kBlue, 0.06f);
        canvas.graphics.PushMask(false);
        canvas.Draw(DRAW_BELOW, nullptr);
        const auto bit = [&](int32_t x, int32_t y) {
            return (canvas.graphics.fMask[y * 100 + x] & canvas.graphics.fMaskBit) != 0;
        };
        EXPECT_TRUE(bit(50, 50));
        // On the outline: drawn solid and cut out of the mask, or drawn through the mask and
        // added to it.
        const QV_Point edge = canvas.ScreenOf({ -0.5f, 0 });
        EXPECT_EQ(bit(edge.x, edge.y), !exclude);
        if (exclude) {
            EXPECT_TRUE(IsBlue(canvas.Pixel(edge.x, edge.y)));
        }
        EXPECT_EQ(canvas.graphics.fFillMode, 1);
    }
}

TEST(MeshLayerDraw, NoisyOutlinesDrawOneStroke)
{
    const auto draw = [](int32_t extraLines) {
        LayerCanvas canvas;
        canvas.layer->fNoisyLines = true;
        canvas.layer->fExtraLines = extraLines;
        canvas.layer->fExtraSketchy = true;
        AddSquare(canvas.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 0, 0, 0, 0 }, kBlue, 0.02f);
        canvas.Draw(DRAW_BELOW, nullptr);
        std::vector<bool> blue;
        for (int32_t y = 0; y < 100; y++) {
            for (int32_t x = 0; x < 100; x++)
                blue.push_back(IsBlue(canvas.Pixel(x, y)));
        }
        return blue;
    };
    const std::vector<bool> one = draw(0);
    EXPECT_EQ(draw(5), one);
    // The noise moved the outline off the straight edges.
    LayerCanvas straight;
    AddSquare(straight.layer->fMesh, -0.5f, -0.5f, 0.5f, 0.5f, rgb_color { 0, 0, 0, 0 }, kBlue, 0.02f);
    straight.Draw(DRAW_BELOW, nullptr);
    int32_t differ = 0;
    for (int32_t i = 0; i < 100 * 100; i++)
        differ += one[size_t(i)] != IsBlue(straight.Pixel(i % 100, i / 100)) ? 1 : 0;
    EXPECT_GT(differ, 0);
}
