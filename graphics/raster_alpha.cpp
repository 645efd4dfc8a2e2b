#include "raster_alpha.h"

#include "blend_tables.h"
#include "raster_rows.h"

#include <cmath>

namespace {

bool Is32BitWithPixels(const QV_PixelBuffer& raster)
{
    return raster.pixels && raster.bytesPerPixel == 4;
}

bool DivideRowKeeps(int32_t alpha)
{
    for (int32_t v = 0; v < 256; v++) {
        if (BlendDivTable[alpha][v] != v)
            return false;
    }
    return true;
}

} // namespace

void SetRasterAlpha(const QV_PixelBuffer& raster, uint8_t alpha)
{
    if (!Is32BitWithPixels(raster))
        return;
    ForEachPixel32Of(raster, [alpha](uint8_t* p) { p[kAlpha] = alpha; });
}

void RemapAlphaRange(const QV_PixelBuffer& raster, int32_t low, int32_t high, int32_t maximum)
{
    if (!Is32BitWithPixels(raster) || high <= low)
        return;
    uint8_t ramp[256];
    const float span = static_cast<float>(high - low);
    for (int32_t i = 0; i < 256; i++) {
        const float value = static_cast<float>(i - low) / span * static_cast<float>(maximum);
        long rounded = std::lround(value);
        if (rounded > maximum)
            rounded = maximum;
        if (rounded > 255)
            rounded = 255;
        if (rounded < 0)
            rounded = 0;
        ramp[i] = static_cast<uint8_t>(rounded);
    }
    ForEachPixel32Of(raster, [&ramp](uint8_t* p) { p[kAlpha] = ramp[p[kAlpha]]; });
}

void UnpremultiplyRaster(const QV_PixelBuffer& raster)
{
    if (!Is32BitWithPixels(raster))
        return;
    // The clear and the opaque pixels, most of a frame, divide to themselves in a built table:
    // those are passed over.
    const bool endsKeep = DivideRowKeeps(0) && DivideRowKeeps(255);
    ForEachPixel32Of(raster, [endsKeep](uint8_t* p) {
        if (endsKeep && (p[kAlpha] == 0 || p[kAlpha] == 255))
            return;
        const uint8_t* divide = BlendDivTable[p[kAlpha]];
        p[kBlue] = divide[p[kBlue]];
        p[kGreen] = divide[p[kGreen]];
        p[kRed] = divide[p[kRed]];
    });
}
