#pragma once
#include "blend_tables.h"
#include "qv_pixelbuffer.h"
#include "raster_blit.h"
#include "raster_overlap.h"
#include "raster_rows.h"
#include <cstdint>

// The straight-alpha composite that BlitRasterAlpha and the blend modes share.
// blend(s, d, out) writes the blue, green and red bytes that stand in for the
// source colour, from the source and destination pixels (bytes b, g, r, a).
// The source alpha A weights them in: 255 stores them, 0 leaves the pixel
// alone, anything between mixes mul[A][out] + mul[255 - A][d]. The
// destination's own alpha never weights the mix; with mergeAlpha it grows by
// mul[A][255 - a] (to 255 for an opaque source), otherwise it stays.
//
// Rasters that are not both 32-bit but have equal pixel sizes are copied
// plainly; different pixel sizes do nothing.
template <typename Blend>
void CompositeOver(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    bool mergeAlpha, Blend blend)
{
    if (source.bytesPerPixel != 4 || destination.bytesPerPixel != 4) {
        if (source.bytesPerPixel == destination.bytesPerPixel)
            BlitRaster(source, destination, x, y);
        return;
    }
    FillInRowBytes(source);
    ForEachOverlapPixel32(source, destination, x, y, [mergeAlpha, &blend](const uint8_t* s, uint8_t* d) {
        const uint32_t alpha = s[kAlpha];
        if (alpha == 0)
            return;
        uint8_t value[3];
        blend(s, d, value);
        if (alpha == 255) {
            d[kBlue] = value[kBlue];
            d[kGreen] = value[kGreen];
            d[kRed] = value[kRed];
            if (mergeAlpha)
                d[kAlpha] = 255;
            return;
        }
        const uint8_t* take = BlendMulTable[alpha];
        const uint8_t* keep = BlendMulTable[255 - alpha];
        for (int channel = kBlue; channel <= kRed; channel++)
            d[channel] = static_cast<uint8_t>(take[value[channel]] + keep[d[channel]]);
        if (mergeAlpha) {
            const uint32_t merged = d[kAlpha] + take[255 - d[kAlpha]];
            d[kAlpha] = static_cast<uint8_t>(merged > 255 ? 255 : merged);
        }
    });
}
