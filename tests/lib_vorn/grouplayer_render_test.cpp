#include <gtest/gtest.h>

#include "grouplayer.h"
#include "layer_render_support.h"
#include "meshlayer.h"

namespace {

constexpr rgb_color kRedColour { 255, 0, 0, 255 };
constexpr rgb_color kGreenColour { 0, 255, 0, 255 };

// A top-level group of a 40 x 40 document rendered item by item into the bench's buffer, as the
// frame render job renders a group that draws straight into the output.
struct GroupBench {
    GroupBench()
        : bench(40, 40, 4)
    {
        group = new GroupLayer;
        bench.doc.AddLayer(group);
    }

    RectLayer* Add(int32_t left, int32_t top, int32_t right, int32_t bottom, rgb_color color, int32_t mode)
    {
        RectLayer* layer = new RectLayer(left, top, right, bottom, color);
        layer->SetMaskingMode(mode);
        group->AddLayer(layer);
        return layer;
    }

    void Render()
    {
        for (int32_t i = 0; i < group->CountRenderItems(); i++)
            group->RenderItem(
                &bench.doc, &bench.graphics, &bench.buffer.buffer, &bench.scratch.buffer, i, &bench.settings);
    }

    // 'R', 'G', '.' for transparent, '?' for anything else.
    char At(int32_t x, int32_t y) const
    {
        const uint8_t* p = bench.Pixel(x, y);
        if (p[kAlpha] == 0)
            return '.';
        if (p[kAlpha] == 255 && p[kRed] == 255 && p[kGreen] == 0)
            return 'R';
        if (p[kAlpha] == 255 && p[kGreen] == 255 && p[kRed] == 0)
            return 'G';
        return '?';
    }

    RenderBench bench;
    GroupLayer* group;
};

} // namespace

TEST(GroupLayerRender, HidingAllTheBottomMaskedLayerDefinesTheVisibleArea)
{
    GroupBench g;
    g.group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    RectLayer* bottom = g.Add(10, 10, 20, 20, kRedColour, MM_MASKED);
    g.Add(0, 0, 30, 30, kGreenColour, MM_MASKED);
    g.Render();
    // The bottom layer shows and the one above shows only over it.
    EXPECT_EQ(g.At(15, 15), 'G');
    EXPECT_EQ(g.At(5, 5), '.');
    EXPECT_EQ(g.At(25, 15), '.');
    EXPECT_EQ(bottom->MaskingMode(), MM_MASKED);

    // Without the group mask both render whole.
    GroupBench plain;
    plain.Add(10, 10, 20, 20, kRedColour, MM_MASKED);
    plain.Add(0, 0, 30, 30, kGreenColour, MM_MASKED);
    plain.Render();
    EXPECT_EQ(plain.At(5, 5), 'G');
}

