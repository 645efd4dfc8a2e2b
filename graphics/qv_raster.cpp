#include "qv_raster.h"

#include "blend_tables.h"
#include "fixed_bilinear.h"
#include "polygon_walk.h"
#include "shade_ramps.h"
#include "system_palette.h"
#include "texture_rows.h"

using namespace polygon_walk;

namespace {

// A count the list record cannot hold means the record is not what its count claims: reading
// vertices past the eighth would leave the record, so such a list is refused.
bool CountFits(int32_t count)
{
    return count > 0 && count <= RasterPolygon::kMaxVertices;
}

bool ScalesTexels(uint8_t kind, bool floatWalk)
{
    return floatWalk ? kind > kRasterProcedure
                     : (kind >= kRasterPaletteTexture && kind <= kRasterTextureAlphaTest);
}

} // namespace

QV_Raster::QV_Raster()
    : fTarget()
    , fTexture()
    , fWrap(false)
    , fPaletteCount(0)
    , fPaletteColors(nullptr)
    , fInverseMap(nullptr)
    , fEvenRowsOnly(false)
    , fColor32(0xFFFFFFFFu)
    , fColor565(0xFFFF)
    , fColor555(0xFFFF)
    , fColorIndex(0)
    , fCenterX(0)
    , fCenterY(0)
    , fBounds { 1e6f, 1e6f, 1e6f, -1e6f, -1e6f, -1e6f }
    , fProcedure(nullptr)
    , fProcedureData(nullptr)
{
}

QV_Raster::~QV_Raster() = default;

void QV_Raster::SetRaster(const QV_PixelBuffer& target, const SystemPalette* palette)
{
    fTarget = target;
    // A palette record that was never built has nothing to index: the process palette stands in.
    if (!palette || !palette->fColors || !palette->fInverseMap)
        palette = &EnsureSystemPalette();
    fPaletteCount = palette->fCount;
    fPaletteColors = palette->fColors.get();
    fInverseMap = palette->fInverseMap.get();
    fCenterX = static_cast<float>(target.width) * 0.5f;
    fCenterY = static_cast<float>(target.height) * 0.5f;
    BuildShadeRamps(fPaletteColors, fInverseMap);
    // The blending kinds read the blend tables; this returns at once once they exist.
    BuildBlendTables();
}

void QV_Raster::SetColor(uint8_t r, uint8_t g, uint8_t b)
{
    fColor32 = 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    fColor565 = static_cast<uint16_t>((r >> 3) << 11 | (g >> 2) << 5 | (b >> 3));
    fColor555 = static_cast<uint16_t>((r >> 3) << 10 | (g >> 3) << 5 | (b >> 3));
    fColorIndex = fInverseMap ? fInverseMap[(r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)] : 0;
}

void QV_Raster::SetTexture(const QV_PixelBuffer* texture)
{
    SetTextureRows(texture, fTexture, fTextureRows);
}

void QV_Raster::SampleBilinear(int32_t u, int32_t v, rgb_color& out) const
{
    out = SampleBilinearFixed(fTexture, fTextureRows.get(), u, v, fWrap);
}

bool QV_Raster::TextureServes(uint8_t kind) const
{
    if (!fTexture.pixels || !fTextureRows || fTexture.width <= 0 || fTexture.height <= 0)
        return false;
    if (kind == kRasterPaletteTexture)
        return fTexture.bytesPerPixel == 1;
    return fTexture.bytesPerPixel == fTarget.bytesPerPixel;
}

bool QV_Raster::PlaceVertices(RasterPolygon& list, bool floatWalk, PolygonBox& box)
{
    const bool texels = ScalesTexels(list.kind, floatWalk);
    for (int32_t i = 0; i < list.count; i++) {
        RasterVertex& v = list.vertices[i];
        ScaleVertex(v, fCenterX, fCenterY);
        if (texels)
            ScaleTexels(v, fTexture.width, fTexture.height, fWrap);
        box.Add(v, i, true);
    }
    if (!box.Meets(fTarget.width, fTarget.height))
        return false;
    box.WidenBounds(fBounds, true);
    return true;
}

void QV_Raster::DrawPolygon(RasterPolygon& list)
{
    if (!CountFits(list.count) || !fTarget.pixels)
        return;
    if (list.kind == kRasterSmooth) {
        DrawSmoothPolygon(list);
        return;
    }
    const uint8_t kind = list.kind;
    PolygonBox box;
    if (!PlaceVertices(list, false, box))
        return;
    WalkPolygon<RasterEdge>(list.vertices, list.count, box.top, box.minY, fTarget.height, fEvenRowsOnly,
        kFieldsAllButY, [this, kind](int32_t row, RasterEdge& a, RasterEdge& b) {
            if (a.x < b.x)
                FillSpan(row, a, b, kind);
            else
                FillSpan(row, b, a, kind);
        });
}

void QV_Raster::DrawSmoothPolygon(RasterPolygon& list)
{
    PolygonBox box;
    for (int32_t i = 0; i < list.count; i++) {
        RasterVertex& v = list.vertices[i];
        MapPosition(v, fCenterX, fCenterY);
        v.z = ScaleDepth(v.z);
        v.r = ScaleByte(v.r);
        v.g = ScaleByte(v.g);
        v.b = ScaleByte(v.b);
        box.Add(v, i, false);
    }
    if (!box.Meets(fTarget.width, fTarget.height))
        return;
    box.WidenBounds(fBounds, false);
    WalkPolygon<RasterEdge>(list.vertices, list.count, box.top, box.minY, fTarget.height, fEvenRowsOnly,
        kFieldX | kFieldZ | kFieldR | kFieldG | kFieldB, [this](int32_t row, RasterEdge& a, RasterEdge& b) {
            if (a.x < b.x)
                FillSpan(row, a, b, kRasterSmooth);
            else
                FillSpan(row, b, a, kRasterSmooth);
        });
}

void QV_Raster::DrawPolygonFloat(RasterPolygon& list)
{
    if (!CountFits(list.count) || !fTarget.pixels)
        return;
    const uint8_t kind = list.kind;
    PolygonBox box;
    if (!PlaceVertices(list, true, box))
        return;
    WalkPolygon<RasterEdgeF>(list.vertices, list.count, box.top, box.minY, fTarget.height, fEvenRowsOnly,
        kFieldsAllButY, [this, kind](int32_t row, RasterEdgeF& a, RasterEdgeF& b) {
            if (b.x <= a.x)
                FillSpanFloat(row, b, a, kind);
            else
                FillSpanFloat(row, a, b, kind);
        });
}
