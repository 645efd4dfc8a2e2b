#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Box blurs of 32-bit rasters in place: two box passes along every row, then two down every
// column, each pass a running sum, so the cost per pixel does not depend on the radius. Positions
// outside the raster repeat the edge pixel. Other depths are left alone.

// The box window of a blur radius: radius / 2 rounded, made odd, kept within 3..128 (the radius
// itself is taken within 1..256).
int32_t BoxBlurWindow(int32_t radius);

// Blue, green, red and alpha.
void BoxBlurRGBA(const QV_PixelBuffer& raster, int32_t radius);
// Alpha only; the colour is kept.
void BoxBlurAlpha(const QV_PixelBuffer& raster, int32_t radius);
