#pragma once
#include "qv_color.h"
#include "qv_pixelbuffer.h"
#include <cstdint>

// Whole-raster colour operations. Only the pixels of each row are written,
// never the padding after them, so views into larger rasters are safe.

// Every pixel set to the colour in the raster's own encoding (8-bit: nearest
// palette index). A raster without pixels is left alone.
void FillRaster(const QV_PixelBuffer& raster, rgb_color color);

// 32-bit only: each colour channel c becomes 255 - c; alpha stays.
void InvertRaster(const QV_PixelBuffer& raster);

// 15-, 16- and 32-bit only. The colour is packed as for BlendPixel32 (red in
// the low byte). A transparent colour changes nothing, an opaque one replaces
// every pixel's colour, anything between blends like the BlendPixel
// operations; 32-bit pixels keep their alpha either way.
void TintRaster(const QV_PixelBuffer& raster, uint32_t color);
