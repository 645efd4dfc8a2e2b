#pragma once
#include "qv_color.h"
#include "qv_pixelbuffer.h"

#include <cstdint>
#include <cstring>
#include <vector>

// A raster that owns its bytes, for tests. Rows may be padded beyond the
// pixels (extraRowBytes) so that tests can see writes past a row's end; the
// padding is filled with kPadding.
struct OwnedRaster {
    static constexpr uint8_t kPadding = 0xA5;

    OwnedRaster(int32_t width, int32_t height, int32_t depth, int32_t extraRowBytes = 0)
    {
        buffer.width = width;
        buffer.height = height;
        buffer.depth = depth;
        buffer.bytesPerPixel = depth == 8 ? 1 : depth == 24 ? 3 : depth == 32 ? 4 : 2;
        buffer.rowBytes = width * buffer.bytesPerPixel + extraRowBytes;
        bytes.assign(static_cast<size_t>(buffer.rowBytes) * height, kPadding);
        buffer.pixels = bytes.data();
        for (int32_t y = 0; y < height; y++)
            std::memset(Row(y), 0, static_cast<size_t>(width) * buffer.bytesPerPixel);
    }

    uint8_t* Row(int32_t y) { return bytes.data() + static_cast<size_t>(y) * buffer.rowBytes; }
    uint8_t* At(int32_t x, int32_t y) { return Row(y) + x * buffer.bytesPerPixel; }

    // 32-bit pixels as values alpha << 24 | red << 16 | green << 8 | blue.
    uint32_t Get32(int32_t x, int32_t y)
    {
        uint32_t v;
        std::memcpy(&v, At(x, y), 4);
        return v;
    }
    void Set32(int32_t x, int32_t y, uint32_t v) { std::memcpy(At(x, y), &v, 4); }
    void Fill32(uint32_t v)
    {
        for (int32_t y = 0; y < buffer.height; y++)
            for (int32_t x = 0; x < buffer.width; x++)
                Set32(x, y, v);
    }

    uint16_t Get16(int32_t x, int32_t y)
    {
        uint16_t v;
        std::memcpy(&v, At(x, y), 2);
        return v;
    }
    void Set16(int32_t x, int32_t y, uint16_t v) { std::memcpy(At(x, y), &v, 2); }

    bool PaddingIntact()
    {
        const size_t used = static_cast<size_t>(buffer.width) * buffer.bytesPerPixel;
        for (int32_t y = 0; y < buffer.height; y++)
            for (size_t i = used; i < static_cast<size_t>(buffer.rowBytes); i++)
                if (Row(y)[i] != kPadding)
                    return false;
        return true;
    }

    std::vector<uint8_t> bytes;
    QV_PixelBuffer buffer;
};

// A 32-bit pixel value from its channels.
constexpr uint32_t Pixel32(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// The packed colour of the blend operations: an rgb_color read as a
// little-endian 32-bit value, red in the low byte.
constexpr uint32_t Packed(uint32_t r, uint32_t g, uint32_t b, uint32_t a)
{
    return r | (g << 8) | (b << 16) | (a << 24);
}
