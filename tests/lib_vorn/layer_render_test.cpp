#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "grouplayer.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "layer_effects.h"
#include "layer_render_support.h"
#include "meshlayer.h"
#include "qv_psdwriter.h"

namespace {

constexpr int32_t kFrame = 480;
constexpr int32_t kMargin = 64;

// A layer owned by the bench's document, at the document's frame.
RectLayer* AddRect(RenderBench& bench, int32_t left, int32_t top, int32_t right, int32_t bottom,
    rgb_color color = { 255, 255, 255, 255 })
{
    RectLayer* layer = new RectLayer(left, top, right, bottom, color);
    bench.doc.AddLayer(layer);
    return layer;
}

// A writer that is never opened: the passes only look at whether there is one.
QV_PSDWriter& LayeredWriter()
{
    static QV_PSDWriter writer;
    return writer;
}

// BeginRender, the item into the layer image and FinishRender, without the composite: the layer
// image as the job finds it before compositing.
void RenderIntoLayerImage(RenderBench& bench, VornLayer* layer)
{
    ASSERT_TRUE(bench.Begin(layer));
    layer->RenderItem(
        &bench.doc, &bench.graphics, &bench.layerImage.buffer, &bench.scratch.buffer, 0, &bench.settings);
    layer->FinishRender(&bench.doc, &bench.graphics, &bench.buffer.buffer, &bench.layerImage,
        &bench.scratch.buffer, &bench.settings);
}

} // namespace

TEST(LayerRender, WithLayerEffectsOffOpacityAndBlendModeAreIgnored)
{
    for (const bool effects : { false, true }) {
        SCOPED_TRACE(effects ? "effects on" : "effects off");
        RenderBench bench(kFrame, kFrame);
        bench.settings.fLayerEffects = effects;
        RectLayer* layer = AddRect(bench, 100, 100, 120, 120, { 200, 100, 50, 255 });
        layer->fAlpha.value = 0.5f;
        layer->fBlendingMode = BM_DIFFERENCE;
        EXPECT_EQ(bench.Render(layer), effects);
        const uint8_t* p = bench.Pixel(110, 110);
        if (effects) {
            // Difference against transparent black keeps the colour; the opacity halves the alpha
            // and the composite weighs the colour by it.
            EXPECT_EQ(p[kAlpha], 128);
            EXPECT_NEAR(p[kRed], 100, 1);
        } else {
            EXPECT_EQ(p[kAlpha], 255);
            EXPECT_EQ(p[kRed], 200);
            EXPECT_EQ(p[kGreen], 100);
        }
    }
}

