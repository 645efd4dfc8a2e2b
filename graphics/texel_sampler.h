#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Bilinearly interpolated 32-bit pixel value (alpha << 24 | red << 16 |
// green << 8 | blue) of a 32-bit raster at pixel coordinates (u, v). With wrap
// the raster repeats; without it the edge pixels extend outward. Where all
// four neighbours are transparent the result is 0, whatever their colours.
// A raster without pixels, or a coordinate that is not finite, gives 0.
uint32_t SampleTexelBilinear(const QV_PixelBuffer& raster, float u, float v, bool wrap);
