// Supersampled layer renders: the scratch image and its reduction onto the target.

#include "supersample.h"

#include "qv_baseimage.h"
#include "raster_alpha.h"
#include "layer_effects.h"
#include "render_settings.h"
#include "xgraphics.h"

int32_t BeginSupersample(RenderSettings* settings, const QV_PixelBuffer& target, QV_PixelBuffer& big)
{
    if (!settings || !settings->fAntialias || target.bytesPerPixel != 4 || !settings->fSupersampleImage)
        return 1;
    const int32_t k = settings->fExtraSmooth ? 4 : 2;
    QV_BaseImage* image = settings->fSupersampleImage;
    if (int64_t(target.width) * k > 32768 || int64_t(target.height) * k > 32768
        || image->Allocate(target.width * k, target.height * k, 32) != 0
        || image->GetPixelBuffer(big) != 0) {
        return 1;
    }
    ClearRaster(big);
    return k;
}

void FinishSupersample(QV_PixelBuffer& big, int32_t k, QV_PixelBuffer& target)
{
    const int32_t shift = k == 4 ? 4 : 2;
    for (int32_t y = 0; y < target.height; y++) {
        uint8_t* out = big.pixels + int64_t(y) * big.rowBytes;
        for (int32_t x = 0; x < target.width; x++) {
            uint32_t sum[4] = { 0, 0, 0, 0 };
            for (int32_t j = 0; j < k; j++) {
                const uint8_t* in = big.pixels + int64_t(y * k + j) * big.rowBytes + int64_t(x) * k * 4;
                for (int32_t i = 0; i < k; i++, in += 4)
                    for (int32_t c = 0; c < 4; c++)
                        sum[c] += in[c];
            }
            // Written row by row into the block's own top-left: the rows ahead are not read again.
            for (int32_t c = 0; c < 4; c++)
                out[x * 4 + c] = uint8_t(sum[c] >> shift);
        }
    }
    QV_PixelBuffer reduced = big;
    reduced.width = target.width;
    reduced.height = target.height;
    UnpremultiplyRaster(reduced);
    XGraphics graphics;
    if (graphics.SetRaster(&target) != 0)
        return;
    graphics.BeginDraw();
    graphics.DrawImageAlpha(&reduced, 0, 0, true);
    graphics.EndDraw();
}