TEST(LayerRender, OnlyLayersWithSomethingToApplyGetALayerImage)
{
    struct Case {
        const char* name;
        void (*set)(VornLayer*, RenderSettings&);
        bool expected;
    } cases[] = {
        { "plain", [](VornLayer*, RenderSettings&) {}, false },
        { "opacity 0.999", [](VornLayer* l, RenderSettings&) { l->fAlpha.value = 0.999f; }, true },
        { "opacity above 1", [](VornLayer* l, RenderSettings&) { l->fAlpha.value = 1.5f; }, false },
        { "blur", [](VornLayer* l, RenderSettings&) { l->fBlur.value = 0.01f; }, true },
        { "auto shading", [](VornLayer* l, RenderSettings&) { l->fAmbientOcclusion.value = 0.01f; }, true },
        { "shadow", [](VornLayer* l, RenderSettings&) { l->fLayerShadow.value = true; }, true },
        { "shading", [](VornLayer* l, RenderSettings&) { l->fLayerShading.value = true; }, true },
        { "blend mode", [](VornLayer* l, RenderSettings&) { l->fBlendingMode = BM_SCREEN; }, true },
        { "layered file", [](VornLayer*, RenderSettings& s) { s.fPSDWriter = &LayeredWriter(); }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RenderBench bench(64, 48, 8);
        RectLayer* layer = AddRect(bench, 0, 0, 4, 4);
        c.set(layer, bench.settings);
        const bool own = bench.Begin(layer);
        EXPECT_EQ(own, c.expected);
        if (own) {
            // Allocated at the graphics raster's size and transparent.
            EXPECT_EQ(bench.layerImage.Width(), 80);
            EXPECT_EQ(bench.layerImage.Height(), 64);
            EXPECT_EQ(RasterPixel(bench.layerImage.buffer, 40, 30)[kAlpha], 0);
        }
        bench.settings.fPSDWriter = nullptr;
    }

    // A group asks for an image only for its group mask.
    RenderBench bench(64, 48, 8);
    GroupLayer* group = new GroupLayer;
    bench.doc.AddLayer(group);
    auto begin = [&] {
        bench.layerImage.Free();
        return bench.Begin(group);
    };
    EXPECT_FALSE(begin());
    group->SetGroupMask(GROUP_MASK_HIDE_ALL);
    EXPECT_TRUE(begin());
}

TEST(LayerRender, AnOpacityThatRoundsToOpaqueLeavesTheAlpha)
{
    RenderBench bench(kFrame, kFrame);
    RectLayer* layer = AddRect(bench, 100, 100, 120, 120);
    layer->fAlpha.value = 0.999f;
    EXPECT_TRUE(bench.Render(layer));
    EXPECT_EQ(bench.Pixel(110, 110)[kAlpha], 255);
}

TEST(LayerRender, ALayerImageThatCannotBeAllocatedRendersStraightIntoTheOutput)
{
    RenderBench bench(64, 48, 8);
    bench.settings.fAntialias = false;
    RectLayer* layer = AddRect(bench, 0, 0, 4, 4);
    layer->fAlpha.SetValue(0, 0.5f);
    layer->fMotionBlur.SetValue(0, true);
    layer->fMotionBlurFrames.SetValue(0, 2);
    bench.doc.SetCurFrame(5);
    // A raster too large for any image: the layer image and every motion-blur sample fail.
    XGraphics huge;
    huge.fTarget = bench.buffer.buffer;
    huge.fTarget.width = 40000;
    huge.fTarget.height = 40000;
    EXPECT_FALSE(layer->BeginRender(
        &bench.doc, &huge, &bench.buffer.buffer, &bench.scratch.buffer, &bench.layerImage, &bench.settings));
    EXPECT_TRUE(layer->calls.empty());
    EXPECT_EQ(bench.layerImage.buffer.pixels, nullptr);
    EXPECT_EQ(bench.doc.CurFrame(), 5);
    EXPECT_FALSE(layer->fInMotionBlurPass);
}

TEST(LayerRender, TheShadowFallsByItsAngleAndOffsetInFrameHeights)
{
    // Angle 0 and offset 0.1 at a 480-pixel frame: 48 pixels to the right, with or without
    // scale compensation (the layer is at scale 1).
    for (const bool compensate : { true, false }) {
        SCOPED_TRACE(compensate ? "scale compensation" : "zoom");
        RenderBench bench(kFrame, kFrame);
        RectLayer* layer = AddRect(bench, 100, 200, 150, 250);
        layer->fScaleCompensation = compensate;
        layer->fLayerShadow.value = true;
        layer->fShadowAngle.value = 0;
        layer->fShadowOffset.value = 0.1f;
        layer->fShadowBlur.value = 0;
        layer->fShadowExpansion.value = 0;
        layer->fShadowNoiseAmp.value = 0;
        layer->fShadowColor.value = rgb_color { 255, 0, 0, 255 };
        EXPECT_TRUE(bench.Render(layer));
        EXPECT_EQ(bench.Pixel(149, 225)[kBlue], 255) << "the layer stands on its shadow";
        for (const int32_t x : { 150, 197 }) {
            const uint8_t* p = bench.Pixel(x, 225);
            EXPECT_EQ(p[kRed], 255) << x;
            EXPECT_EQ(p[kBlue], 0) << x;
            EXPECT_EQ(p[kAlpha], 255) << x;
        }
        EXPECT_EQ(bench.Pixel(198, 225)[kAlpha], 0);
        EXPECT_EQ(bench.Pixel(99, 225)[kAlpha], 0);
    }
}

TEST(LayerRender, ASeeThroughColouredShadowKeepsItsColour)
{
    RenderBench bench(kFrame, kFrame);
    RectLayer* layer = AddRect(bench, 100, 200, 150, 250);
    layer->fLayerShadow.value = true;
    layer->fShadowAngle.value = float(M_PI / 2);
    layer->fShadowOffset.value = 0.2f;
    layer->fShadowBlur.value = 0;
    layer->fShadowExpansion.value = 0;
    layer->fShadowNoiseAmp.value = 0;
    layer->fShadowColor.value = rgb_color { 100, 40, 0, 128 };
    RenderIntoLayerImage(bench, layer);
    // 96 pixels up, in the straight-alpha layer image the pass leaves.
    const uint8_t* p = RasterPixel(bench.layerImage.buffer, 125, 120);
    EXPECT_EQ(p[kAlpha], 128);
    EXPECT_NEAR(p[kRed], 100, 2);
    EXPECT_NEAR(p[kGreen], 40, 2);
}

TEST(LayerRender, ShadingContractionBelowHalfAPixelDoesNothing)
{
    // The shading copy is shifted 10 pixels left (angle 0 points the light from the right) over
    // a layer at x 100..149: it covers 100..139, or 100..144 when dilated by 5 pixels.
    struct Case {
        float contraction;
        int32_t shadedUpTo;
    } cases[] = { { -0.01f, 144 }, { 0.001f, 139 }, { 0, 139 }, { 0.01f, 134 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.contraction);
        RenderBench bench(kFrame, kFrame);
        RectLayer* layer = AddRect(bench, 100, 200, 150, 250);
        layer->fLayerShading.value = true;
        layer->fShadingAngle.value = 0;
        layer->fShadingOffset.value = 0.02f;
        layer->fShadingBlur.value = 0;
        layer->fShadingContraction.value = c.contraction;
        layer->fShadingNoiseAmp.value = 0;
        layer->fShadingColor.value = rgb_color { 0, 0, 255, 255 };
        EXPECT_TRUE(bench.Render(layer));
        EXPECT_EQ(bench.Pixel(c.shadedUpTo, 225)[kRed], 0);
        EXPECT_EQ(bench.Pixel(c.shadedUpTo + 1, 225)[kRed], 255);
        // Only where the layer already is.
        EXPECT_EQ(bench.Pixel(95, 225)[kAlpha], 0);
    }
}

TEST(LayerRender, DepthOfFieldBlurGrowsOutsideTheFocusRange)
{
    RenderBench bench(64, 48, 8);
    VornDoc& doc = bench.doc;
    doc.fDepthOfField = true;
    ASSERT_TRUE(doc.SetFocus(10, 4));
    doc.fMaxBlur = 0.2f;
    doc.fCameraTrack.SetValue(0, QV_Vector3 { 0, 0, 0 });
    doc.SetCurFrame(0);
    MeshLayer* layer = new MeshLayer;
    doc.AddLayer(layer);

    struct Case {
        float distance;
        float expected;
    } cases[] = {
        { 5, 0.2f * 0.375f }, // B (1 - 5/8)
        { 8, 0 },
        { 10, 0 },
        { 12, 0 },
        { 15, 0.2f * 3 / 48 }, // B (15 - 12) / 48
        { 60, 0.2f },
        { 500, 0.2f },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        layer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -c.distance });
        layer->SetCurFrame(0);
        EXPECT_NEAR(DepthOfFieldAmount(layer, &doc), c.expected, 1e-5f);
        bench.layerImage.Free();
        EXPECT_EQ(bench.Begin(layer), c.expected > 0);
    }

    layer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -5 });
    layer->SetCurFrame(0);
    layer->fImmuneToDof = true;
    EXPECT_EQ(DepthOfFieldAmount(layer, &doc), 0);
    layer->fImmuneToDof = false;
    layer->fImmuneToCamera = true;
    EXPECT_EQ(DepthOfFieldAmount(layer, &doc), 0);
    layer->fImmuneToCamera = false;
    doc.fDepthOfField = false;
    EXPECT_EQ(DepthOfFieldAmount(layer, &doc), 0);
    doc.fDepthOfField = true;
    // Only vector, image and 3D layers are blurred by depth.
    RectLayer* base = AddRect(bench, 0, 0, 1, 1);
    base->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -5 });
    base->SetCurFrame(0);
    EXPECT_EQ(DepthOfFieldAmount(base, &doc), 0);
}

