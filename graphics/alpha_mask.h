#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Two-raster operations on the alpha of a 32-bit destination, with the source
// placed at (x, y) as for the blits. Unsuitable depths do nothing.

// Destination pixel = source colour with alpha min(source alpha, destination alpha).
void BlitIntersectAlpha(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y);

// The source is an 8-bit mask: destination alpha a becomes mul[mask][a].
void MultiplyAlphaByMask(const QV_PixelBuffer& mask, const QV_PixelBuffer& destination, int32_t x, int32_t y);

// MultiplyAlphaByMask with the mask tiled over the whole destination.
void TileAlphaMask(
    const QV_PixelBuffer& mask, const QV_PixelBuffer& destination, int32_t yPhase, int32_t xPhase);

// Where the destination is not transparent its alpha loses the source alpha
// (not below 0); colours stay. A source whose row bytes are 0 gets packed row
// bytes first.
void SubtractAlpha(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y);
