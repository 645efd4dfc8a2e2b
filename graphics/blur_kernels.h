#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Weight kernels over the alpha channel of 32-bit rasters (bytes b, g, r, a), and the alpha
// filters built on them. Rasters of another depth, without pixels, or (for the two-raster filters)
// of different sizes are left alone.

// Weights of the offsets (dx, dy), -radius..radius each way, at weights[dy + radius][dx + radius].
struct PixelKernel {
    static constexpr int32_t kMaxRadius = 30;

    int32_t radius;
    // Sum of all weights, at least 1.
    int32_t weightSum;
    int32_t weights[2 * kMaxRadius + 1][64];
};

// A round kernel of radius / 2 (clamped to 1..30), heaviest at the centre and easing to weight 1
// at that distance and beyond. radius is replaced by the kernel's radius.
void BuildDiscKernel(int32_t& radius, PixelKernel& kernel);

// A kernel stretched along the angle (degrees): it reaches out to length (clamped to 1..30, and
// written back) along the angle and to 1 across it.
void BuildMotionBlurKernel(int32_t& length, PixelKernel& kernel, int32_t angle);

// Destination pixel = source colour with the kernel-weighted mean of the source alpha; near the
// border only the offsets inside count, and only their weights divide. Source and destination may
// be the same raster.
void ApplyBlurKernel(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, const PixelKernel& kernel);

// Destination alpha = the least (Erode) or greatest (Dilate) source alpha in the square of that
// radius round the pixel, clipped to the raster. The destination's colour is kept.
void ErodeAlpha(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t radius);
void DilateAlpha(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t radius);

// Smooth blur of the alpha channel in place: the middle row of the disc kernel of that radius
// applied across and then down. A radius below 1 does nothing.
void DiscBlur(const QV_PixelBuffer& raster, int32_t radius);