TEST(LayerRender, MotionBlurSamplesEarlierFramesAndReturnsToTheFrame)
{
    struct Case {
        const char* name;
        int32_t timingOffset;
        bool renderOnly;
    } cases[] = { { "plain", 0, false }, { "timing offset", 3, false }, { "render only", 0, true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RenderBench bench(kFrame, kFrame);
        RectLayer* layer = AddRect(bench, 100, 100, 104, 104);
        layer->step = 10;
        layer->SetTimingOffset(c.timingOffset);
        layer->SetRenderOnly(c.renderOnly);
        layer->fMotionBlur.SetValue(0, true);
        layer->fMotionBlurFrames.SetValue(0, 2);
        layer->fMotionBlurSkip.SetValue(0, 1);
        layer->fMotionBlurRadius.SetValue(0, 0);
        layer->fMotionBlurAlphaStart.SetValue(0, 0.8f);
        layer->fMotionBlurAlphaEnd.SetValue(0, 0.2f);
        bench.doc.SetCurFrame(10);
        const int32_t layerFrame = layer->LayerFrameOf(10);

        EXPECT_FALSE(bench.Begin(layer));
        ASSERT_EQ(layer->calls.size(), 2u);
        EXPECT_EQ(layer->calls[0].docFrame, 8);
        EXPECT_EQ(layer->calls[0].layerFrame, layer->LayerFrameOf(8));
        EXPECT_EQ(layer->calls[1].docFrame, 9);
        EXPECT_EQ(layer->calls[1].layerFrame, layer->LayerFrameOf(9));
        // Oldest sample faintest, each drawn where the layer stood at its frame.
        const int32_t x8 = 100 + 10 * layer->LayerFrameOf(8), x9 = 100 + 10 * layer->LayerFrameOf(9);
        EXPECT_EQ(bench.Pixel(x8 + 1, 101)[kAlpha], 51);
        EXPECT_EQ(bench.Pixel(x9 + 1, 101)[kAlpha], 204);

        EXPECT_EQ(bench.doc.CurFrame(), 10);
        EXPECT_EQ(layer->CurFrame(), layerFrame);
        EXPECT_FALSE(layer->fInMotionBlurPass);
        EXPECT_EQ(bench.layerImage.buffer.pixels, nullptr);
    }
}

TEST(LayerRender, MotionBlurSamplesLandInAFrameSizedOutputWithoutTheMargin)
{
    RenderBench bench(kFrame, kFrame);
    QV_BaseImage frame;
    ASSERT_EQ(frame.Allocate(kFrame, kFrame, 32), 0);
    RenderBench::Clear(frame.buffer);
    RectLayer* layer = AddRect(bench, 100, 100, 104, 104);
    layer->fMotionBlur.SetValue(0, true);
    layer->fMotionBlurFrames.SetValue(0, 1);
    layer->fMotionBlurSkip.SetValue(0, 1);
    layer->fMotionBlurAlphaStart.SetValue(0, 1);
    layer->fMotionBlurRadius.SetValue(0, 0);
    bench.doc.SetCurFrame(5);
    layer->BeginRender(&bench.doc, &bench.graphics, &frame.buffer, &bench.scratch.buffer, &bench.layerImage,
        &bench.settings);
    EXPECT_EQ(RasterPixel(frame.buffer, 100 - kMargin, 100 - kMargin)[kAlpha], 255);
    EXPECT_EQ(RasterPixel(frame.buffer, 99 - kMargin, 100 - kMargin)[kAlpha], 0);
}

TEST(LayerRender, MotionBlurAtTheFirstFrameSkipsEverySample)
{
    RenderBench bench(64, 48, 8);
    RectLayer* layer = AddRect(bench, 0, 0, 4, 4);
    layer->fMotionBlur.SetValue(0, true);
    layer->fMotionBlurFrames.SetValue(0, 3);
    layer->fMotionBlurSkip.SetValue(0, 1);
    bench.doc.SetCurFrame(1);
    EXPECT_FALSE(bench.Begin(layer));
    EXPECT_TRUE(layer->calls.empty());
    EXPECT_EQ(bench.doc.CurFrame(), 1);

    // Frame 3 with skip 1: only the samples at 1 and 2 remain (t = 0 is left out).
    bench.doc.SetCurFrame(3);
    bench.Begin(layer);
    ASSERT_EQ(layer->calls.size(), 2u);
    EXPECT_EQ(layer->calls[0].docFrame, 1);
    EXPECT_EQ(layer->calls[1].docFrame, 2);
}

TEST(LayerRender, EffectValuesFarOutOfRangeStayHarmless)
{
    // Documents may hold any float in the effect channels.
    RenderBench bench(64, 48, 8);
    RectLayer* layer = AddRect(bench, 10, 10, 20, 20);
    layer->fLayerShadow.SetValue(0, true);
    layer->fShadowOffset.SetValue(0, 1e30f);
    layer->fShadowExpansion.SetValue(0, -1e30f);
    layer->fShadowBlur.SetValue(0, 1e30f);
    layer->fLayerShading.SetValue(0, true);
    layer->fShadingContraction.SetValue(0, -1e30f);
    layer->fShadingOffset.SetValue(0, std::nanf(""));
    layer->fBlur.SetValue(0, 1e30f);
    layer->fMotionBlur.SetValue(0, true);
    layer->fMotionBlurFrames.SetValue(0, 1e9f);
    layer->fMotionBlurSkip.SetValue(0, 1);
    layer->fMotionBlurRadius.SetValue(0, 1e30f);
    bench.doc.SetCurFrame(3);
    EXPECT_TRUE(bench.Render(layer));
    // Only the samples at frames 1 and 2 exist, then the layer's own item.
    EXPECT_EQ(layer->calls.size(), 3u);
    EXPECT_EQ(bench.doc.CurFrame(), 3);
}

TEST(LayerRender, AHugeFrameCountWithoutSkipRendersOnlyTheNewestSamples)
{
    // A skip of 0 puts every sample at the current frame: nothing bounds them by the document.
    RenderBench bench(64, 48, 8);
    RectLayer* layer = AddRect(bench, 10, 10, 20, 20);
    layer->fMotionBlur.SetValue(0, true);
    layer->fMotionBlurFrames.SetValue(0, 1e9f);
    layer->fMotionBlurSkip.SetValue(0, 0);
    layer->fMotionBlurRadius.SetValue(0, 0);
    bench.doc.SetCurFrame(3);
    bench.Begin(layer);
    EXPECT_EQ(layer->calls.size(), 256u);
    EXPECT_EQ(bench.doc.CurFrame(), 3);
}

TEST(LayerRender, ATopLevelLayerInALayeredFileKeepsItsAlpha)
{
    for (const bool nested : { false, true }) {
        SCOPED_TRACE(nested ? "sub-layer" : "top level");
        RenderBench bench(kFrame, kFrame);
        bench.settings.fPSDWriter = &LayeredWriter();
        RectLayer* layer = new RectLayer(100, 100, 120, 120);
        GroupLayer* group = nullptr;
        if (nested) {
            group = new GroupLayer;
            bench.doc.AddLayer(group);
            group->AddLayer(layer);
        } else {
            bench.doc.AddLayer(layer);
        }
        layer->fAlpha.value = 0.5f;
        RenderIntoLayerImage(bench, layer);
        EXPECT_EQ(RasterPixel(bench.layerImage.buffer, 110, 110)[kAlpha], nested ? 128 : 255);
    }
}

TEST(LayerRender, BlurSpreadsByFrameHeights)
{
    RenderBench bench(kFrame, kFrame);
    RectLayer* layer = AddRect(bench, 100, 100, 140, 140);
    layer->fBlur.value = 0.05f;
    EXPECT_TRUE(bench.Render(layer));
    // Soft edges on both sides of the border, nothing far away.
    EXPECT_GT(bench.Pixel(98, 120)[kAlpha], 0);
    EXPECT_LT(bench.Pixel(101, 120)[kAlpha], 255);
    EXPECT_EQ(bench.Pixel(120, 120)[kAlpha], 255);
    EXPECT_EQ(bench.Pixel(40, 120)[kAlpha], 0);
}

TEST(LayerRender, AutoShadingDarkensNearTheEdgesOnly)
{
    RenderBench bench(kFrame, kFrame);
    RectLayer* layer = AddRect(bench, 100, 100, 200, 200);
    layer->fAmbientOcclusion.value = 0.02f;
    EXPECT_TRUE(bench.Render(layer));
    const uint8_t* edge = bench.Pixel(101, 150);
    const uint8_t* middle = bench.Pixel(150, 150);
    EXPECT_LT(edge[kRed], 200);
    EXPECT_EQ(edge[kRed], edge[kBlue]) << "grey";
    EXPECT_EQ(edge[kAlpha], 255);
    EXPECT_EQ(middle[kRed], 255);
}

TEST(LayerRender, TheHsvImageShiftsColoursAndAMissingOneChangesNothing)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder ? folder : "/tmp") + "/layer_render_hsv_test.png";
    {
        // Hue and saturation unchanged, lightness down by 64.
        QV_BaseImage modulation;
        ASSERT_EQ(modulation.Allocate(2, 2, 32), 0);
        for (int32_t y = 0; y < 2; y++) {
            for (int32_t x = 0; x < 2; x++) {
                uint8_t* p = RasterPixel(modulation.buffer, x, y);
                p[kRed] = 128;
                p[kGreen] = 128;
                p[kBlue] = 64;
                p[kAlpha] = 255;
            }
        }
        ImageFormatRegistry::Init();
        ASSERT_EQ(SaveImageFile(modulation, path.c_str(), PngWriterIndex), 0);
    }
    // A name without a folder is looked up beside the document, not in the working folder.
    const struct {
        const char* name;
        std::string hsv;
        bool present;
    } cases[] = { { "image", path, true }, { "beside the document", "layer_render_hsv_test.png", true },
        { "missing image", "/nonexistent/hsv.png", false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool present = c.present;
        RenderBench bench(kFrame, kFrame);
        bench.doc.SetPath((std::string(folder ? folder : "/tmp") + "/scene.celv").c_str());
        RectLayer* layer = AddRect(bench, 100, 100, 120, 120, { 255, 255, 255, 255 });
        ASSERT_TRUE(layer->SetHsvImage(c.hsv.c_str()));
        EXPECT_EQ(bench.Render(layer), present);
        const uint8_t* p = bench.Pixel(110, 110);
        if (present) {
            EXPECT_LT(p[kRed], 255);
            EXPECT_EQ(p[kRed], p[kGreen]);
        } else {
            EXPECT_EQ(p[kRed], 255);
        }
        EXPECT_EQ(p[kAlpha], 255);
    }
    std::remove(path.c_str());
}

