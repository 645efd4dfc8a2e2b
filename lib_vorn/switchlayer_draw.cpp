// The switch layer in the editor view and in final renders: only the shown sub-layer is drawn.
// Unlike a group it applies no group mask.

#include "composite_modes.h"
#include "layer_effects.h"
#include "meshlayer_draw_colors.h"
#include "pushed_transform.h"
#include "raster_alpha.h"
#include "render_settings.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

bool KeepsModeThroughCurrent(int32_t mode)
{
    // Unlike a group, the switch turns its current sub-layer current in SWF passes too.
    return mode == DRAW_QUICK_PREVIEW || mode == DRAW_ONION || mode == DRAW_ONION_CURRENT;
}

} // namespace

void SwitchLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings* settings)
{
    if (!graphics)
        return;
    UpdateToDocFrame(doc);
    const int32_t incoming = drawMode;
    if (drawMode == DRAW_ONION_CURRENT && currentLayer == this)
        drawMode = DRAW_ONION;
    if (drawMode == DRAW_ONION && currentLayer != this && ContainsLayer(currentLayer)) {
        // An onion skin of a sub-layer shows the whole switch as the current layer.
        Draw(doc, graphics, scratch, drawMode, this, settings);
        drawMode = incoming;
        return;
    }

    ShowRestPoseForTools(doc);
    fSkeleton.UpdateBoneMatrix(-1);
    RunLayerScript();
    PushedTransform layerTransform(graphics);
    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    graphics->ApplyMatrix(transform);

    VornLayer* shown = ShownLayer(currentLayer, true);
    if (drawMode == DRAW_EDIT) {
        if (currentLayer == this) {
            if (ShowsEditOverlays())
                DrawEditOverlays(doc, graphics);
        } else if (shown && (shown == currentLayer || shown->IsGroupType())) {
            shown->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
            if (shown == currentLayer)
                DrawAfterCurrentSubLayer(doc, graphics, shown);
        }
    } else if (shown) {
        const bool isCurrent = shown == currentLayer;
        if (isCurrent && !KeepsModeThroughCurrent(drawMode) && !shown->IsGroupType())
            drawMode = DRAW_CURRENT;
        if (SubLayerDrawn(shown, drawMode, isCurrent))
            shown->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
        if (isCurrent && !KeepsModeThroughCurrent(drawMode))
            drawMode = DRAW_ABOVE;
    }

    layerTransform.Restore();
    if (drawMode == DRAW_ONION)
        drawMode = incoming;
}

int32_t SwitchLayer::CountRenderItems()
{
    return 1;
}

void SwitchLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
    int32_t, RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    VornLayer* layer = ShownLayer(nullptr, false);
    if (!target || !settings || !layer)
        return;
    layer->UpdateToDocFrame(doc);
    if (!layer->fVisible || !layer->fVisibility.value || layer->fEditOnly)
        return;

    QV_BaseImage image;
    const bool ownImage = layer->BeginRender(doc, graphics, target, scratch, &image, settings);
    const bool useImage = image.buffer.pixels != nullptr;
    QV_PixelBuffer* const itemTarget = useImage ? &image.buffer : target;

    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    PushedTransform pushed(graphics, transform);
    XGraphics* const preview = settings->fPreviewGraphics;
    if (ownImage)
        settings->fPreviewGraphics = nullptr;
    {
        PushedTransform previewPushed(ownImage ? nullptr : preview, transform);
        const int32_t items = layer->CountRenderItems();
        for (int32_t i = 0; i < items; i++)
            layer->RenderItem(doc, graphics, itemTarget, scratch, i, settings);
        if (useImage) {
            if (ownImage)
                layer->FinishRender(doc, graphics, target, &image, scratch, settings);
            else
                UnpremultiplyRaster(image.buffer);
            const bool sameSize = image.buffer.width == target->width && image.buffer.height == target->height;
            const int32_t offset = sameSize ? 0 : -settings->fMargin;
            CompositeRasterMode(layer->fBlendingMode, image.buffer, *target, offset, offset, true);
        }
    }
    settings->fPreviewGraphics = preview;
}
