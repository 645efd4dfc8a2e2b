#include "composite_modes.h"

#include "alpha_composite.h"
#include "blend_tables.h"
#include "qv_color.h"
#include "raster_blit.h"
#include "raster_rows.h"

namespace {

// Applies a per-channel blend B(s, d) to blue, green and red.
template <typename Channel> auto PerChannel(Channel channel)
{
    return [channel](const uint8_t* s, const uint8_t* d, uint8_t* out) {
        for (int c = kBlue; c <= kRed; c++)
            out[c] = static_cast<uint8_t>(channel(s[c], d[c]));
    };
}

struct HSL {
    uint8_t h;
    uint8_t s;
    uint8_t l;
};

HSL ToHSL(const uint8_t* p)
{
    HSL hsl;
    RGBToHSL(p[kRed], p[kGreen], p[kBlue], hsl.h, hsl.s, hsl.l);
    return hsl;
}

// Builds the triple from hue, saturation and lightness picked from the two
// pixels.
template <typename Pick> auto FromHSL(Pick pick)
{
    return [pick](const uint8_t* s, const uint8_t* d, uint8_t* out) {
        const HSL result = pick(ToHSL(s), ToHSL(d));
        HSLToRGB(result.h, result.s, result.l, out[kRed], out[kGreen], out[kBlue]);
    };
}

} // namespace

void CompositeMultiply(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha,
        PerChannel([](uint32_t s, uint32_t d) { return BlendMulTable[s][d]; }));
}

void CompositeScreen(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha,
        PerChannel([](uint32_t s, uint32_t d) { return 255u - BlendMulTable[255 - s][255 - d]; }));
}

void CompositeOverlay(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, PerChannel([](uint32_t s, uint32_t d) {
        return d < 128 ? (s * d) >> 7 : 255u - (((255u - s) * (255u - d)) >> 7);
    }));
}

void CompositeAdd(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha,
        PerChannel([](uint32_t s, uint32_t d) { return s + d > 255 ? 255u : s + d; }));
}

void CompositeDifference(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha,
        PerChannel([](uint32_t s, uint32_t d) { return s > d ? s - d : d - s; }));
}

void CompositeHue(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, FromHSL([](HSL s, HSL d) {
        return HSL { s.h, d.s, d.l };
    }));
}

void CompositeSaturation(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, FromHSL([](HSL s, HSL d) {
        return HSL { d.h, s.s, d.l };
    }));
}

void CompositeColor(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, FromHSL([](HSL s, HSL d) {
        return HSL { s.h, s.s, d.l };
    }));
}

void CompositeLuminosity(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, FromHSL([](HSL s, HSL d) {
        return HSL { d.h, d.s, s.l };
    }));
}

void CompositeRasterMode(int32_t blendMode, QV_PixelBuffer& source, const QV_PixelBuffer& destination,
    int32_t x, int32_t y, bool mergeAlpha)
{
    switch (blendMode) {
    case BM_MULTIPLY:
        return CompositeMultiply(source, destination, x, y, mergeAlpha);
    case BM_SCREEN:
        return CompositeScreen(source, destination, x, y, mergeAlpha);
    case BM_OVERLAY:
        return CompositeOverlay(source, destination, x, y, mergeAlpha);
    case BM_ADD:
        return CompositeAdd(source, destination, x, y, mergeAlpha);
    case BM_DIFFERENCE:
        return CompositeDifference(source, destination, x, y, mergeAlpha);
    case BM_HUE:
        return CompositeHue(source, destination, x, y, mergeAlpha);
    case BM_SATURATION:
        return CompositeSaturation(source, destination, x, y, mergeAlpha);
    case BM_COLOR:
        return CompositeColor(source, destination, x, y, mergeAlpha);
    case BM_LUMINOSITY:
        return CompositeLuminosity(source, destination, x, y, mergeAlpha);
    default:
        return BlitRasterAlpha(source, destination, x, y, mergeAlpha);
    }
}
