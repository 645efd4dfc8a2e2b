#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drawing_support.h"
#include "layer_test_support.h"

namespace {

struct DrawCall {
    std::string name;
    int32_t mode;
    int32_t masking;
    int32_t maskDepth;
};

// A layer that notes how it was asked to draw.
class RecordingLayer : public VornLayer {
public:
    RecordingLayer(std::vector<DrawCall>* log, const char* name)
        : fLog(log)
    {
        SetName(name);
    }
    int32_t LayerType() override { return LT_VECTOR; }
    void Draw(VornDoc*, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode, VornLayer*,
        RenderSettings*) override
    {
        fLog->push_back(DrawCall { Name().CString(), drawMode, MaskingMode(), graphics->fMaskDepth });
    }

private:
    std::vector<DrawCall>* fLog;
};

// A group in a document with the sub-layers a, b and c, drawn onto a canvas.
struct GroupCanvas : EditorCanvas {
    GroupCanvas()
    {
        doc.AddLayer(group);
        for (const char* name : { "a", "b", "c" }) {
            RecordingLayer* layer = new RecordingLayer(&log, name);
            group->AddLayer(layer);
            subs.push_back(layer);
        }
    }

    // The names drawn and the mode each was given.
    std::string Draw(int32_t& mode, VornLayer* current)
    {
        log.clear();
        group->Draw(&doc, &graphics, nullptr, mode, current, nullptr);
        std::string out;
        for (const DrawCall& call : log)
            out += call.name + std::to_string(call.mode) + " ";
        return out;
    }

    GroupLayer* group = new GroupLayer;
    std::vector<RecordingLayer*> subs;
    std::vector<DrawCall> log;
};

} // namespace

TEST(GroupLayerDraw, ModeTurnsAtTheCurrentLayer)
{
    struct Case {
        int32_t mode;
        bool groupCurrent;
        const char* drawn;
        int32_t after;
    };
    const Case cases[] = {
        { DRAW_BELOW, false, "a0 b1 c3 ", DRAW_ABOVE },
        { DRAW_ABOVE, false, "a3 b1 c3 ", DRAW_ABOVE },
        { DRAW_QUICK_PREVIEW, false, "a4 b4 c4 ", DRAW_QUICK_PREVIEW },
        { DRAW_SWF, false, "a5 b5 c5 ", DRAW_SWF },
        { DRAW_ONION, false, "a8 b8 c8 ", DRAW_ONION },
        { DRAW_ONION_CURRENT, false, "a9 b9 c9 ", DRAW_ONION_CURRENT },
        // The whole current group is onion-skinned.
        { DRAW_ONION_CURRENT, true, "a8 b8 c8 ", DRAW_ONION_CURRENT },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.groupCurrent);
        GroupCanvas canvas;
        int32_t mode = c.mode;
        EXPECT_EQ(canvas.Draw(mode, c.groupCurrent ? static_cast<VornLayer*>(canvas.group) : canvas.subs[1]),
            c.drawn);
        EXPECT_EQ(mode, c.after);
    }
}

TEST(GroupLayerDraw, CurrentSubGroupKeepsTheMode)
{
    GroupCanvas canvas;
    GroupLayer* inner = new GroupLayer;
    canvas.group->InsertLayer(inner, canvas.subs[0], true);
    inner->AddLayer(new RecordingLayer(&canvas.log, "x"));
    int32_t mode = DRAW_BELOW;
    EXPECT_EQ(canvas.Draw(mode, inner), "a0 x0 b3 c3 ");
}

TEST(GroupLayerDraw, EditPassReachesOnlyTheCurrentPath)
{
    GroupCanvas canvas;
    GroupLayer* inner = new GroupLayer;
    canvas.group->AddLayer(inner);
    inner->AddLayer(new RecordingLayer(&canvas.log, "x"));
    // Drawing order differs from the list order; the edit pass follows the list.
    std::swap(canvas.group->fDepthLayers.fItems[0], canvas.group->fDepthLayers.fItems[3]);
    int32_t mode = DRAW_EDIT;
    EXPECT_EQ(canvas.Draw(mode, canvas.subs[2]), "c2 ");
    EXPECT_EQ(canvas.Draw(mode, inner->Layer(0)), "x2 ");
    // The current group draws its origin marker only.
    EXPECT_EQ(canvas.Draw(mode, canvas.group), "");
    EXPECT_EQ(mode, DRAW_EDIT);
}

TEST(GroupLayerDraw, CurrentGroupShowsItsOriginInTheEditPass)
{
    for (bool overlays : { true, false }) {
        GroupCanvas canvas;
        canvas.group->ShowConstructionCurves(overlays);
        int32_t mode = DRAW_EDIT;
        canvas.Draw(mode, canvas.group);
        // Smooth lines blend the inactive colour into the white.
        const auto marked = [](rgb_color c) { return c.r > c.g && c.g == c.b && c.g < 250; };
        EXPECT_EQ(canvas.Count(marked) > 0, overlays);
        EXPECT_EQ(canvas.Count([](rgb_color c) { return c.g < 250 && !(c.r > c.g); }), 0);
    }
}

