// Textured polygons of the document context: the polygon rasteriser's walk with spans that honour
// the context's fill mode and mask.
#include "xgraphics.h"

#include "fixed_bilinear.h"
#include "fixed_span.h"
#include "growing_alpha.h"
#include "pixel_blend.h"
#include "polygon_walk.h"
#include "raster_rows.h"

#include <cstddef>

using namespace fixed_span;
using namespace polygon_walk;

namespace {

// The copy test of the plain and masked spans: a texel counts as opaque when its index is not 0,
// its bit 15 is set, or its alpha is at least 128.
inline bool Opaque(const uint8_t* texel, int32_t bytes)
{
    if (bytes == 1)
        return *texel != 0;
    if (bytes == 2)
        return (LoadPixel16(texel) & 0x8000) != 0;
    return texel[kAlpha] >= 128;
}

// The columns and texture lanes of one span.
struct TexturedSpanSetUp {
    SpanColumns columns;
    Lane u;
    Lane v;

    bool Set(const RasterEdge& left, const RasterEdge& right, int32_t width)
    {
        if (!columns.Set(left.x, right.x, width))
            return false;
        u = columns.Interpolate(left.u, right.u);
        v = columns.Interpolate(left.v, right.v);
        return true;
    }
};

} // namespace

rgb_color XGraphics::SampleBilinear(int32_t u, int32_t v) const
{
    return SampleBilinearFixed(fTexture, fTextureRows.get(), u, v, false);
}

void XGraphics::DrawTexturedPolygon(RasterPolygon& list, bool inViewUnits)
{
    if (list.count <= 0 || list.count > RasterPolygon::kMaxVertices || !fTarget.pixels)
        return;
    if (!inViewUnits) {
        for (int32_t i = 0; i < list.count; i++) {
            RasterVertex& v = list.vertices[i];
            QV_Vector2 view;
            if (!WorldToScreen(QV_Vector2 { v.x, v.y }, view))
                return;
            v.x = view.x;
            v.y = view.y;
        }
    }
    const uint8_t kind = list.kind;
    PolygonBox box;
    for (int32_t i = 0; i < list.count; i++) {
        RasterVertex& v = list.vertices[i];
        ScaleVertex(v, fCenterX, fCenterY);
        if (kind >= kRasterPaletteTexture)
            ScaleTexels(v, fTexture.width, fTexture.height, false);
        box.Add(v, i, true);
    }
    if (!box.Meets(fTarget.width, fTarget.height))
        return;
    box.WidenBounds(fPolygonBounds, true);
    if (kind != kRasterTextureSkip && kind != kRasterTextureFiltered)
        return;
    // The texels must have the target's pixel size: anything else would be read past its rows.
    if (!fTexture.pixels || !fTextureRows || fTexture.width <= 0 || fTexture.height <= 0
        || fTexture.bytesPerPixel != fTarget.bytesPerPixel)
        return;
    WalkPolygon<RasterEdge>(list.vertices, list.count, box.top, box.minY, fTarget.height, false,
        kFieldX | kFieldShade | kFieldU | kFieldV | kFieldZ,
        [this, kind](int32_t row, RasterEdge& a, RasterEdge& b) {
            if (a.x < b.x)
                TexturedSpan(row, a, b, kind);
            else
                TexturedSpan(row, b, a, kind);
        });
}

void XGraphics::TexturedSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind)
{
    ClampLane(left.u, fTexture.width);
    ClampLane(right.u, fTexture.width);
    ClampLane(left.v, fTexture.height);
    ClampLane(right.v, fTexture.height);
    if (fFillMode == kFillPlain || fFillMode == kFillChecker) {
        PlainSpan(row, left, right, kind);
        return;
    }
    if (fFillMode & kFillPlain)
        PlainSpan(row, left, right, kind);
    if (fFillMode & kFillMasked) {
        if (fFillMode & kFillSetMask)
            PlainSpan(row, left, right, kind);
        else
            MaskedSpan(row, left, right, kind);
    }
    if (fFillMode & (kFillSetMask | kFillClearMask))
        MaskWriteSpan(row, left, right, kind);
}

