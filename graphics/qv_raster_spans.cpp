// The span fillers of QV_Raster: which pixels of a row a span covers and how each fill kind
// writes them.
#include "qv_raster.h"

#include "fixed_span.h"
#include "growing_alpha.h"
#include "pixel_blend.h"
#include "polygon_walk.h"
#include "raster_rows.h"
#include "shade_ramps.h"
#include "texel_sampler.h"

#include <cstdlib>

using namespace fixed_span;

namespace {

inline uint32_t PixelFromColor(rgb_color c, uint32_t alpha)
{
    return alpha << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

inline uint32_t Color555(uint32_t r, uint32_t g, uint32_t b)
{
    return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
}

// The interpolants of the fixed-point span, only those the kind reads being stepped.
struct SpanLanes {
    Lane shade, u, v, r, g, b, a;
};

} // namespace

void QV_Raster::FillSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind)
{
    if (!fTarget.pixels || row < 0 || row >= fTarget.height)
        return;
    const int32_t bytes = fTarget.bytesPerPixel;
    if (bytes != 1 && bytes != 2 && bytes != 4)
        return;
    const bool textured = kind >= kRasterPaletteTexture && kind <= kRasterTextureFiltered;
    if (kind == kRasterProcedure || kind > kRasterTextureFiltered || (textured && !TextureServes(kind)))
        return;
    SpanColumns columns;
    if (!columns.Set(left.x, right.x, fTarget.width))
        return;
    SpanLanes lane;
    lane.shade = columns.Interpolate(left.shade, right.shade);
    lane.u = columns.Interpolate(left.u, right.u);
    lane.v = columns.Interpolate(left.v, right.v);
    lane.r = columns.Interpolate(left.r, right.r);
    lane.g = columns.Interpolate(left.g, right.g);
    lane.b = columns.Interpolate(left.b, right.b);
    lane.a = columns.Interpolate(left.a, right.a);

    // Texel coordinates come clamped from the vertex set-up; the clamp (or wrap) here only keeps
    // rounding at the edges, and the repeat of fWrap, inside the texture.
    const int32_t texelBytes = kind == kRasterPaletteTexture ? 1 : bytes;
    auto texel = [this, texelBytes](int32_t u, int32_t v) -> const uint8_t* {
        int32_t column = u >> 16;
        int32_t line = v >> 16;
        if (fWrap) {
            column %= fTexture.width;
            if (column < 0)
                column += fTexture.width;
            line %= fTexture.height;
            if (line < 0)
                line += fTexture.height;
        } else {
            column = column < 0 ? 0 : column >= fTexture.width ? fTexture.width - 1 : column;
            line = line < 0 ? 0 : line >= fTexture.height ? fTexture.height - 1 : line;
        }
        return fTextureRows[line] + static_cast<ptrdiff_t>(column) * texelBytes;
    };

    uint8_t* p = RasterPixel(fTarget, columns.xs, row);
    const uint8_t index = fColorIndex;
    for (int32_t x = columns.xs; x <= columns.xe; x++, p += bytes) {
        const uint32_t s = Byte(lane.shade.value);
        const uint32_t red = Byte(lane.r.value);
        const uint32_t green = Byte(lane.g.value);
        const uint32_t blue = Byte(lane.b.value);
        if (bytes == 4) {
            switch (kind) {
            case kRasterFlat:
                StorePixel32(p, fColor32);
                break;
            case kRasterShaded:
                StorePixel32(p, ShadeRamp32[index][s]);
                break;
            case kRasterSmooth:
                StorePixel32(p, 0xFF000000u | red << 16 | green << 8 | blue);
                break;
            case kRasterSmoothAlpha:
                StorePixel32(p, Byte(lane.a.value) << 24 | red << 16 | green << 8 | blue);
                break;
            case kRasterPaletteTexture:
                StorePixel32(p, ShadeRamp32[*texel(lane.u.value, lane.v.value)][s]);
                break;
            case kRasterTexture:
                StorePixel32(p, LoadPixel32(texel(lane.u.value, lane.v.value)));
                break;
            case kRasterTextureAverage:
            case kRasterTextureDifference: {
                const uint32_t t = LoadPixel32(texel(lane.u.value, lane.v.value));
                const uint32_t d = LoadPixel32(p);
                if ((d >> 24) == 0)
                    StorePixel32(p, t);
                else if (kind == kRasterTextureAverage)
                    StorePixel32(p, ((t >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu));
                else
                    StorePixel32(p,
                        0xFF000000u
                            | uint32_t(std::abs(int32_t((d >> 16) & 0xFF) - int32_t((t >> 16) & 0xFF))) << 16
                            | uint32_t(std::abs(int32_t((d >> 8) & 0xFF) - int32_t((t >> 8) & 0xFF))) << 8
                            | uint32_t(std::abs(int32_t(d & 0xFF) - int32_t(t & 0xFF))));
                break;
            }
            case kRasterTextureSkip: {
                const uint32_t t = LoadPixel32(texel(lane.u.value, lane.v.value));
                if (t >> 24)
                    StorePixel32(p, t);
                break;
            }
            case kRasterTextureBlend: {
                const uint32_t t = LoadPixel32(texel(lane.u.value, lane.v.value));
                const uint32_t alpha = t >> 24;
                if (alpha == 255)
                    StorePixel32(p, t);
                else if (alpha != 0)
                    BlendGrowingAlpha(p, t);
                break;
            }
            case kRasterTextureFiltered: {
                rgb_color c;
                SampleBilinear(lane.u.value, lane.v.value, c);
                if (c.a == 255)
                    StorePixel32(p, PixelFromColor(c, 255));
                else if (c.a != 0)
                    BlendGrowingAlpha(p, PixelFromColor(c, c.a));
                break;
            }
            default:
                break;
            }
        } else if (bytes == 2) {
            switch (kind) {
            case kRasterFlat:
                StorePixel16(p, fColor555);
                break;
            case kRasterShaded:
                StorePixel16(p, ShadeRamp15[index][s]);
                break;
            case kRasterSmooth:
            case kRasterSmoothAlpha:
                StorePixel16(p, static_cast<uint16_t>(Color555(red, green, blue)));
                break;
            case kRasterPaletteTexture:
                StorePixel16(p, ShadeRamp15[*texel(lane.u.value, lane.v.value)][s]);
                break;
            case kRasterTexture:
            case kRasterTextureAverage:
            case kRasterTextureDifference:
                StorePixel16(p, LoadPixel16(texel(lane.u.value, lane.v.value)));
                break;
            default: {
                const uint16_t t = LoadPixel16(texel(lane.u.value, lane.v.value));
                if (t & 0x8000)
                    StorePixel16(p, t);
                break;
            }
            }
        } else {
            switch (kind) {
            case kRasterFlat:
                *p = index;
                break;
            case kRasterShaded:
                *p = ShadeRamp8[index][s];
                break;
            case kRasterSmooth:
            case kRasterSmoothAlpha:
                *p = fInverseMap[Color555(red, green, blue)];
                break;
            case kRasterPaletteTexture:
                *p = ShadeRamp8[*texel(lane.u.value, lane.v.value)][s];
                break;
            case kRasterTexture:
            case kRasterTextureAverage:
            case kRasterTextureDifference:
                *p = *texel(lane.u.value, lane.v.value);
                break;
            default: {
                const uint8_t t = *texel(lane.u.value, lane.v.value);
                if (t)
                    *p = t;
                break;
            }
            }
        }
        lane.shade.Next();
        lane.u.Next();
        lane.v.Next();
        lane.r.Next();
        lane.g.Next();
        lane.b.Next();
        lane.a.Next();
    }
}

namespace {

// Float interpolant that reaches the right edge's value exactly at the last pixel.
struct FloatLane {
    float value = 0;
    float step = 0;
};

FloatLane InterpolateFloat(float left, float right, float leftX, float rightX, int32_t xs, int32_t xe)
{
    FloatLane lane;
    lane.value = left;
    if (xe == xs)
        return lane;
    const float slope = (right - left) / (rightX - leftX);
    lane.value = left + slope * (static_cast<float>(xs) - leftX);
    lane.step
        = ((right - slope * (rightX - static_cast<float>(xe))) - lane.value) / static_cast<float>(xe - xs);
    return lane;
}

inline uint32_t FloatByte(float v)
{
    if (!(v >= 0))
        return 0;
    return v >= 255 ? 255u : static_cast<uint32_t>(v);
}

} // namespace

void QV_Raster::FillSpanFloat(int32_t row, const RasterEdgeF& left, const RasterEdgeF& right, uint8_t kind)
{
    if (!fTarget.pixels || row < 0 || row >= fTarget.height || fTarget.bytesPerPixel != 4)
        return;
    if (kind != kRasterSmoothAlpha && kind != kRasterProcedure && kind != kRasterTextureFiltered)
        return;
    if (kind == kRasterProcedure && !fProcedure)
        return;
    const float lx = polygon_walk::Clamp(left.x, -polygon_walk::kRowLimit, polygon_walk::kRowLimit);
    const float rx = polygon_walk::Clamp(right.x, -polygon_walk::kRowLimit, polygon_walk::kRowLimit);
    int32_t xs = lx >= 0 ? static_cast<int32_t>(lx) + 1 : static_cast<int32_t>(lx);
    int32_t xe = rx >= 0 ? static_cast<int32_t>(rx) : static_cast<int32_t>(rx) - 1;
    if (xs > xe || xs >= fTarget.width || xe < 0)
        return;
    FloatLane lanes[6] = {
        InterpolateFloat(left.u, right.u, lx, rx, xs, xe),
        InterpolateFloat(left.v, right.v, lx, rx, xs, xe),
        InterpolateFloat(left.r, right.r, lx, rx, xs, xe),
        InterpolateFloat(left.g, right.g, lx, rx, xs, xe),
        InterpolateFloat(left.b, right.b, lx, rx, xs, xe),
        InterpolateFloat(left.a, right.a, lx, rx, xs, xe),
    };
    if (xs < 0) {
        for (FloatLane& lane : lanes)
            lane.value += lane.step * static_cast<float>(-xs);
        xs = 0;
    }
    if (xe >= fTarget.width)
        xe = fTarget.width - 1;
    FloatLane& u = lanes[0];
    FloatLane& v = lanes[1];
    uint8_t* p = RasterPixel(fTarget, xs, row);
    for (int32_t x = xs; x <= xe; x++, p += 4) {
        switch (kind) {
        case kRasterSmoothAlpha:
            StorePixel32(p,
                FloatByte(lanes[5].value) << 24 | FloatByte(lanes[2].value) << 16
                    | FloatByte(lanes[3].value) << 8 | FloatByte(lanes[4].value));
            break;
        case kRasterProcedure: {
            const uint32_t c = fProcedure(u.value, v.value, fProcedureData);
            if (c >> 24)
                BlendGrowingAlpha(p, c);
            break;
        }
        default: {
            const uint32_t c = SampleTexelBilinear(fTexture, u.value, v.value, fWrap);
            if (c >> 24)
                BlendGrowingAlpha(p, c);
            break;
        }
        }
        for (FloatLane& lane : lanes)
            lane.value += lane.step;
    }
}
