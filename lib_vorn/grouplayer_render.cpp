// The group's render items: each sub-layer goes through its own render pass inside the group's
// transform, is combined with the group mask by its masking mode, and is composited onto the
// group's target.
#include <cstring>

#include "composite_modes.h"
#include "grouplayer.h"
#include "pushed_transform.h"
#include "layer_effects.h"
#include "meshlayer.h"
#include "raster_alpha.h"
#include "raster_rows.h"
#include "render_settings.h"
#include "xgraphics.h"

namespace {

bool AddsToMask(int32_t mode)
{
    return mode == MM_ADD_MASK || mode == MM_ADD_MASK_INVIS || mode == MM_CLEAR_ADD_MASK;
}

// Layer pixels and mask bytes by the sub-layer's masking mode. The layer image is laid centred on
// the mask when their sizes differ.
void CombineWithMask(const QV_PixelBuffer& image, const QV_PixelBuffer& mask, int32_t mode)
{
    if (mode == MM_NOTMASKED)
        return;
    if (mode == MM_CLEAR_ADD_MASK) {
        for (int32_t y = 0; y < mask.height; y++)
            std::memset(RasterRow(mask, y), 0, size_t(mask.width));
    }
    const int32_t left = (mask.width - image.width) / 2;
    const int32_t top = (mask.height - image.height) / 2;
    for (int32_t y = 0; y < image.height; y++) {
        const int32_t my = y + top;
        if (my < 0 || my >= mask.height)
            continue;
        for (int32_t x = 0; x < image.width; x++) {
            const int32_t mx = x + left;
            if (mx < 0 || mx >= mask.width)
                continue;
            uint8_t* p = RasterPixel(image, x, y);
            uint8_t* k = RasterPixel(mask, mx, my);
            const int32_t a = p[kAlpha];
            switch (mode) {
            case MM_MASKED:
                if (*k < 255) {
                    const int32_t masked = RoundEffect(float(*k) / 255.0f * (float(a) / 255.0f) * 255.0f);
                    p[kAlpha] = uint8_t(masked < 0 ? 0 : masked > 255 ? 255 : masked);
                }
                break;
            case MM_ADD_MASK:
            case MM_ADD_MASK_INVIS:
            case MM_CLEAR_ADD_MASK:
                *k = uint8_t(*k + a > 255 ? 255 : *k + a);
                break;
            case MM_SUB_MASK:
            case MM_SUB_MASK_INVIS:
                *k = uint8_t(*k - a < 0 ? 0 : *k - a);
                break;
            default:
                break;
            }
        }
    }
}

// The sub-layer's own effects pass, or, for an image the group made only for the mask, its
// premultiplied pixels turned straight.
void FinishSubLayer(VornLayer* layer, bool ownImage, VornDoc* doc, XGraphics* graphics,
    QV_PixelBuffer* target, QV_BaseImage& image, QV_PixelBuffer* scratch, RenderSettings* settings)
{
    if (ownImage)
        layer->FinishRender(doc, graphics, target, &image, scratch, settings);
    else
        UnpremultiplyRaster(image.buffer);
}

void RenderAllItems(VornLayer* layer, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
    QV_PixelBuffer* scratch, RenderSettings* settings)
{
    const int32_t items = layer->CountRenderItems();
    for (int32_t i = 0; i < items; i++)
        layer->RenderItem(doc, graphics, target, scratch, i, settings);
}

} // namespace

void GroupLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
    QV_PixelBuffer* scratch, int32_t item, RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (!target || !settings || item < 0 || item >= fDepthLayers.fCount)
        return;
    const int32_t groupMask = RenderGroupMask();
    if (groupMask != GROUP_MASK_NONE && item == 0) {
        if (fMaskImage.Allocate(target->width, target->height, 8) == QV_RESULT_OK) {
            const uint8_t fill = groupMask == GROUP_MASK_SHOW_ALL ? 255 : 0;
            for (int32_t y = 0; y < fMaskImage.buffer.height; y++)
                std::memset(RasterRow(fMaskImage.buffer, y), fill, size_t(fMaskImage.buffer.width));
        } else {
            // Without its mask the group renders its sub-layers unmasked.
            fMaskImage.Free();
        }
    }
    const bool hasMask = groupMask != GROUP_MASK_NONE && fMaskImage.buffer.pixels;

    VornLayer* layer = static_cast<VornLayer*>(fDepthLayers.fItems[item]);
    // A render-only sub-layer is not moved along by the group's frame changes.
    layer->UpdateToDocFrame(doc);
    if (!layer->fVisible || !layer->fVisibility.value || layer->fEditOnly)
        return;

    // Hiding everything, the bottom masked layer defines the visible area.
    // Held by pointer: a motion-blurred sub-layer moves the document through other frames, and
    // the depth sort on the way may reorder the list.
    VornLayer* const bottom = static_cast<VornLayer*>(fDepthLayers.fItems[0]);
    const int32_t bottomMode = bottom->fMaskingMode;
    if (item == 0 && groupMask == GROUP_MASK_HIDE_ALL && layer->RenderMaskingMode() == MM_MASKED)
        layer->fMaskingMode = MM_ADD_MASK;
    const int32_t mode = layer->RenderMaskingMode();

    QV_BaseImage image;
    const bool ownImage = layer->BeginRender(doc, graphics, target, scratch, &image, settings);
    if (!ownImage && hasMask && image.Allocate(target->width, target->height, 32) == QV_RESULT_OK)
        ClearRaster(image.buffer);
    const bool useImage = image.buffer.pixels != nullptr;
    QV_PixelBuffer* const itemTarget = useImage ? &image.buffer : target;

    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    PushedTransform pushed(graphics, transform);
    XGraphics* const preview = settings->fPreviewGraphics;
    const bool previewFollows = preview && !useImage && !hasMask;
    if (!previewFollows)
        settings->fPreviewGraphics = nullptr;
    {
        PushedTransform previewPushed(previewFollows ? preview : nullptr, transform);

        const bool linesLeftOut = hasMask && layer->LayerType() == LT_VECTOR
            && static_cast<MeshLayer*>(layer)->fExcludeLinesFromMask && AddsToMask(mode);
        settings->fRenderingMask = linesLeftOut;
        RenderAllItems(layer, doc, graphics, itemTarget, scratch, settings);

        bool composite = true;
        if (useImage) {
            FinishSubLayer(layer, ownImage, doc, graphics, target, image, scratch, settings);
            if (hasMask) {
                CombineWithMask(image.buffer, fMaskImage.buffer, mode);
                composite = mode != MM_ADD_MASK_INVIS && mode != MM_SUB_MASK_INVIS;
            }
            if (composite && linesLeftOut) {
                // The visible image keeps the outlines the mask left out. The image is cleared
                // whoever made it: drawn over the straight-alpha pixels of the first pass, the
                // edges would be un-premultiplied twice.
                settings->fRenderingMask = false;
                ClearRaster(image.buffer);
                RenderAllItems(layer, doc, graphics, itemTarget, scratch, settings);
                FinishSubLayer(layer, ownImage, doc, graphics, target, image, scratch, settings);
            }
        }
        if (composite && useImage) {
            const bool sameSize
                = image.buffer.width == target->width && image.buffer.height == target->height;
            const int32_t offset = sameSize ? 0 : -settings->fMargin;
            CompositeRasterMode(layer->fBlendingMode, image.buffer, *target, offset, offset, true);
        }
    }
    settings->fPreviewGraphics = preview;
    settings->fRenderingMask = false;
    bottom->fMaskingMode = bottomMode;
}
