#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Alpha-channel edits of one 32-bit raster; other depths are left alone.

void SetRasterAlpha(const QV_PixelBuffer& raster, uint8_t alpha);

// Stretches alpha values low..high onto 0..maximum (values outside clamp).
// The ramp is computed in single precision and rounded half away from zero.
// A range with high not above low has no ramp and changes nothing.
void RemapAlphaRange(const QV_PixelBuffer& raster, int32_t low, int32_t high, int32_t maximum);

// Colour channels divided by alpha through the divide table; alpha 0 leaves
// the colour as it is.
void UnpremultiplyRaster(const QV_PixelBuffer& raster);
