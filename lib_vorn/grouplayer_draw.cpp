// The group's editor drawing: its sub-layers in drawing order, with the draw mode turned to
// "current" for the current layer and to "above" after it, and the group mask previewed through
// the graphics context's mask stack.

#include "grouplayer.h"
#include "meshlayer_draw_colors.h"
#include "model_prefs.h"
#include "pushed_transform.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kQualityMaskPreview = 64;

// Output passes and onion skins keep their mode through the current layer.
bool KeepsModeThroughCurrent(int32_t mode)
{
    return mode == DRAW_QUICK_PREVIEW || mode == DRAW_SWF || mode == DRAW_ONION || mode == DRAW_ONION_CURRENT;
}

} // namespace

bool GroupLayer::SubLayerDrawn(VornLayer* layer, int32_t mode, bool isCurrent)
{
    if (!layer->fVisible)
        return false;
    if (layer->IsRenderOnly() && mode != DRAW_SWF && mode != DRAW_QUICK_PREVIEW && !isCurrent)
        return false;
    if (layer->IsEditOnly() && (mode == DRAW_QUICK_PREVIEW || mode == DRAW_SWF))
        return false;
    return layer->fVisibility.value || isCurrent;
}

void GroupLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings* settings)
{
    if (!graphics)
        return;
    UpdateToDocFrame(doc);
    const int32_t incoming = drawMode;
    if (drawMode == DRAW_ONION_CURRENT && currentLayer == this)
        drawMode = DRAW_ONION;

    const bool masked = (fQualityFlags & ViewQualityFlags() & kQualityMaskPreview)
        && (fGroupMask == GROUP_MASK_SHOW_ALL || fGroupMask == GROUP_MASK_HIDE_ALL);
    if (masked)
        graphics->PushMask(fGroupMask == GROUP_MASK_SHOW_ALL);

    RunLayerScript();
    DrawPrepared();
    PushedTransform layerTransform(graphics);
    QV_Matrix transform;
    GetLayerTransform(DocumentFrame(), transform, doc);
    graphics->ApplyMatrix(transform);

    if (drawMode == DRAW_EDIT) {
        if (currentLayer == this) {
            if (ShowsEditOverlays())
                DrawEditOverlays(doc, graphics);
        } else {
            for (int32_t i = 0; i < fLayers.fCount; i++) {
                VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
                if (layer == currentLayer || layer->IsGroupType())
                    layer->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
                if (layer == currentLayer)
                    DrawAfterCurrentSubLayer(doc, graphics, layer);
            }
        }
    } else {
        // Hiding everything, the bottom masked layer defines the visible area.
        VornLayer* bottom
            = fDepthLayers.fCount > 0 ? static_cast<VornLayer*>(fDepthLayers.fItems[0]) : nullptr;
        const bool bottomDefinesMask
            = fGroupMask == GROUP_MASK_HIDE_ALL && bottom && bottom->RenderMaskingMode() == MM_MASKED;
        if (bottomDefinesMask)
            bottom->SetMaskingMode(MM_ADD_MASK);
        for (int32_t i = 0; i < fDepthLayers.fCount; i++) {
            VornLayer* layer = static_cast<VornLayer*>(fDepthLayers.fItems[i]);
            const bool isCurrent = layer == currentLayer;
            if (isCurrent && !KeepsModeThroughCurrent(drawMode) && !layer->IsGroupType())
                drawMode = DRAW_CURRENT;
            if (SubLayerDrawn(layer, drawMode, isCurrent))
                layer->Draw(doc, graphics, scratch, drawMode, currentLayer, settings);
            if (isCurrent && !KeepsModeThroughCurrent(drawMode))
                drawMode = DRAW_ABOVE;
        }
        if (bottomDefinesMask)
            bottom->SetMaskingMode(MM_MASKED);
    }

    layerTransform.Restore();
    if (masked)
        graphics->PopMask();
    if (drawMode == DRAW_ONION)
        drawMode = incoming;
}

void GroupLayer::DrawPrepared() { }

void GroupLayer::DrawEditOverlays(VornDoc*, XGraphics* graphics)
{
    graphics->SetColorStruct(EditorColInac());
    graphics->SetSmoothing(true);
    graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
}

void GroupLayer::DrawAfterCurrentSubLayer(VornDoc*, XGraphics*, VornLayer*) { }
