// One layer step of the render job: a quick-preview drawing, or one render item of the full
// raster pass with the layer image finished and composited after the last item.

#include "composite_modes.h"
#include "layer_effects.h"
#include "model_prefs.h"
#include "qv_psdwriter.h"
#include "raster_alpha.h"
#include "raster_fill.h"
#include "render_job.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

// The editor options a quick preview draws with: fills, outlines, transparency and the other
// content options, without the editing overlays.
constexpr int32_t kQuickPreviewQualityFlags = 1516;

} // namespace

VornLayer* RenderJob::RenderedLayerAt(int32_t depthIndex)
{
    // An index outside the depth list is reported by the document and passed over.
    VornLayer* layer = fSettings->fDoc->LayerByDepth(depthIndex);
    if (!layer || !layer->fVisible || !layer->fVisibility.value || layer->IsEditOnly())
        return nullptr;
    return layer;
}

bool RenderJob::RenderNextLayer()
{
    RenderSettings& s = *fSettings;
    VornDoc* doc = s.fDoc;
    const int32_t count = doc->CountLayers();
    QV_PixelBuffer scratch;
    fScratchImage.GetPixelBuffer(scratch);

    if (s.fSWFMovie || fQuickPass) {
        VornLayer* layer = nullptr;
        for (; fLayerIndex < count && !layer; fLayerIndex++)
            layer = RenderedLayerAt(fLayerIndex);
        if (!layer)
            return false;
        VornLayer* current = doc->GetSelectedLayer();
        if (s.fSWFMovie) {
            int32_t mode = DRAW_SWF;
            layer->Draw(doc, fGraphics, &scratch, mode, current, fSettings);
        }
        if (fQuickPass) {
            ScopedViewQualityFlags flags(kQuickPreviewQualityFlags);
            int32_t mode = DRAW_QUICK_PREVIEW;
            layer->Draw(doc, fGraphics, &scratch, mode, current, fSettings);
        }
        fItemIndex = 0;
        return true;
    }

    // The current layer, or the next one that renders and has items once its items are done.
    VornLayer* layer = nullptr;
    int32_t itemCount = 0;
    while (fLayerIndex < count) {
        layer = RenderedLayerAt(fLayerIndex);
        itemCount = layer ? layer->CountRenderItems() : 0;
        if (layer && fItemIndex < itemCount)
            break;
        layer = nullptr;
        fLayerIndex++;
        fItemIndex = 0;
    }
    if (!layer)
        return false;

    QV_PixelBuffer output;
    OutputRaster(output);
    if (fItemIndex == 0)
        fUsesLayerImage = layer->BeginRender(doc, fGraphics, &output, &scratch, &fLayerImage, fSettings);

    QV_PixelBuffer layerRaster;
    if (fUsesLayerImage && fLayerImage.GetPixelBuffer(layerRaster) == 0) {
        // The layer image is drawn offscreen: the preview context shows only composited layers.
        XGraphics* preview = s.fPreviewGraphics;
        s.fPreviewGraphics = nullptr;
        layer->RenderItem(doc, fGraphics, &layerRaster, &scratch, fItemIndex, fSettings);
        s.fPreviewGraphics = preview;
    } else {
        fUsesLayerImage = false;
        layer->RenderItem(doc, fGraphics, &output, &scratch, fItemIndex, fSettings);
    }
    fItemIndex++;
    if (fItemIndex < itemCount)
        return true;
    if (fUsesLayerImage) {
        FinishLayerImage(layer);
    } else if (s.fPSDWriter) {
        // A layer that could not get a layer image still takes its record's place, empty, so
        // that the records after it describe the right pixels.
        s.fPSDWriter->WriteLayerImage(QV_PixelBuffer {});
    }
    return true;
}

void RenderJob::FinishLayerImage(VornLayer* layer)
{
    RenderSettings& s = *fSettings;
    VornDoc* doc = s.fDoc;
    QV_PixelBuffer output;
    QV_PixelBuffer scratch;
    QV_PixelBuffer layerRaster;
    OutputRaster(output);
    fScratchImage.GetPixelBuffer(scratch);
    layer->FinishRender(doc, fGraphics, &output, &fLayerImage, &scratch, fSettings);
    if (fLayerImage.GetPixelBuffer(layerRaster) != 0)
        return;
    const int32_t margin = s.fMargin;
    if (s.fPSDWriter) {
        QV_PixelBuffer frame;
        const QV_Rect rect { margin, margin, margin + output.width - 1, margin + output.height - 1 };
        if (fLayerImage.GetSubPixelBuffer(rect, frame) == 0)
            s.fPSDWriter->WriteLayerImage(frame);
        // The file's layer carries the opacity in its record; the frame (the file's merged image)
        // takes it here, as any other render would.
        const int32_t opacity = AlphaByte(layer->fAlpha.value);
        if (s.fLayerEffects && opacity < 255)
            RemapAlphaRange(layerRaster, 0, 255, opacity);
    }
    // Without layer effects, blend modes are left out too.
    CompositeRasterMode(
        s.fLayerEffects ? layer->BlendingMode() : BM_NORMAL, layerRaster, output, -margin, -margin, true);
    FillRaster(layerRaster, rgb_color { 0, 0, 0, 0 });
}