TEST(GroupLayerRender, MaskingModesBuildAndApplyTheMask)
{
    // Sub-layers from the bottom; the last one is the green probe (masked unless given), over a
    // field 0..30 square. Expected at x 5 (outside the left square), 15 (inside it) and 25.
    struct Layer {
        int32_t left, right;
        rgb_color color;
        int32_t mode;
    };
    struct Case {
        const char* name;
        int32_t groupMask;
        std::vector<Layer> layers;
        const char* expected;
    } cases[] = {
        { "show all, masked", GROUP_MASK_SHOW_ALL, { { 0, 30, kGreenColour, MM_MASKED } }, "GGG" },
        { "hide all, not masked", GROUP_MASK_HIDE_ALL,
            { { 10, 20, kRedColour, MM_ADD_MASK_INVIS }, { 0, 30, kGreenColour, MM_NOTMASKED } }, "GGG" },
        { "add mask, invisible", GROUP_MASK_HIDE_ALL,
            { { 10, 20, kRedColour, MM_ADD_MASK_INVIS }, { 0, 30, kGreenColour, MM_MASKED } }, ".G." },
        { "add mask, visible", GROUP_MASK_HIDE_ALL,
            { { 20, 30, kRedColour, MM_ADD_MASK }, { 0, 15, kGreenColour, MM_MASKED } }, "..R" },
        { "subtract, invisible", GROUP_MASK_SHOW_ALL,
            { { 10, 20, kRedColour, MM_SUB_MASK_INVIS }, { 0, 30, kGreenColour, MM_MASKED } }, "G.G" },
        { "subtract, visible", GROUP_MASK_SHOW_ALL,
            { { 10, 20, kRedColour, MM_SUB_MASK }, { 20, 30, kGreenColour, MM_MASKED } }, ".RG" },
        { "clear and add", GROUP_MASK_HIDE_ALL,
            { { 0, 10, kRedColour, MM_ADD_MASK_INVIS }, { 10, 20, kRedColour, MM_CLEAR_ADD_MASK },
                { 0, 30, kGreenColour, MM_MASKED } },
            ".G." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GroupBench g;
        g.group->SetGroupMask(c.groupMask);
        for (const Layer& layer : c.layers)
            g.Add(layer.left, 0, layer.right, 30, layer.color, layer.mode);
        g.Render();
        const std::string seen { g.At(5, 5), g.At(15, 5), g.At(25, 5) };
        EXPECT_EQ(seen, c.expected);
    }
}

TEST(GroupLayerRender, AHalfMaskHalvesTheMaskedLayersAlpha)
{
    GroupBench g;
    g.group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    g.Add(0, 0, 30, 30, { 255, 0, 0, 128 }, MM_ADD_MASK_INVIS);
    g.Add(0, 0, 30, 30, kGreenColour, MM_MASKED);
    g.Render();
    const uint8_t* p = g.bench.Pixel(10, 10);
    EXPECT_EQ(p[kAlpha], 128);
    EXPECT_EQ(p[kRed], 0);
}

TEST(GroupLayerRender, SubLayersRenderThroughTheirOwnPassInsideTheGroupTransform)
{
    GroupBench g;
    RectLayer* faded = g.Add(0, 0, 10, 10, kRedColour, MM_MASKED);
    faded->fAlpha.SetValue(0, 0.5f);
    RectLayer* hidden = g.Add(10, 0, 20, 10, kRedColour, MM_MASKED);
    hidden->fVisible = false;
    RectLayer* unseen = g.Add(10, 10, 20, 20, kRedColour, MM_MASKED);
    unseen->fVisibility.SetValue(0, false);
    unseen->SetCurFrame(0);
    RectLayer* editOnly = g.Add(20, 0, 30, 10, kRedColour, MM_MASKED);
    editOnly->SetEditOnly(true);
    RectLayer* direct = g.Add(0, 20, 10, 30, kGreenColour, MM_MASKED);

    g.group->fTranslation.SetValue(0, QV_Vector3 { 0.5f, 0, 0 });
    g.group->SetCurFrame(0);
    const int32_t depth = g.bench.graphics.fMatrixDepth;
    g.Render();
    EXPECT_EQ(g.bench.graphics.fMatrixDepth, depth);

    EXPECT_EQ(g.bench.Pixel(5, 5)[kAlpha], 128);
    EXPECT_NE(faded->calls.at(0).target, &g.bench.buffer.buffer) << "its own layer image";
    EXPECT_TRUE(hidden->calls.empty());
    EXPECT_TRUE(unseen->calls.empty());
    EXPECT_TRUE(editOnly->calls.empty());
    ASSERT_EQ(direct->calls.size(), 1u);
    EXPECT_EQ(direct->calls[0].target, &g.bench.buffer.buffer) << "straight into the output";
    EXPECT_EQ(g.At(5, 25), 'G');
}

TEST(GroupLayerRender, TheSecondaryContextFollowsOnlyLayersDrawnStraightIntoTheOutput)
{
    // The sub-layer looks at the context while it renders.
    struct PreviewProbe : RectLayer {
        PreviewProbe()
            : RectLayer(0, 0, 1, 1)
        {
        }
        void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
            int32_t item, RenderSettings* settings) override
        {
            seen = settings->fPreviewGraphics;
            depth = seen ? seen->fMatrixDepth : -1;
            RectLayer::RenderItem(doc, graphics, target, scratch, item, settings);
        }
        XGraphics* seen = nullptr;
        int32_t depth = -1;
    };
    for (const bool faded : { false, true }) {
        SCOPED_TRACE(faded ? "own layer image" : "straight into the output");
        GroupBench g;
        XGraphics preview;
        g.bench.settings.fPreviewGraphics = &preview;
        auto* probe = new PreviewProbe;
        g.group->AddLayer(probe);
        if (faded)
            probe->fAlpha.value = 0.5f;
        g.Render();
        EXPECT_EQ(probe->seen, faded ? nullptr : &preview);
        EXPECT_EQ(probe->depth, faded ? -1 : 1);
        EXPECT_EQ(g.bench.settings.fPreviewGraphics, &preview);
        EXPECT_EQ(preview.fMatrixDepth, 0);
        g.bench.settings.fPreviewGraphics = nullptr;
    }
}

TEST(GroupLayerRender, AVectorLayerThatLeavesItsLinesOutOfTheMaskRendersTwice)
{
    // Fills only while the mask is rendered; outlines too afterwards (here: a wider rectangle).
    struct OutlinedShape : MeshLayer {
        explicit OutlinedShape(uint8_t alpha = 255)
            : fShapeAlpha(alpha)
        {
        }
        int32_t CountRenderItems() override { return 1; }
        void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
            int32_t item, RenderSettings* settings) override
        {
            passes.push_back(settings->fRenderingMask);
            const bool mask = settings->fRenderingMask;
            RectLayer shape(mask ? 10 : 8, 0, mask ? 20 : 22, 30, { 255, 0, 0, fShapeAlpha });
            shape.RenderItem(doc, graphics, target, scratch, item, settings);
        }
        std::vector<bool> passes;
        uint8_t fShapeAlpha;
    };
    GroupBench g;
    g.group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    auto* shape = new OutlinedShape;
    shape->fExcludeLinesFromMask = true;
    shape->SetMaskingMode(MM_ADD_MASK);
    g.group->AddLayer(shape);
    g.Add(0, 0, 30, 30, kGreenColour, MM_MASKED);
    g.Render();
    EXPECT_EQ(shape->passes, (std::vector<bool> { true, false }));
    EXPECT_FALSE(g.bench.settings.fRenderingMask);
    EXPECT_EQ(g.At(9, 5), 'R') << "the outline shows";
    EXPECT_EQ(g.At(15, 5), 'G') << "over the fill, the masked layer";
    EXPECT_EQ(g.At(5, 5), '.');

    // The second pass starts from a clear image: drawn over the straight-alpha first pass, the
    // see-through fill would thicken (and its edges be un-premultiplied twice).
    GroupBench see;
    see.group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    auto* faint = new OutlinedShape(128);
    faint->fExcludeLinesFromMask = true;
    faint->SetMaskingMode(MM_ADD_MASK);
    see.group->AddLayer(faint);
    see.Render();
    EXPECT_EQ(see.bench.Pixel(15, 5)[kAlpha], 128);
    EXPECT_EQ(see.bench.Pixel(9, 5)[kAlpha], 128);
}
