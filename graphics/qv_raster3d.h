#pragma once
#include "qv_color.h"
#include "qv_matrix.h"
#include "qv_raster.h"
#include <cstdint>
#include <memory>

// The depth-buffered rasteriser: takes polygons in homogeneous clip space (x / w and y / w in
// centred view units), clips them to w - z >= 0, w + z >= 0, w - y >= 0 and w + y >= 0, divides
// by w, sorts out back faces and fills with a per-pixel depth test against a buffer of the
// target's size. Depths are 16.16 with larger meaning nearer; a pixel is written only where its
// depth is strictly nearer than the stored one.
//
// Back faces are dropped, or (with an edge offset) drawn flat in the edge colour pushed away from
// the eye, which outlines a mesh drawn this way. One belongs to one graphics context and thread.
class QV_Raster3D : public QV_Raster {
public:
    // -32760.0 in 16.16: the farthest depth there is.
    static constexpr int32_t kEmptyDepth = static_cast<int32_t>(0x80080000u);

    QV_Raster3D();
    ~QV_Raster3D() override;

    void SetColor(uint8_t r, uint8_t g, uint8_t b) override;
    // Clip, divide, face test, then the fixed-point walk with depth-tested spans. Takes at most 8
    // vertices; what clipping makes of them is drawn in pieces when it outgrows the list.
    void DrawPolygon(RasterPolygon& list) override;
    void FillSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind) override;
    // Float spans have no depth buffer to test against here: they draw nothing.
    void FillSpanFloat(int32_t row, const RasterEdgeF& left, const RasterEdgeF& right, uint8_t kind) override;

    // SetRaster with the process palette; a new size allocates and clears the depth buffer, the
    // same size keeps the depths drawn so far.
    void AttachTarget(const QV_PixelBuffer& target);
    // Every depth back to kEmptyDepth.
    void ClearDepth();
    // Enables the face test: front faces turn clockwise (on the divided x, y, y up) when
    // frontClockwise. Back faces are drawn only when edgeOffset is at least 1e-6.
    void SetProjection(
        bool frontClockwise, const QV_Matrix& projection, rgb_color edgeColor, float edgeOffset);

    int32_t fDepthWidth;
    int32_t fDepthHeight;
    // One row of fDepthWidth depths per target row, all in one block.
    std::unique_ptr<int32_t*[]> fDepthRows;
    bool fHasProjection;
    bool fFrontClockwise;
    QV_Matrix fProjection;
    QV_Matrix fInverseProjection;
    rgb_color fFrontColor;
    rgb_color fEdgeColor;
    float fEdgeOffset;

private:
    void FreeDepth();
    void FillSmoothSpan(int32_t row, const RasterEdge& left, const RasterEdge& right);
    // Divide, face test and walk of a clipped polygon that fits the list.
    void DrawClipped(RasterPolygon& list);

    std::unique_ptr<int32_t[]> fDepthBlock;
};
