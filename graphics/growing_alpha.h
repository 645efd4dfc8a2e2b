#pragma once
// Span fillers that draw into a layer whose alpha builds up as shapes overlap.
#include "pixel_blend.h"
#include "raster_rows.h"
#include <cstdint>

// A 32-bit pixel value (A << 24 | R << 16 | G << 8 | B) as the packed colour of the blend
// operations (red in the low byte).
inline uint32_t PackedFromPixel(uint32_t pixel)
{
    return (pixel & 0xFF00FF00u) | ((pixel >> 16) & 0xFF) | ((pixel & 0xFF) << 16);
}

// The pixel value with its alpha replaced by before + add, capped at 255.
inline uint32_t GrowAlpha(uint32_t value, uint32_t before, uint32_t add)
{
    const uint32_t grown = before + add;
    return (value & 0x00FFFFFFu) | (grown > 255 ? 255u : grown) << 24;
}

// Blends a colour of partial alpha A into the pixel, then lets the pixel's alpha grow by A.
inline void BlendGrowingAlpha(uint8_t* p, uint32_t pixelColor)
{
    const uint32_t alpha = pixelColor >> 24;
    const uint32_t before = p[kAlpha];
    uint32_t value = LoadPixel32(p);
    BlendPixel32(&value, PackedFromPixel(pixelColor));
    StorePixel32(p, GrowAlpha(value, before, alpha));
}
