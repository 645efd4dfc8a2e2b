#pragma once
#include "qv_pixelbuffer.h"
#include "raster_rows.h"
#include <cstdint>

// Where a source raster placed with its top-left pixel at (x, y) of a
// destination overlaps it: the first source and destination pixel of the
// overlap and its size. Every two-raster operation touches only this.
struct RasterOverlap {
    int32_t sourceX = 0;
    int32_t sourceY = 0;
    int32_t destinationX = 0;
    int32_t destinationY = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// False when the rasters do not overlap or either has no pixels.
bool FindRasterOverlap(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    RasterOverlap& out);

// A source whose row bytes were left 0 is taken as packed rows; the descriptor
// is updated so the caller sees the value used.
void FillInRowBytes(QV_PixelBuffer& source);

// Runs pixel(s, d) over the overlap of two 32-bit rasters; other depths do
// nothing.
template <typename Pixel>
void ForEachOverlapPixel32(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, Pixel pixel)
{
    if (source.bytesPerPixel != 4 || destination.bytesPerPixel != 4)
        return;
    RasterOverlap overlap;
    if (!FindRasterOverlap(source, destination, x, y, overlap))
        return;
    for (int32_t row = 0; row < overlap.height; row++) {
        const uint8_t* s = RasterPixel(source, overlap.sourceX, overlap.sourceY + row);
        uint8_t* d = RasterPixel(destination, overlap.destinationX, overlap.destinationY + row);
        for (int32_t column = 0; column < overlap.width; column++, s += 4, d += 4)
            pixel(s, d);
    }
}