TEST(LayerRender, FlatAndStaticLayersHaveNoTiltShearOrTiltedCamera)
{
    struct Case {
        const char* name;
        void (*set)(VornDoc&, GroupLayer&, VornLayer&);
        bool expected;
    } cases[] = {
        { "plain", [](VornDoc&, GroupLayer&, VornLayer&) {}, true },
        { "turned about z", [](VornDoc&, GroupLayer&, VornLayer& l) { l.fRotationZ.SetValue(5, 1.0f); },
            true },
        { "rotation x at 0", [](VornDoc&, GroupLayer&, VornLayer& l) { l.fRotationX.SetValue(0, 0.1f); },
            false },
        { "rotation y keyed", [](VornDoc&, GroupLayer&, VornLayer& l) { l.fRotationY.SetValue(7, 0.0f); },
            false },
        { "shear",
            [](VornDoc&, GroupLayer&, VornLayer& l) {
                l.fShear.SetValue(0, QV_Vector3 { 0, 0, 0.5f });
            },
            false },
        { "tilted parent", [](VornDoc&, GroupLayer& g, VornLayer&) { g.fRotationX.SetValue(0, 0.2f); },
            false },
        { "camera pan in 3D",
            [](VornDoc& d, GroupLayer&, VornLayer&) {
                d.fAllow3D = true;
                d.fCameraPanTilt.SetValue(0, QV_Vector2 { 0.1f, 0 });
            },
            false },
        { "camera pan without 3D",
            [](VornDoc& d, GroupLayer&, VornLayer&) {
                d.fAllow3D = false;
                d.fCameraPanTilt.SetValue(0, QV_Vector2 { 0.1f, 0 });
            },
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        VornDoc doc;
        GroupLayer* group = new GroupLayer;
        doc.AddLayer(group);
        VornLayer* layer = new VornLayer;
        group->AddLayer(layer);
        c.set(doc, *group, *layer);
        EXPECT_EQ(layer->IsFlatAndStatic(), c.expected);
    }
}