void XGraphics::PlainSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t kind)
{
    TexturedSpanSetUp span;
    if (!span.Set(left, right, fTarget.width))
        return;
    const int32_t bytes = fTarget.bytesPerPixel;
    uint8_t* p = RasterPixel(fTarget, span.columns.xs, row);
    auto texel = [this, bytes](const Lane& u, const Lane& v) {
        return fTextureRows[v.value >> 16] + static_cast<ptrdiff_t>(u.value >> 16) * bytes;
    };
    if (kind == kRasterTextureFiltered && bytes == 4) {
        const bool checker = !fSmoothTexture && fFillMode == kFillChecker;
        for (int32_t x = span.columns.xs; x <= span.columns.xe; x++, p += 4, span.u.Next(), span.v.Next()) {
            if (fSmoothTexture) {
                const rgb_color c = SampleBilinear(span.u.value, span.v.value);
                const uint32_t color = uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
                if (c.a == 0)
                    continue;
                if (c.a == 255 || p[kAlpha] == 0)
                    StorePixel32(p, color);
                else
                    BlendGrowingAlpha(p, color);
                continue;
            }
            if (checker && (x & 4) != (row & 4))
                continue;
            const uint32_t t = LoadPixel32(texel(span.u, span.v));
            const uint32_t alpha = t >> 24;
            if (alpha == 0)
                continue;
            if (alpha == 255) {
                StorePixel32(p, t);
            } else if (alpha == 128 && !checker) {
                const uint32_t d = LoadPixel32(p);
                StorePixel32(p, GrowAlpha(((t >> 1) & 0x7F7F7F7Fu) + ((d >> 1) & 0x7F7F7F7Fu), d >> 24, 128));
            } else {
                BlendGrowingAlpha(p, t);
            }
        }
        return;
    }
    if (kind != kRasterTextureSkip && kind != kRasterTextureFiltered)
        return;
    for (int32_t x = span.columns.xs; x <= span.columns.xe; x++, p += bytes, span.u.Next(), span.v.Next()) {
        const uint8_t* t = texel(span.u, span.v);
        if (Opaque(t, bytes))
            CopyTexel(p, t, bytes);
    }
}

void XGraphics::MaskedSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t kind)
{
    if (!fMask)
        return;
    TexturedSpanSetUp span;
    if (!span.Set(left, right, fTarget.width))
        return;
    const int32_t bytes = fTarget.bytesPerPixel;
    const uint8_t all = fMaskAllBits;
    const uint8_t* mask = fMask + static_cast<size_t>(row) * static_cast<size_t>(fTarget.width);
    uint8_t* p = RasterPixel(fTarget, span.columns.xs, row);
    for (int32_t x = span.columns.xs; x <= span.columns.xe; x++, p += bytes, span.u.Next(), span.v.Next()) {
        if ((mask[x] & all) != all)
            continue;
        const uint8_t* t
            = fTextureRows[span.v.value >> 16] + static_cast<ptrdiff_t>(span.u.value >> 16) * bytes;
        if (kind == kRasterTextureFiltered && bytes == 4) {
            const uint32_t texel = LoadPixel32(t);
            if (texel >> 24)
                BlendGrowingAlpha(p, texel);
        } else if (Opaque(t, bytes)) {
            CopyTexel(p, t, bytes);
        }
    }
}

void XGraphics::MaskWriteSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t)
{
    if (!fMask)
        return;
    TexturedSpanSetUp span;
    if (!span.Set(left, right, fTarget.width))
        return;
    const int32_t bytes = fTarget.bytesPerPixel;
    const bool set = (fFillMode & kFillSetMask) != 0;
    uint8_t* mask = fMask + static_cast<size_t>(row) * static_cast<size_t>(fTarget.width);
    for (int32_t x = span.columns.xs; x <= span.columns.xe; x++, span.u.Next(), span.v.Next()) {
        const uint8_t* t
            = fTextureRows[span.v.value >> 16] + static_cast<ptrdiff_t>(span.u.value >> 16) * bytes;
        if (!Opaque(t, bytes))
            continue;
        if (set)
            mask[x] |= fMaskBit;
        else
            mask[x] &= fMaskBitInverse;
    }
}
