#pragma once
#include "qv_pixelbuffer.h"
#include <cstddef>
#include <cstdint>
#include <cstring>

// Addressing shared by the raster operations. Rows may run bottom-up
// (negative rowBytes), and a view into a raster of another depth need not be
// aligned, so 32-bit pixels are moved with memcpy.

inline uint8_t* RasterRow(const QV_PixelBuffer& raster, int32_t y)
{
    return raster.pixels + static_cast<ptrdiff_t>(y) * raster.rowBytes;
}

inline uint8_t* RasterPixel(const QV_PixelBuffer& raster, int32_t x, int32_t y)
{
    return RasterRow(raster, y) + static_cast<ptrdiff_t>(x) * raster.bytesPerPixel;
}

inline uint32_t LoadPixel32(const uint8_t* p)
{
    uint32_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

inline void StorePixel32(uint8_t* p, uint32_t value)
{
    std::memcpy(p, &value, sizeof value);
}

inline uint16_t LoadPixel16(const uint8_t* p)
{
    uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

inline void StorePixel16(uint8_t* p, uint16_t value)
{
    std::memcpy(p, &value, sizeof value);
}

// Byte offsets of the channels of a 32-bit pixel.
constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;
constexpr int kAlpha = 3;

// Runs each(p) over every pixel of a 32-bit raster, row by row (p points at the bytes b, g, r, a).
template <typename Each> void ForEachPixel32Of(const QV_PixelBuffer& raster, Each each)
{
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* p = RasterRow(raster, y);
        for (int32_t x = 0; x < raster.width; x++, p += 4)
            each(p);
    }
}
