#include "pixel_blend.h"

#include "blend_tables.h"
#include "system_palette.h"

namespace {

struct Channels {
    uint32_t alpha;
    uint32_t red;
    uint32_t green;
    uint32_t blue;
};

Channels Unpack(uint32_t color)
{
    return { color >> 24, color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF };
}

// mul[A][s] + mul[255 - A][d] never exceeds 255, so no clamp is needed.
inline uint32_t Mix(uint32_t alpha, uint32_t source, uint32_t destination)
{
    return BlendMulTable[alpha][source] + BlendMulTable[255 - alpha][destination];
}

} // namespace

void BlendPixel32(uint32_t* pixel, uint32_t color)
{
    const Channels c = Unpack(color);
    const uint32_t p = *pixel;
    const uint32_t red = Mix(c.alpha, c.red, (p >> 16) & 0xFF);
    const uint32_t green = Mix(c.alpha, c.green, (p >> 8) & 0xFF);
    const uint32_t blue = Mix(c.alpha, c.blue, p & 0xFF);
    uint32_t alpha = (p >> 24) + 255 - c.alpha;
    if (alpha > 255)
        alpha = 255;
    *pixel = (alpha << 24) | (red << 16) | (green << 8) | blue;
}

void BlendPixel15(uint16_t* pixel, uint32_t color)
{
    const Channels c = Unpack(color);
    const uint32_t p = *pixel;
    const uint32_t red = Mix(c.alpha, c.red, (p >> 7) & 0xF8);
    const uint32_t green = Mix(c.alpha, c.green, (p >> 2) & 0xF8);
    const uint32_t blue = Mix(c.alpha, c.blue, (p << 3) & 0xF8);
    *pixel = static_cast<uint16_t>(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

void BlendPixel16(uint16_t* pixel, uint32_t color)
{
    const Channels c = Unpack(color);
    const uint32_t p = *pixel;
    const uint32_t red = Mix(c.alpha, c.red, (p >> 11) << 3);
    const uint32_t green = Mix(c.alpha, c.green, (p >> 3) & 0xFC);
    const uint32_t blue = Mix(c.alpha, c.blue, (p << 3) & 0xF8);
    *pixel = static_cast<uint16_t>(((red >> 3) << 11) | ((green >> 2) << 5) | (blue >> 3));
}

void BlendPixel8(uint8_t* pixel, uint32_t color)
{
    const SystemPalette& palette = EnsureSystemPalette();
    const Channels c = Unpack(color);
    const uint32_t entry = palette.fColors[*pixel];
    const uint32_t red = Mix(c.alpha, c.red, (entry >> 16) & 0xFF);
    const uint32_t green = Mix(c.alpha, c.green, (entry >> 8) & 0xFF);
    const uint32_t blue = Mix(c.alpha, c.blue, entry & 0xFF);
    *pixel = palette.NearestIndex(
        static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue));
}
