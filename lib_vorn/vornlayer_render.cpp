// The raster pass of a final render that every layer kind shares: the motion-blur trail, the
// decision whether the layer needs an offscreen image, and the layer effects applied to it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "box_blur.h"
#include "composite_modes.h"
#include "grouplayer.h"
#include "image_file.h"
#include "layer_effects.h"
#include "media_path.h"
#include "pushed_transform.h"
#include "qv_raster3d.h"
#include "raster_alpha.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kMaxMotionBlurSamples = 256;

// The layer drawn at earlier frames, each sample blurred, faded and composited onto the output
// before the layer itself renders at its own frame. The document and the layer end at the frame
// they started at.
void RenderMotionBlurSamples(VornLayer* layer, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* output,
    QV_PixelBuffer* scratch, QV_BaseImage* layerImage, RenderSettings* settings)
{
    const int32_t n = RoundEffect(layer->fMotionBlurFrames.value);
    if (n < 1)
        return;
    const int32_t skip = RoundEffect(layer->fMotionBlurSkip.value);
    const int32_t radius = RoundEffect(layer->fMotionBlurRadius.value * float(doc->Height()));
    const int32_t frame = doc->fCurFrame;
    const float alphaStart = layer->fMotionBlurAlphaStart.value;
    const float alphaEnd = layer->fMotionBlurAlphaEnd.value;

    layer->fInMotionBlurPass = true;
    QV_Raster3D* const raster3D = settings->fRaster3D;
    settings->fRaster3D = nullptr;
    {
        XGraphics sampler;
        sampler.fViewMode = QV_Graphics::kViewCentered;
        sampler.fZoom = graphics->fZoom;
        sampler.SetAntialiasing(settings->fAntialias);
        sampler.SetBezierTolerance(settings->fQuickPreview ? 5.0f : 2.0f);
        sampler.SetRaster(&graphics->fTarget);

        // Samples before frame 1 are left out; with a forward skip they are the first ones, so the
        // walk starts after them.
        int32_t first = 0;
        if (skip > 0)
            first = int32_t(std::clamp<int64_t>(int64_t(n) - (int64_t(frame) - 1) / skip, 0, n));
        // A frame count from a file can be huge; older samples than these fade under the newer
        // ones at 8-bit alpha anyway, and walking them all would stall the render.
        first = std::max(first, n - kMaxMotionBlurSamples);
        for (int32_t j = first; j < n; j++) {
            const int64_t t = int64_t(frame) - int64_t(skip) * (n - j);
            if (t < 1 || t > INT32_MAX)
                continue;
            doc->SetCurFrame(int32_t(t));
            const bool ownImage = layer->BeginRender(doc, &sampler, output, scratch, layerImage, settings);
            if (!ownImage)
                layerImage->Allocate(sampler.Width(), sampler.Height(), 32);
            QV_PixelBuffer target;
            // Without a sample image there is nothing to fade: the sample is left out rather than
            // drawn at full strength into the output.
            if (layerImage->GetPixelBuffer(target) != QV_RESULT_OK || target.bytesPerPixel != 4)
                continue;
            ClearRaster(target);

            sampler.BeginDraw();
            if (sampler.fRaster3D) {
                sampler.fRaster3D->AttachTarget(target);
                sampler.fRaster3D->ClearDepth();
            }
            {
                QV_Matrix parent;
                layer->GetParentTransform(int32_t(t), parent, doc);
                PushedTransform placed(&sampler, parent);
                sampler.ApplyMatrix(layer->fParticleMatrix);
                XGraphics* const preview = settings->fPreviewGraphics;
                settings->fPreviewGraphics = nullptr;
                const int32_t items = layer->CountRenderItems();
                for (int32_t i = 0; i < items; i++)
                    layer->RenderItem(doc, &sampler, &target, scratch, i, settings);
                settings->fPreviewGraphics = preview;
            }

            if (ownImage) {
                QV_PSDWriter* const psd = settings->fPSDWriter;
                settings->fPSDWriter = nullptr;
                layer->FinishRender(doc, &sampler, output, layerImage, scratch, settings);
                settings->fPSDWriter = psd;
            } else {
                UnpremultiplyRaster(target);
            }
            if (radius > 0)
                BoxBlurRGBA(target, radius);
            // The oldest sample gets the end alpha, the newest the start alpha.
            const float a = n < 2 ? alphaStart : alphaEnd + (alphaStart - alphaEnd) * float(j) / float(n - 1);
            RemapAlphaRange(target, 0, 255, AlphaByte(a));
            const int32_t offset
                = (target.width > output->width || target.height > output->height) ? -settings->fMargin : 0;
            CompositeRasterMode(layer->fBlendingMode, target, *output, offset, offset, true);
        }
    }
    doc->SetCurFrame(frame);
    // The document leaves render-only layers alone; the frame is a document frame, which the
    // layer turns into its own through its timing offset.
    layer->SetCurFrame(frame);
    layerImage->Free();
    layer->fInMotionBlurPass = false;
    delete settings->fRaster3D;
    settings->fRaster3D = raster3D;
}

