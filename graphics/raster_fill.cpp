#include "raster_fill.h"

#include "pixel_blend.h"
#include "raster_rows.h"
#include "system_palette.h"

#include <cstring>

namespace {

bool HasPixels(const QV_PixelBuffer& raster)
{
    return raster.pixels && raster.width > 0 && raster.height > 0;
}

size_t RowLength(const QV_PixelBuffer& raster)
{
    return static_cast<size_t>(raster.width) * static_cast<size_t>(raster.bytesPerPixel);
}

void ZeroFill(const QV_PixelBuffer& raster)
{
    for (int32_t y = 0; y < raster.height; y++)
        std::memset(RasterRow(raster, y), 0, RowLength(raster));
}

// Writes the first pixel of each row and doubles it along the row.
void FillWithPattern(const QV_PixelBuffer& raster, const uint8_t* pattern, size_t patternSize)
{
    const size_t length = RowLength(raster);
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* row = RasterRow(raster, y);
        std::memcpy(row, pattern, patternSize);
        size_t filled = patternSize;
        while (filled < length) {
            const size_t chunk = filled < length - filled ? filled : length - filled;
            std::memcpy(row + filled, row, chunk);
            filled += chunk;
        }
    }
}

uint16_t Pack555(uint32_t red, uint32_t green, uint32_t blue)
{
    return static_cast<uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

uint16_t Pack565(uint32_t red, uint32_t green, uint32_t blue)
{
    return static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

} // namespace

void FillRaster(const QV_PixelBuffer& raster, rgb_color color)
{
    if (!HasPixels(raster))
        return;
    const bool black = color.r == 0 && color.g == 0 && color.b == 0;
    switch (raster.bytesPerPixel) {
    case 1: {
        const uint8_t index = EnsureSystemPalette().NearestIndex(color.r, color.g, color.b);
        for (int32_t y = 0; y < raster.height; y++)
            std::memset(RasterRow(raster, y), index, RowLength(raster));
        break;
    }
    case 2: {
        if (black) {
            ZeroFill(raster);
            break;
        }
        const uint16_t value
            = raster.depth == 15 ? Pack555(color.r, color.g, color.b) : Pack565(color.r, color.g, color.b);
        FillWithPattern(raster, reinterpret_cast<const uint8_t*>(&value), sizeof value);
        break;
    }
    case 3: {
        if (black) {
            ZeroFill(raster);
            break;
        }
        const uint8_t bytes[3] = { color.b, color.g, color.r };
        FillWithPattern(raster, bytes, sizeof bytes);
        break;
    }
    case 4: {
        if (black && color.a == 0) {
            ZeroFill(raster);
            break;
        }
        const uint8_t bytes[4] = { color.b, color.g, color.r, color.a };
        FillWithPattern(raster, bytes, sizeof bytes);
        break;
    }
    default:
        break;
    }
}

void InvertRaster(const QV_PixelBuffer& raster)
{
    if (!HasPixels(raster) || raster.bytesPerPixel != 4)
        return;
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* p = RasterRow(raster, y);
        for (int32_t x = 0; x < raster.width; x++, p += 4) {
            p[kBlue] = static_cast<uint8_t>(255 - p[kBlue]);
            p[kGreen] = static_cast<uint8_t>(255 - p[kGreen]);
            p[kRed] = static_cast<uint8_t>(255 - p[kRed]);
        }
    }
}

void TintRaster(const QV_PixelBuffer& raster, uint32_t color)
{
    if (!HasPixels(raster))
        return;
    const uint32_t alpha = color >> 24;
    const uint32_t red = color & 0xFF;
    const uint32_t green = (color >> 8) & 0xFF;
    const uint32_t blue = (color >> 16) & 0xFF;
    if (alpha == 0)
        return;

    if (raster.bytesPerPixel == 2) {
        const bool is15 = raster.depth == 15;
        const uint16_t opaque = is15 ? Pack555(red, green, blue) : Pack565(red, green, blue);
        for (int32_t y = 0; y < raster.height; y++) {
            uint8_t* p = RasterRow(raster, y);
            for (int32_t x = 0; x < raster.width; x++, p += 2) {
                uint16_t pixel = opaque;
                if (alpha != 255) {
                    pixel = LoadPixel16(p);
                    if (is15)
                        BlendPixel15(&pixel, color);
                    else
                        BlendPixel16(&pixel, color);
                }
                StorePixel16(p, pixel);
            }
        }
    } else if (raster.bytesPerPixel == 4) {
        for (int32_t y = 0; y < raster.height; y++) {
            uint8_t* p = RasterRow(raster, y);
            for (int32_t x = 0; x < raster.width; x++, p += 4) {
                const uint32_t before = LoadPixel32(p);
                uint32_t pixel = (red << 16) | (green << 8) | blue;
                if (alpha != 255) {
                    pixel = before;
                    BlendPixel32(&pixel, color);
                }
                StorePixel32(p, (pixel & 0x00FFFFFFu) | (before & 0xFF000000u));
            }
        }
    }
}
