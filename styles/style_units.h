#pragma once

#include <cstdint>

#include "qv_pixelbuffer.h"
#include "qv_rect.h"
#include "raster_rows.h"

// Unit conversions and small raster helpers shared by the effect kinds. Effect values come from
// document files, so every conversion here is total: a non-finite or huge value never reaches an
// integer conversion or a division.

// value x height x scale in single precision; NaN gives 0 and an overflow the largest float of
// its sign.
float StylePixels(float value, int32_t height, float scale);

// Rounded half away from zero and limited to lo..hi; NaN counts as 0.
int32_t RoundHalfAwayClamped(float value, int32_t lo, int32_t hi);

// StylePixels rounded half away from zero, limited to lo..hi.
int32_t StylePixelsRounded(float value, int32_t height, float scale, int32_t lo, int32_t hi);

// A 32-bit raster with pixels: the only kind the effects change.
bool IsEffectRaster(const QV_PixelBuffer* raster);

// The rectangle of a raster's own extent.
QV_Rect RasterBounds(const QV_PixelBuffer& raster);

// The part of a work buffer standing for the target's pixels in rect, rect clipped to the target
// first. Work pixels lie at the target's own positions; a buffer larger than the target (the
// editor's scratch) serves as well, but it must hold all of that part. False when it does not, or
// when rect misses the target.
bool WorkAreaAt(QV_Rect rect, const QV_PixelBuffer& target, QV_PixelBuffer& work, QV_PixelBuffer& out);

// Runs pixel(p) over every pixel of a 32-bit raster (p points at the bytes b, g, r, a).
template <typename Pixel> void ForEachPixel32(const QV_PixelBuffer& raster, Pixel pixel)
{
    if (IsEffectRaster(&raster))
        ForEachPixel32Of(raster, pixel);
}
