#pragma once
// Polygons for the rasteriser tests, given in pixels and converted to centred view units. Tests
// use targets whose height is a power of two, so the conversion and the rasteriser's mapping back
// are exact and vertices land on the pixel positions written in the test.
#include "owned_raster.h"
#include "qv_raster.h"

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

struct PixelPoint {
    float x;
    float y;
};

inline RasterPolygon PolygonInPixels(
    uint8_t kind, std::initializer_list<PixelPoint> points, const QV_PixelBuffer& target)
{
    RasterPolygon list {};
    list.kind = kind;
    const float cx = static_cast<float>(target.width) * 0.5f;
    const float cy = static_cast<float>(target.height) * 0.5f;
    for (const PixelPoint& p : points) {
        RasterVertex& v = list.vertices[list.count++];
        v.x = (p.x - cx) / cy;
        v.y = (cy - p.y) / cy;
    }
    return list;
}

// The rows (and columns within them) that differ from `background` on a 32-bit raster.
inline std::vector<std::pair<int32_t, int32_t>> Painted(OwnedRaster& raster, uint32_t background = 0)
{
    std::vector<std::pair<int32_t, int32_t>> out;
    for (int32_t y = 0; y < raster.buffer.height; y++)
        for (int32_t x = 0; x < raster.buffer.width; x++)
            if (raster.Get32(x, y) != background)
                out.emplace_back(x, y);
    return out;
}

inline bool RowPainted(OwnedRaster& raster, int32_t y, uint32_t background = 0)
{
    for (int32_t x = 0; x < raster.buffer.width; x++)
        if (raster.Get32(x, y) != background)
            return true;
    return false;
}

// A 32-bit texture filled by a function of (x, y).
template <typename F> OwnedRaster Texture32(int32_t width, int32_t height, F texel)
{
    OwnedRaster t(width, height, 32);
    for (int32_t y = 0; y < height; y++)
        for (int32_t x = 0; x < width; x++)
            t.Set32(x, y, texel(x, y));
    return t;
}

constexpr uint32_t kWhite = 0xFFFFFFFFu;
