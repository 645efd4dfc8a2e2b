#pragma once
#include <cstdint>

// Describes a raster; never owns it. Pixel (x, y) lies at
// pixels + y * rowBytes + x * bytesPerPixel. A negative rowBytes describes a
// bottom-up raster.
//
// Depths: 8 indexes the system palette, 15 is 5:5:5 and 16 is 5:6:5 in 16
// bits, 24 is the bytes b, g, r, 32 is the bytes b, g, r, a (straight alpha).
struct QV_PixelBuffer {
    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int32_t bytesPerPixel = 0;
    int32_t rowBytes = 0;
};

// Bytes of one pixel of a depth above; 0 for any other depth.
inline int32_t BytesPerPixelOf(int32_t depth)
{
    switch (depth) {
    case 8:
        return 1;
    case 15:
    case 16:
        return 2;
    case 24:
        return 3;
    case 32:
        return 4;
    default:
        return 0;
    }
}

// Result codes shared by the raster and image code.
constexpr int32_t QV_RESULT_OK = 0;
constexpr int32_t QV_RESULT_NO_MEMORY = -1;
constexpr int32_t QV_RESULT_BAD_SIZE = -3;
constexpr int32_t QV_RESULT_NO_PIXELS = -4;
