#include "coverage_composite.h"

#include "blend_tables.h"
#include "raster_overlap.h"

void CompositeCoverage(const QV_PixelBuffer& mask, rgb_color color, const QV_PixelBuffer& destination,
    int32_t x, int32_t y, bool mergeAlpha)
{
    if (mask.bytesPerPixel != 4 || destination.bytesPerPixel != 4)
        return;
    RasterOverlap overlap;
    if (!FindRasterOverlap(mask, destination, x, y, overlap))
        return;
    uint8_t opaque[4];
    opaque[kBlue] = color.b;
    opaque[kGreen] = color.g;
    opaque[kRed] = color.r;
    for (int32_t row = 0; row < overlap.height; row++) {
        const uint8_t* s = RasterPixel(mask, overlap.sourceX, overlap.sourceY + row);
        uint8_t* d = RasterPixel(destination, overlap.destinationX, overlap.destinationY + row);
        for (int32_t column = 0; column < overlap.width; column++, s += 4, d += 4) {
            const uint32_t coverage = s[kRed];
            if (coverage == 0)
                continue;
            if (coverage == 255) {
                d[kBlue] = opaque[kBlue];
                d[kGreen] = opaque[kGreen];
                d[kRed] = opaque[kRed];
                if (mergeAlpha)
                    d[kAlpha] = 255;
                continue;
            }
            const uint8_t* take = BlendMulTable[coverage];
            const uint8_t* keep = BlendMulTable[255 - coverage];
            for (int channel = kBlue; channel <= kRed; channel++)
                d[channel] = static_cast<uint8_t>(take[opaque[channel]] + keep[d[channel]]);
            if (mergeAlpha) {
                const uint32_t merged = d[kAlpha] + take[255 - d[kAlpha]];
                d[kAlpha] = static_cast<uint8_t>(merged > 255 ? 255 : merged);
            }
        }
    }
}
