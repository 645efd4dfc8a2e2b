#pragma once
// Arithmetic shared by the qv_graphics_*.cpp files; not for use outside the graphics context.
#include "pixel_blend.h"
#include "qv_color.h"
#include "qv_matrix.h"
#include "qv_pixelbuffer.h"
#include "qv_vector.h"
#include "raster_rows.h"
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace qv_graphics {

// Scratch of at least `wanted` records, grown (never shrunk) with realloc; false when memory ran
// out, leaving the scratch as it was.
template <typename T> bool ReserveScratch(T*& items, int32_t& capacity, int32_t wanted)
{
    if (wanted <= capacity)
        return true;
    const int32_t grown = wanted > 2 * capacity ? wanted : 2 * capacity;
    T* more = static_cast<T*>(std::realloc(items, size_t(grown) * sizeof(T)));
    if (!more)
        return false;
    items = more;
    capacity = grown;
    return true;
}

// Float to int32 without undefined behaviour: NaN gives INT32_MIN, values beyond the range
// saturate. Coordinates reach here from arbitrary matrices, so every conversion goes through it.
inline int32_t SaturateToInt(double v)
{
    if (!(v >= -2147483648.0))
        return INT32_MIN;
    if (v >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(v);
}

// Truncation toward zero.
inline int32_t TruncToInt(double v)
{
    return SaturateToInt(v);
}

// Pixel positions are rounded half away from zero.
inline int32_t RoundHalfAway(double v)
{
    return SaturateToInt(v < 0 ? v - 0.5 : v + 0.5);
}

// Clamp that sends NaN to the low bound, so a clamped value is always in range.
inline float ClampFloat(float v, float low, float high)
{
    if (!(v >= low))
        return low;
    if (v > high)
        return high;
    return v;
}

inline int32_t ClampInt(int32_t v, int32_t low, int32_t high)
{
    if (v < low)
        return low;
    if (v > high)
        return high;
    return v;
}

// A world point through the current matrix as (x, y, 0, 1): x, y, z, w without the divide.
struct Projected {
    float x;
    float y;
    float z;
    float w;

    // Distance in front of the near plane; visible when >= 0.
    float Depth() const { return w - z; }
    QV_Vector2 Divided() const { return QV_Vector2 { x / w, y / w }; }
};

inline Projected Project(const QV_Matrix& m, float x, float y)
{
    float v[4] = { x, y, 0, 1 };
    m.Transform4(v);
    return Projected { v[0], v[1], v[2], v[3] };
}

inline Projected Lerp(const Projected& a, const Projected& b, float t)
{
    return Projected { a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z),
        a.w + t * (b.w - a.w) };
}

// Cubic Bezier with Bernstein weights.
inline QV_Vector2 BezierAt(const QV_Vector2* p, float t)
{
    const float u = 1 - t;
    const float b0 = u * u * u;
    const float b1 = 3 * t * u * u;
    const float b2 = 3 * t * t * u;
    const float b3 = t * t * t;
    return QV_Vector2 { b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x,
        b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y };
}

inline Projected BezierAt(const Projected* p, float t)
{
    const float u = 1 - t;
    const float b0 = u * u * u;
    const float b1 = 3 * t * u * u;
    const float b2 = 3 * t * t * u;
    const float b3 = t * t * t;
    return Projected { b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x,
        b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y,
        b0 * p[0].z + b1 * p[1].z + b2 * p[2].z + b3 * p[3].z,
        b0 * p[0].w + b1 * p[1].w + b2 * p[2].w + b3 * p[3].w };
}

// The smooth step 3u^2 - 2u^3 by which variable-width strokes grow.
inline float SmoothStep(float u)
{
    return u * u * (3 - 2 * u);
}

// rgb_color as the packed little-endian value the pixel blends take.
inline uint32_t PackColor(rgb_color c)
{
    return uint32_t(c.r) | uint32_t(c.g) << 8 | uint32_t(c.b) << 16 | uint32_t(c.a) << 24;
}

// Blends the packed colour into the pixel at p by the raster's depth; 24-bit pixels are left alone.
inline void BlendPixelAt(const QV_PixelBuffer& raster, uint8_t* p, uint32_t packed)
{
    switch (raster.depth) {
    case 8:
        BlendPixel8(p, packed);
        break;
    case 15:
    case 16: {
        uint16_t v = LoadPixel16(p);
        if (raster.depth == 15)
            BlendPixel15(&v, packed);
        else
            BlendPixel16(&v, packed);
        StorePixel16(p, v);
        break;
    }
    case 32: {
        uint32_t v = LoadPixel32(p);
        BlendPixel32(&v, packed);
        StorePixel32(p, v);
        break;
    }
    default:
        break;
    }
}

// The smooth-line tables, built once per process by the first context.
extern int32_t gSmoothSlopeFactor[32];
extern int32_t gSmoothFalloff[64];
void BuildSmoothLineTables();

} // namespace qv_graphics
