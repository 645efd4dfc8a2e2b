#pragma once
#include "qv_color.h"
#include "qv_pixelbuffer.h"
#include <cstdint>
#include <memory>

class SystemPalette;

// One corner of a polygon for the software rasterisers. Callers give x and y in centred view
// units (one unit is half the target height, y up, origin at the centre), shade, u, v and the
// colour in 0..1 and z about -1..1. A draw call rewrites these in place into pixels, texels and
// byte or depth scales, so callers fill a fresh list for every call.
struct RasterVertex {
    float x;
    float shade;
    float u;
    float v;
    float z;
    float y;
    float w;
    float r;
    float g;
    float b;
    float a;
};

// A convex polygon of at most kMaxVertices corners. Callers clear the whole record once and then
// set the kind, the count and the fields their kind reads.
struct RasterPolygon {
    static constexpr int32_t kMaxVertices = 8;

    uint8_t kind;
    int32_t count;
    RasterVertex vertices[kMaxVertices];
};

// Fill kinds (the kind byte). The 3D kinds are drawn only by the depth-buffered rasteriser.
enum RasterKind : uint8_t {
    kRasterFlat = 0,
    kRasterShaded = 1,
    kRasterSmooth = 2,
    kRasterSmoothAlpha = 3,
    kRasterProcedure = 4,
    kRasterPaletteTexture = 5,
    kRasterTexture = 6,
    kRasterTextureAverage = 7,
    kRasterTextureDifference = 8,
    kRasterTextureSkip = 9,
    kRasterTextureBlend = 10,
    kRasterTextureFiltered = 11,
    kRasterTextureAlphaTest = 12,
    kRasterTexturePerspective = 13,
    kRasterTexturePerspectiveFiltered = 14,
};

// An edge walked in 16.16 fixed point: the interpolated values at the current row, or their change
// per row. Field order as in RasterVertex; y is never interpolated.
struct RasterEdge {
    int32_t x;
    int32_t shade;
    int32_t u;
    int32_t v;
    int32_t z;
    int32_t y;
    int32_t w;
    int32_t r;
    int32_t g;
    int32_t b;
    int32_t a;
};

// The same walked in floats: the vertex's own fields.
using RasterEdgeF = RasterVertex;

namespace polygon_walk {
struct PolygonBox;
}

// Colour source of kind 4: colour as A << 24 | R << 16 | G << 8 | B for texture position (u, v).
using RasterProcedure = uint32_t (*)(float u, float v, void* data);

// The software polygon rasteriser: fills convex polygons into a 1-, 2- or 4-byte raster with one
// of the fill kinds. Usually made on the stack for one drawing job: SetRaster, SetColor,
// SetTexture as needed, then one DrawPolygon per polygon. Each render thread uses its own.
class QV_Raster {
public:
    QV_Raster();
    QV_Raster(const QV_Raster&) = delete;
    QV_Raster& operator=(const QV_Raster&) = delete;
    virtual ~QV_Raster();

    // Borrows the target and the palette (null: the process palette). The first call in the
    // process builds the shade ramps from its palette.
    virtual void SetRaster(const QV_PixelBuffer& target, const SystemPalette* palette);
    virtual void SetColor(uint8_t r, uint8_t g, uint8_t b);
    // Rewrites the list; spans go to FillSpan.
    virtual void DrawPolygon(RasterPolygon& list);
    // The same with float edges; spans go to FillSpanFloat.
    virtual void DrawPolygonFloat(RasterPolygon& list);
    // One row between two edges, left having the smaller x. The depth-buffered subclass clamps
    // texture coordinates into the edge records, so they are passed for writing.
    virtual void FillSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind);
    virtual void FillSpanFloat(int32_t row, const RasterEdgeF& left, const RasterEdgeF& right, uint8_t kind);

    // Borrows the texture (null clears it); the row table is kept when the height is unchanged.
    void SetTexture(const QV_PixelBuffer* texture);
    // Filtered 32-bit texel at 16.16 texel coordinates (u, v).
    void SampleBilinear(int32_t u, int32_t v, rgb_color& out) const;

    QV_PixelBuffer fTarget;
    QV_PixelBuffer fTexture;
    std::unique_ptr<uint8_t*[]> fTextureRows;
    bool fWrap;
    int32_t fPaletteCount;
    const uint32_t* fPaletteColors;
    const uint8_t* fInverseMap;
    bool fEvenRowsOnly;
    uint32_t fColor32;
    uint16_t fColor565;
    uint16_t fColor555;
    uint8_t fColorIndex;
    float fCenterX;
    float fCenterY;
    // minX, minY, minZ, maxX, maxY, maxZ in pixels and depth units; only ever widened, so a
    // reader sets the minima to 1e6 and the maxima to -1e6 first.
    float fBounds[6];
    RasterProcedure fProcedure;
    void* fProcedureData;

protected:
    // True when the kind reads the texture and the texture can serve it: rows exist and the
    // texels have the pixel size the kind reads (one byte for kind 5, the target's otherwise).
    bool TextureServes(uint8_t kind) const;

private:
    void DrawSmoothPolygon(RasterPolygon& list);
    // Turns the vertices into pixels (and texels, where the kind reads them) and finds their
    // box; false when the polygon misses the target.
    bool PlaceVertices(RasterPolygon& list, bool floatWalk, polygon_walk::PolygonBox& box);
};
