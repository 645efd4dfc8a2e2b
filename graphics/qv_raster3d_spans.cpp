// The depth-tested span fillers of QV_Raster3D.
#include "qv_raster3d.h"

#include "fixed_span.h"
#include "raster_rows.h"
#include "shade_ramps.h"

#include <cmath>
#include <cstdint>

using namespace fixed_span;

namespace {

inline uint32_t Color555(uint32_t r, uint32_t g, uint32_t b)
{
    return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
}

// A float texel coordinate rounded half away from zero and clamped to 0..size - 1 (NaN gives 0).
inline int32_t TexelIndex(float value, int32_t size)
{
    const float last = static_cast<float>(size - 1);
    if (!(value >= 0))
        return 0;
    if (value > last)
        return size - 1;
    return static_cast<int32_t>(value + 0.5f);
}

inline float ClampTexel(float value, int32_t size)
{
    if (!(value >= 0))
        return 0;
    const float last = static_cast<float>(size - 1);
    return value > last ? last : value;
}

// A clamped texel coordinate in 16.16; textures wider than 16.16 can count stay at its limit.
inline int32_t ToFixedTexel(float value)
{
    const float fixed = value * 65536.0f;
    return fixed < 2147483520.0f ? static_cast<int32_t>(fixed) : 2147483520;
}

inline int32_t WrapIndex(int32_t value, int32_t size)
{
    value %= size;
    return value < 0 ? value + size : value;
}

// The depth-tested loop: write(p) stores the pixel and answers whether it did (the alpha test may
// refuse); step() advances the kind's own interpolants, on every pixel.
template <typename Step, typename Write>
inline void DepthLoop(
    int32_t* depth, uint8_t* p, int32_t xs, int32_t xe, int32_t bytes, Lane z, Step step, Write write)
{
    for (int32_t x = xs; x <= xe; x++, p += bytes) {
        if (z.value > depth[x] && write(p))
            depth[x] = z.value;
        z.Next();
        step();
    }
}

} // namespace

