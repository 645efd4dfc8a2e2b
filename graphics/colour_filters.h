#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Colour filters over 32-bit rasters (bytes b, g, r, a) in place; alpha is kept. Other depths are
// left alone.

// Red, green and blue through a curve from 0 over the midpoint |factor| x 127 (at 127 and 128) to
// 255: factors below 1 darken the midtones, above 1 lighten them.
void AdjustMidtones(const QV_PixelBuffer& raster, float factor);

// One random offset per pixel, from -spread / 2 up to spread - 1 - spread / 2, added to red, green
// and blue alike. Numbers come from the calling thread's generator (QV_Rand), so a seeded run
// repeats. A spread below 1 does nothing.
void AddNoise(const QV_PixelBuffer& raster, int32_t spread);

// Grey (2 red + 2 green + blue) / 5 into all three colour channels.
void Desaturate(const QV_PixelBuffer& raster);