bool HasGroupMask(VornLayer* layer)
{
    const int32_t type = layer->LayerType();
    return (type == LT_GROUP || type == LT_BONE)
        && static_cast<GroupLayer*>(layer)->fGroupMask != GROUP_MASK_NONE;
}

bool SameSize(const QV_PixelBuffer& a, const QV_PixelBuffer* b)
{
    return b && b->pixels && b->bytesPerPixel == 4 && a.width == b->width && a.height == b->height;
}

// The shifted copy of the shading or the shadow, distances in pixels: the offset along the angle
// (counter-clockwise from +x, y up), the growth of its alpha (shrinking when negative) and its
// blur, each left out below half a pixel. The noise is in effect-scaled units.
LayerShadowShape ShadowShapeOf(float angle, float offset, float grow, float blur, rgb_color color,
    float noiseAmplitude, float noiseScale, float m)
{
    LayerShadowShape shape;
    shape.dx = RoundEffect(std::cos(angle) * offset);
    shape.dy = RoundEffect(-std::sin(angle) * offset);
    shape.grow = std::fabs(grow) > 0.5f ? RoundEffect(grow) : 0;
    shape.blur = blur >= 0.5f ? RoundEffect(blur) : 0;
    shape.color = color;
    shape.noiseAmplitude = noiseAmplitude * m;
    // A layer scaled to nothing would divide by zero.
    shape.noiseScale = noiseScale / (m > 1e-6f ? m : 1e-6f);
    return shape;
}

} // namespace

bool VornLayer::BeginRender(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* output,
    QV_PixelBuffer* scratch, QV_BaseImage* layerImage, RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (settings && settings->fLayerEffects && fMotionBlur.value && !fInMotionBlurPass && doc && graphics
        && output && layerImage)
        RenderMotionBlurSamples(this, doc, graphics, output, scratch, layerImage, settings);

    const float blur = fBlur.value + DepthOfFieldAmount(this, doc);
    // Unrounded, so that any opacity below 1 asks for the layer image.
    const float opacity = std::clamp(fAlpha.value * 255.0f, 0.0f, 255.0f);

    if (!fHsvImage.IsEmpty() && !fHsvImageCache.buffer.pixels) {
        // A failed load is tried again at the next render.
        // A relative path (from a script or the layer settings) names a file beside the document.
        if (LoadImageFile(FindMediaFile(fHsvImage.CString(), doc).c_str(), fHsvImageCache, 0) != QV_RESULT_OK)
            fHsvImageCache.Free();
    }

    if (!settings)
        return false;
    // A layered file needs every top-level layer's pixels on their own, effects or not.
    const bool layeredFile = settings->fPSDWriter && (settings->fLayerEffects || !fParent);
    if (!settings->fLayerEffects && !layeredFile)
        return false;
    const bool needsImage = layeredFile || blur > 1e-6f || opacity < 255 || fAmbientOcclusion.value >= 1e-6f
        || fLayerShadow.value || fLayerShading.value || fHsvImageCache.buffer.pixels
        || fBlendingMode != BM_NORMAL || LayerType() == LT_3D || HasGroupMask(this);
    if (!needsImage || !layerImage)
        return false;
    if (!layerImage->buffer.pixels) {
        if (!graphics || layerImage->Allocate(graphics->Width(), graphics->Height(), 32) != QV_RESULT_OK) {
            layerImage->Free();
            return false;
        }
        ClearRaster(layerImage->buffer);
    }
    return true;
}

