#pragma once
#include "qv_pixelbuffer.h"
#include "qv_rect.h"
#include <cstdint>

// out becomes a view into source covering the inclusive rectangle (normalised
// and clipped to the source); no pixels are copied. -3 when the rectangle lies
// wholly outside, leaving out a copy of the source descriptor; -4 when the
// source has no pixels; else 0. A source
// whose row bytes are 0 gets packed row bytes first.
int32_t MakeSubRaster(QV_Rect rect, QV_PixelBuffer& source, QV_PixelBuffer& out);

// 32-bit only: mirrors each row in place.
void FlipRasterHorizontal(const QV_PixelBuffer& raster);

// Any depth: turns the rows upside down in place. Only the pixels of each row
// move, so a view into a larger raster leaves the pixels around it alone.
void FlipRasterVertical(const QV_PixelBuffer& raster);
