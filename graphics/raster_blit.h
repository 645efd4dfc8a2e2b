#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Copies and straight-alpha composites of a source raster placed with its
// top-left pixel at (x, y) of a destination (x and y may be negative). Only the
// overlap is touched. A source whose row bytes are 0 gets packed row bytes
// first (the descriptor passed in is updated).

// Plain copy; both rasters 1, 2 or 4 bytes per pixel and the same size
// (anything else copies nothing).
void BlitRaster(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y);

// Normal-mode composite (see CompositeOver in alpha_composite.h): the source
// alpha weights the source colour over the destination colour; with
// mergeAlpha the destination alpha grows toward opaque.
void BlitRasterAlpha(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);

// BlitRasterAlpha without alpha merge, repeated over the whole destination:
// rows from the top, columns from xPhase moved back by whole tiles.
void TileRasterAlpha(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t xPhase);

// 32-bit composite with the source alpha shifted by offset; the destination
// alpha is kept.
void BlitRasterFaded(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, int32_t offset);

// BlitRasterFaded at half strength (offset -128) tiled over the destination.
void TileRasterFaded(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t yPhase, int32_t xPhase);

// Composite only where the destination is not transparent; the destination
// alpha is kept.
void BlitRasterAtop(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y);
