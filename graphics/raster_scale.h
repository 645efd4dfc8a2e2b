#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Resamples the whole source into the destination rectangle at (x, y) of size
// width x height, clipped to the destination. Both rasters must have the same
// pixel size. 1- and 2-byte pixels are sampled nearest-neighbour; 32-bit
// pixels are mixed linearly across columns and, when enlarging, across rows
// too (a reduction samples rows nearest-neighbour). A rectangle without area
// draws nothing.
void BlitRasterScaled(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    int32_t width, int32_t height);
