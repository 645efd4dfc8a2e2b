#include "style_units.h"

#include <cfloat>
#include <cmath>

#include "raster_geometry.h"

float StylePixels(float value, int32_t height, float scale)
{
    const float pixels = value * static_cast<float>(height) * scale;
    if (std::isnan(pixels))
        return 0.0f;
    if (std::isinf(pixels))
        return pixels > 0 ? FLT_MAX : -FLT_MAX;
    return pixels;
}

int32_t RoundHalfAwayClamped(float value, int32_t lo, int32_t hi)
{
    if (value != value)
        value = 0.0f;
    if (!(value > static_cast<float>(lo)))
        return lo;
    if (value >= static_cast<float>(hi))
        return hi;
    const float rounded = std::round(value);
    if (rounded >= static_cast<float>(hi))
        return hi;
    return static_cast<int32_t>(rounded);
}

int32_t StylePixelsRounded(float value, int32_t height, float scale, int32_t lo, int32_t hi)
{
    return RoundHalfAwayClamped(StylePixels(value, height, scale), lo, hi);
}

bool IsEffectRaster(const QV_PixelBuffer* raster)
{
    return raster && raster->pixels && raster->bytesPerPixel == 4 && raster->width > 0 && raster->height > 0;
}

QV_Rect RasterBounds(const QV_PixelBuffer& raster)
{
    return QV_Rect { 0, 0, raster.width - 1, raster.height - 1 };
}

bool WorkAreaAt(QV_Rect rect, const QV_PixelBuffer& target, QV_PixelBuffer& work, QV_PixelBuffer& out)
{
    if (!rect.Intersect(RasterBounds(target)) || rect.right >= work.width || rect.bottom >= work.height)
        return false;
    return MakeSubRaster(rect, work, out) == 0;
}