void QV_Raster3D::FillSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind)
{
    if (!fTarget.pixels || !fDepthRows || row < 0 || row >= fTarget.height || row >= fDepthHeight)
        return;
    const int32_t bytes = fTarget.bytesPerPixel;
    if (bytes != 1 && bytes != 2 && bytes != 4)
        return;
    if (kind == kRasterSmooth) {
        FillSmoothSpan(row, left, right);
        return;
    }
    const bool textured = kind == kRasterTexture || kind >= kRasterTextureAlphaTest;
    if (kind != kRasterFlat && kind != kRasterShaded && kind != kRasterSmoothAlpha && !textured)
        return;
    if (kind > kRasterTexturePerspectiveFiltered || (textured && !TextureServes(kind)))
        return;
    if ((kind == kRasterTextureAlphaTest || kind == kRasterTexturePerspectiveFiltered) && bytes != 4)
        return;
    SpanColumns columns;
    const int32_t width = fTarget.width < fDepthWidth ? fTarget.width : fDepthWidth;
    if (!columns.Set(left.x, right.x, width))
        return;
    if (textured && !fWrap && kind != kRasterTexturePerspective
        && kind != kRasterTexturePerspectiveFiltered) {
        // Written back: the edges go on from the clamped values on later rows.
        ClampLane(left.u, fTexture.width);
        ClampLane(right.u, fTexture.width);
        ClampLane(left.v, fTexture.height);
        ClampLane(right.v, fTexture.height);
    }
    Lane shade = columns.Interpolate(left.shade, right.shade);
    Lane u = columns.Interpolate(left.u, right.u);
    Lane v = columns.Interpolate(left.v, right.v);
    Lane z = columns.Interpolate(left.z, right.z);
    Lane w = columns.Interpolate(left.w, right.w);
    Lane r = columns.Interpolate(left.r, right.r);
    Lane g = columns.Interpolate(left.g, right.g);
    Lane b = columns.Interpolate(left.b, right.b);

    int32_t* depth = fDepthRows[row];
    uint8_t* p = RasterPixel(fTarget, columns.xs, row);
    const uint8_t index = fColorIndex;
    const int32_t texWidth = fTexture.width;
    const int32_t texHeight = fTexture.height;

    // Perspective texturing on 32-bit targets steps u, v and 1 / w in floats.
    const float toFloat = 1.0f / 65536.0f;
    float fu = static_cast<float>(u.value) * toFloat;
    float fv = static_cast<float>(v.value) * toFloat;
    float fw = static_cast<float>(w.value) * toFloat;
    const float dfu = static_cast<float>(u.step) * toFloat;
    const float dfv = static_cast<float>(v.step) * toFloat;
    const float dfw = static_cast<float>(w.step) * toFloat;

    // The kinds the 3D layers draw most, on 32-bit targets, step only what they read.
    if (bytes == 4) {
        switch (kind) {
        case kRasterFlat: {
            const uint32_t color = fColor32;
            DepthLoop(
                depth, p, columns.xs, columns.xe, 4, z, [] {},
                [color](uint8_t* q) {
                    StorePixel32(q, color);
                    return true;
                });
            return;
        }
        case kRasterTexture:
            if (fWrap)
                break;
            DepthLoop(
                depth, p, columns.xs, columns.xe, 4, z,
                [&u, &v] {
                    u.Next();
                    v.Next();
                },
                [this, &u, &v, texWidth, texHeight](uint8_t* q) {
                    int32_t column = u.value >> 16;
                    int32_t line = v.value >> 16;
                    column = column < 0 ? 0 : column >= texWidth ? texWidth - 1 : column;
                    line = line < 0 ? 0 : line >= texHeight ? texHeight - 1 : line;
                    StorePixel32(q, LoadPixel32(fTextureRows[line] + static_cast<ptrdiff_t>(column) * 4));
                    return true;
                });
            return;
        case kRasterTexturePerspective:
            DepthLoop(
                depth, p, columns.xs, columns.xe, 4, z,
                [&fu, &fv, &fw, dfu, dfv, dfw] {
                    fu += dfu;
                    fv += dfv;
                    fw += dfw;
                },
                [this, &fu, &fv, &fw, texWidth, texHeight](uint8_t* q) {
                    const float scale = 1.0f / fw;
                    const uint8_t* t = fTextureRows[TexelIndex(fv * scale, texHeight)]
                        + static_cast<ptrdiff_t>(TexelIndex(fu * scale, texWidth)) * 4;
                    StorePixel32(q, LoadPixel32(t));
                    return true;
                });
            return;
        default:
            break;
        }
    }

    for (int32_t x = columns.xs; x <= columns.xe; x++, p += bytes) {
        if (z.value > depth[x]) {
            bool write = true;
            switch (kind) {
            case kRasterFlat:
                if (bytes == 4)
                    StorePixel32(p, fColor32);
                else if (bytes == 2)
                    StorePixel16(p, fColor565);
                else
                    *p = index;
                break;
            case kRasterShaded: {
                const uint32_t s = Byte(shade.value);
                if (bytes == 4)
                    StorePixel32(p, ShadeRamp32[index][s]);
                else if (bytes == 2)
                    StorePixel16(p, ShadeRamp15[index][s]);
                else
                    *p = ShadeRamp8[index][s];
                break;
            }
            case kRasterSmoothAlpha: {
                const uint32_t red = Byte(r.value), green = Byte(g.value), blue = Byte(b.value);
                if (bytes == 4)
                    StorePixel32(p, 0xFF000000u | red << 16 | green << 8 | blue);
                else if (bytes == 2)
                    StorePixel16(p, static_cast<uint16_t>(Color555(red, green, blue)));
                else
                    *p = fInverseMap[Color555(red, green, blue)];
                break;
            }
            case kRasterTexture: {
                int32_t column = u.value >> 16;
                int32_t line = v.value >> 16;
                if (fWrap) {
                    column = WrapIndex(column, texWidth);
                    line = WrapIndex(line, texHeight);
                } else {
                    // The edges were clamped; this only guards the last bits of rounding.
                    column = column < 0 ? 0 : column >= texWidth ? texWidth - 1 : column;
                    line = line < 0 ? 0 : line >= texHeight ? texHeight - 1 : line;
                }
                CopyTexel(p, fTextureRows[line] + static_cast<ptrdiff_t>(column) * bytes, bytes);
                break;
            }
            case kRasterTextureAlphaTest: {
                rgb_color c;
                SampleBilinear(u.value, v.value, c);
                write = c.a > 128;
                if (write)
                    StorePixel32(p, 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
                break;
            }
            case kRasterTexturePerspective: {
                float cu, cv;
                if (bytes == 4) {
                    const float scale = 1.0f / fw;
                    cu = fu * scale;
                    cv = fv * scale;
                } else {
                    const float scale = 1.0f / (static_cast<float>(w.value) * toFloat);
                    cu = static_cast<float>(u.value) * toFloat * scale;
                    cv = static_cast<float>(v.value) * toFloat * scale;
                }
                CopyTexel(p,
                    fTextureRows[TexelIndex(cv, texHeight)] + static_cast<ptrdiff_t>(TexelIndex(cu, texWidth)) * bytes,
                    bytes);
                break;
            }
            default: {
                const float scale = 1.0f / static_cast<float>(w.value);
                const float cu = ClampTexel(static_cast<float>(u.value) * scale, texWidth);
                const float cv = ClampTexel(static_cast<float>(v.value) * scale, texHeight);
                rgb_color c;
                SampleBilinear(ToFixedTexel(cu), ToFixedTexel(cv), c);
                StorePixel32(p, 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
                break;
            }
            }
            if (write)
                depth[x] = z.value;
        }
        shade.Next();
        u.Next();
        v.Next();
        z.Next();
        w.Next();
        r.Next();
        g.Next();
        b.Next();
        fu += dfu;
        fv += dfv;
        fw += dfw;
    }
}

void QV_Raster3D::FillSmoothSpan(int32_t row, const RasterEdge& left, const RasterEdge& right)
{
    SpanColumns columns;
    const int32_t width = fTarget.width < fDepthWidth ? fTarget.width : fDepthWidth;
    if (!columns.Set(left.x, right.x, width))
        return;
    Lane z = columns.Interpolate(left.z, right.z);
    Lane r = columns.Interpolate(left.r, right.r);
    Lane g = columns.Interpolate(left.g, right.g);
    Lane b = columns.Interpolate(left.b, right.b);
    const int32_t bytes = fTarget.bytesPerPixel;
    int32_t* depth = fDepthRows[row];
    uint8_t* p = RasterPixel(fTarget, columns.xs, row);
    for (int32_t x = columns.xs; x <= columns.xe; x++, p += bytes) {
        if (z.value > depth[x]) {
            depth[x] = z.value;
            const uint32_t red = Byte(r.value), green = Byte(g.value), blue = Byte(b.value);
            if (bytes == 4)
                StorePixel32(p, 0xFF000000u | red << 16 | green << 8 | blue);
            else if (bytes == 2)
                StorePixel16(p, static_cast<uint16_t>(Color555(red, green, blue)));
            else
                *p = fInverseMap[Color555(red, green, blue)];
        }
        z.Next();
        r.Next();
        g.Next();
        b.Next();
    }
}

void QV_Raster3D::FillSpanFloat(int32_t, const RasterEdgeF&, const RasterEdgeF&, uint8_t) { }