void VornLayer::FinishRender(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer*, QV_BaseImage* layerImage,
    QV_PixelBuffer* scratch, RenderSettings* settings)
{
    QV_PixelBuffer image;
    if (!layerImage || layerImage->GetPixelBuffer(image) != QV_RESULT_OK || image.bytesPerPixel != 4)
        return;
    // Without layer effects the image was made only for a layered file: its pixels as drawn.
    if (settings && !settings->fLayerEffects) {
        UnpremultiplyRaster(image);
        return;
    }
    const float frameHeight = float(doc ? doc->Height() : image.height);

    // The effect scale: how large the layer appears in the raster, relative to the frame.
    float s = graphics ? graphics->fZoom : 1.0f;
    if (graphics && fScaleCompensation) {
        QV_Matrix own;
        GetLayerTransform(doc ? doc->fCurFrame : fCurFrame, own, doc);
        PushedTransform layerTransform(graphics, own);
        s = graphics->CurrentScale(false, 0, 0);
    }
    const float m = s * (graphics ? float(graphics->Height()) : frameHeight) / frameHeight;
    auto pixels = [m, frameHeight](float distance) { return distance * m * frameHeight; };
    const bool haveScratch = SameSize(image, scratch);

    const float occlusion = fAmbientOcclusion.value * m;
    if (occlusion >= 1e-6f && haveScratch)
        ApplyAutoShading(image, *scratch, RoundEffect(occlusion * frameHeight));

    const float blur = fBlur.value * m + DepthOfFieldAmount(this, doc);
    const int32_t opacity = AlphaByte(fAlpha.value);

    if (fHsvImageCache.buffer.pixels)
        ApplyHsvModulation(image, fHsvImageCache.buffer);

    // Contraction shrinks the shading, expansion grows the shadow.
    if (fLayerShading.value && haveScratch) {
        ApplyLayerShading(image, *scratch,
            ShadowShapeOf(fShadingAngle.value + std::numbers::pi_v<float>, pixels(fShadingOffset.value),
                -pixels(fShadingContraction.value), pixels(fShadingBlur.value), fShadingColor.value,
                fShadingNoiseAmp.value, fShadingNoiseScale.value, m));
    }
    if (fLayerShadow.value && haveScratch) {
        ApplyLayerShadow(image, *scratch,
            ShadowShapeOf(fShadowAngle.value, pixels(fShadowOffset.value), pixels(fShadowExpansion.value),
                pixels(fShadowBlur.value), fShadowColor.value, fShadowNoiseAmp.value, fShadowNoiseScale.value,
                m));
    }

    if (blur > 1e-6f)
        BoxBlurRGBA(image, RoundEffect(blur * frameHeight));
    UnpremultiplyRaster(image);
    // A top-level layer written to a layered file carries its opacity in its layer record.
    if (opacity < 255 && (fParent || !settings || !settings->fPSDWriter))
        RemapAlphaRange(image, 0, 255, opacity);
}

bool VornLayer::IsFlatAndStatic()
{
    auto nearZero = [](float v) { return std::fabs(v) <= 1e-6f; };
    if (fDoc && fDoc->fAllow3D) {
        const QV_Vector2 panTilt = fDoc->fCameraPanTilt.GetValue(0);
        if (fDoc->fCameraPanTilt.CountKeys() > 1 || !nearZero(panTilt.x) || !nearZero(panTilt.y))
            return false;
    }
    if (fParent && !fParent->IsFlatAndStatic())
        return false;
    for (AnimVal* rotation : { &fRotationX, &fRotationY }) {
        if (rotation->CountKeys() > 1 || !nearZero(rotation->GetValue(0)))
            return false;
    }
    const QV_Vector3 shear = fShear.GetValue(0);
    return fShear.CountKeys() <= 1 && nearZero(shear.x) && nearZero(shear.y) && nearZero(shear.z);
}
