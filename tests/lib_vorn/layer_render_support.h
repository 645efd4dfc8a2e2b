#pragma once

#include <cstring>
#include <vector>

#include "blend_tables.h"
#include "composite_modes.h"
#include "qv_baseimage.h"
#include "raster_rows.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

// A layer with one render item that lays a rectangle of a colour over its target, premultiplied
// as the layer kinds render. The rectangle moves `step` pixels right per layer frame, so that
// samples of different frames land side by side. Every call records the frames it saw.
class RectLayer : public VornLayer {
public:
    struct Call {
        int32_t docFrame;
        int32_t layerFrame;
        QV_PixelBuffer* target;
    };

    RectLayer(
        int32_t left, int32_t top, int32_t right, int32_t bottom, rgb_color color = { 255, 255, 255, 255 })
        : fLeft(left)
        , fTop(top)
        , fRight(right)
        , fBottom(bottom)
        , fColor(color)
    {
    }

    int32_t CountRenderItems() override { return 1; }
    void RenderItem(VornDoc* doc, XGraphics*, QV_PixelBuffer* target, QV_PixelBuffer*, int32_t,
        RenderSettings* settings) override
    {
        calls.push_back({ doc ? doc->fCurFrame : -1, fCurFrame, target });
        renderingMask.push_back(settings && settings->fRenderingMask);
        const int32_t shift = step * fCurFrame;
        for (int32_t y = fTop; y < fBottom; y++) {
            for (int32_t x = fLeft + shift; x < fRight + shift; x++) {
                if (x < 0 || y < 0 || x >= target->width || y >= target->height)
                    continue;
                uint8_t* p = RasterPixel(*target, x, y);
                const uint8_t* keep = BlendMulTable[255 - fColor.a];
                p[kBlue] = uint8_t(BlendMulTable[fColor.a][fColor.b] + keep[p[kBlue]]);
                p[kGreen] = uint8_t(BlendMulTable[fColor.a][fColor.g] + keep[p[kGreen]]);
                p[kRed] = uint8_t(BlendMulTable[fColor.a][fColor.r] + keep[p[kRed]]);
                p[kAlpha] = uint8_t(fColor.a + keep[p[kAlpha]]);
            }
        }
    }

    int32_t step = 0;
    std::vector<Call> calls;
    std::vector<bool> renderingMask;

private:
    int32_t fLeft, fTop, fRight, fBottom;
    rgb_color fColor;
};

// The rasters and context of one render pass, set up as the frame render job sets them: a
// document of W x H, a buffer with a margin on every side that the graphics context draws into
// with zoom H / (H + 2 margin), a scratch raster and a layer image of the same size.
struct RenderBench {
    RenderBench(int32_t width, int32_t height, int32_t margin = 64)
    {
        BuildBlendTables();
        doc.SetShape(width, height);
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fMargin = margin;
        buffer.Allocate(width + 2 * margin, height + 2 * margin, 32);
        scratch.Allocate(width + 2 * margin, height + 2 * margin, 32);
        Clear(buffer.buffer);
        Clear(scratch.buffer);
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.fZoom = float(height) / float(height + 2 * margin);
        graphics.SetRaster(&buffer.buffer);
        graphics.BeginDraw();
    }

    static void Clear(const QV_PixelBuffer& raster)
    {
        for (int32_t y = 0; y < raster.height; y++)
            std::memset(RasterRow(raster, y), 0, size_t(raster.width) * 4);
    }

    bool Begin(VornLayer* layer)
    {
        return layer->BeginRender(&doc, &graphics, &buffer.buffer, &scratch.buffer, &layerImage, &settings);
    }

    // One layer through the job's protocol: BeginRender, the items into the layer image or the
    // output, FinishRender and the blend-mode composite. Answers what BeginRender answered.
    bool Render(VornLayer* layer)
    {
        const bool own
            = layer->BeginRender(&doc, &graphics, &buffer.buffer, &scratch.buffer, &layerImage, &settings);
        QV_PixelBuffer* target = own ? &layerImage.buffer : &buffer.buffer;
        for (int32_t i = 0; i < layer->CountRenderItems(); i++)
            layer->RenderItem(&doc, &graphics, target, &scratch.buffer, i, &settings);
        if (own) {
            layer->FinishRender(&doc, &graphics, &buffer.buffer, &layerImage, &scratch.buffer, &settings);
            CompositeRasterMode(layer->fBlendingMode, layerImage.buffer, buffer.buffer, 0, 0, true);
            Clear(layerImage.buffer);
        }
        return own;
    }

    const uint8_t* Pixel(int32_t x, int32_t y) const { return RasterPixel(buffer.buffer, x, y); }

    VornDoc doc;
    RenderSettings settings;
    QV_BaseImage buffer;
    QV_BaseImage scratch;
    QV_BaseImage layerImage;
    XGraphics graphics;
};