TEST(GroupLayerDraw, RenderOnlyEditOnlyAndHiddenLayers)
{
    struct Case {
        const char* what;
        int32_t mode;
        bool current;
        bool drawn;
    };
    const Case cases[] = {
        { "render-only", DRAW_BELOW, false, false },
        { "render-only", DRAW_QUICK_PREVIEW, false, true },
        { "render-only", DRAW_SWF, false, true },
        { "render-only", DRAW_BELOW, true, true },
        { "edit-only", DRAW_BELOW, false, true },
        { "edit-only", DRAW_QUICK_PREVIEW, false, false },
        { "edit-only", DRAW_SWF, false, false },
        { "edit-only", DRAW_QUICK_PREVIEW, true, false },
        { "invisible", DRAW_BELOW, false, false },
        { "invisible", DRAW_BELOW, true, true },
        { "hidden", DRAW_BELOW, false, false },
        { "hidden", DRAW_BELOW, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << " " << c.mode << " " << c.current);
        GroupCanvas canvas;
        VornLayer* b = canvas.subs[1];
        const std::string what = c.what;
        b->SetRenderOnly(what == "render-only");
        b->SetEditOnly(what == "edit-only");
        if (what == "invisible")
            b->fVisibility.SetValue(0, false);
        if (what == "hidden")
            b->fVisible = false;
        int32_t mode = c.mode;
        const std::string drawn = canvas.Draw(mode, c.current ? b : nullptr);
        EXPECT_EQ(drawn.find('b') != std::string::npos, c.drawn) << drawn;
    }
}

TEST(GroupLayerDraw, GroupMaskLevelAndTheBottomLayerThatDefinesIt)
{
    struct Case {
        int32_t groupMask;
        int32_t view;
        int32_t depthDuringDraw;
        int32_t bottomMasking;
    };
    const Case cases[] = {
        { GROUP_MASK_NONE, kDefaultViewQualityFlags, 0, MM_MASKED },
        { GROUP_MASK_SHOW_ALL, kDefaultViewQualityFlags, 1, MM_MASKED },
        { GROUP_MASK_HIDE_ALL, kDefaultViewQualityFlags, 1, MM_ADD_MASK },
        // Without the masking preview no level is pushed, but the bottom layer still counts.
        { GROUP_MASK_HIDE_ALL, kDefaultViewQualityFlags & ~64, 0, MM_ADD_MASK },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.groupMask << " " << c.view);
        LayerPrefs prefs({ { "QualityFlags", c.view } });
        GroupCanvas canvas;
        canvas.group->SetGroupMask(c.groupMask);
        int32_t mode = DRAW_BELOW;
        canvas.Draw(mode, nullptr);
        ASSERT_EQ(canvas.log.size(), 3u);
        EXPECT_EQ(canvas.log[0].maskDepth, c.depthDuringDraw);
        EXPECT_EQ(canvas.log[0].masking, c.bottomMasking);
        EXPECT_EQ(canvas.log[1].masking, MM_MASKED);
        EXPECT_EQ(canvas.subs[0]->MaskingMode(), MM_MASKED);
        EXPECT_EQ(canvas.graphics.fMaskDepth, 0);
    }
}

TEST(GroupLayerDraw, HideAllShowsUpperLayersWhereTheBottomLayerIs)
{
    EditorCanvas canvas;
    GroupLayer* group = new GroupLayer;
    canvas.doc.AddLayer(group);
    group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    MeshLayer* bottom = new MeshLayer;
    MeshLayer* top = new MeshLayer;
    group->AddLayer(bottom);
    group->AddLayer(top);
    AddSquare(bottom->fMesh, -0.8f, -0.5f, 0, 0.5f, rgb_color { 255, 0, 0, 255 });
    AddSquare(top->fMesh, -0.9f, -0.9f, 0.9f, 0.9f, rgb_color { 0, 0, 255, 255 });
    int32_t mode = DRAW_BELOW;
    group->Draw(&canvas.doc, &canvas.graphics, nullptr, mode, nullptr, nullptr);
    const rgb_color blue { 0, 0, 255, 255 };
    EXPECT_TRUE(SameColour(canvas.Pixel(30, 50), blue));
    EXPECT_TRUE(SameColour(canvas.Pixel(70, 50), EditorCanvas::kWhite));
    EXPECT_TRUE(SameColour(canvas.Pixel(30, 15), EditorCanvas::kWhite));
    EXPECT_EQ(bottom->MaskingMode(), MM_MASKED);
}

TEST(GroupLayerDraw, MatrixStackAsFound)
{
    GroupCanvas canvas;
    canvas.group->fTranslation.SetValue(0, QV_Vector3 { 0.5f, 0, 0 });
    canvas.group->SetCurFrame(0);
    const QV_Matrix before = canvas.graphics.CurrentTransform();
    int32_t mode = DRAW_BELOW;
    canvas.Draw(mode, nullptr);
    EXPECT_EQ(canvas.graphics.fMatrixDepth, 0);
    for (int32_t i = 0; i < QV_Graphics::kMatrixLevels; i++)
        canvas.graphics.Push();
    canvas.Draw(mode, nullptr);
    EXPECT_EQ(canvas.graphics.fMatrixDepth, QV_Graphics::kMatrixLevels - 1);
    const QV_Matrix after = canvas.graphics.CurrentTransform();
    for (int32_t i = 0; i < 16; i++)
        EXPECT_EQ(after.m[i], before.m[i]);
}
