#pragma once
#include "coverage_accumulator.h"
#include "qv_arraylist.h"
#include "qv_graphics.h"
#include "qv_raster.h"
#include "qv_raster3d.h"
#include <cstdint>
#include <memory>

// The graphics context through which the document is drawn and rendered. Beyond the 2D shapes of
// QV_Graphics it knows the centre of its target (for the centred view units of textured and 3D
// polygons), a borrowed texture for textured polygons and brush strokes, a depth-buffered 3D
// rasteriser over the same target (made on first use, its depths cleared at every BeginDraw), the
// canvas grid and the axis marker that shows a layer's origin. One thread at a time.
class SwfMovie;

class XGraphics : public QV_Graphics {
public:
    XGraphics();
    ~XGraphics() override;

    // The base SetRaster; on success the centre follows the new target.
    int32_t SetRaster(const QV_PixelBuffer* raster) override;
    // The base BeginDraw, then an empty depth buffer when the 3D rasteriser exists.
    void BeginDraw() override;

    // The 3D rasteriser, made, attached and cleared on the first call; later calls re-attach it
    // to the target and keep its depths.
    QV_Raster3D* Raster3D();
    // Borrows the texture (null clears it); the row table is kept when the height is unchanged.
    void SetTexture(const QV_PixelBuffer* texture);

    // An axis marker at a world point: a cross with arrow heads at the positive ends.
    void DrawOriginMarker(float x, float y);
    // Grid lines every `spacing` world units over -25..25 (and one spacing beyond at the low end).
    // A spacing of 0 or below draws nothing.
    void DrawGrid(float spacing);
    // The matrix taking world points to centred view units (homogeneous): the current matrix
    // followed by the inverse of the view mapping, with the view's zoom and pan removed when
    // withZoomPan and kept otherwise.
    void BuildViewMatrix(QV_Matrix& out, bool withZoomPan) const;

    // Fills a convex polygon (kind 9 or 11) with the texture, honouring the fill mode and mask.
    // The vertices are world points, or centred view units when inViewUnits; the list is
    // rewritten. Nothing is drawn when a world vertex lies behind the eye.
    void DrawTexturedPolygon(RasterPolygon& list, bool inViewUnits);
    // Filtered 32-bit texel at 16.16 texel coordinates.
    rgb_color SampleBilinear(int32_t u, int32_t v) const;

    // One cubic segment stamped with the texture as square dabs whose width eases from w0 to w1
    // (pixels), turned along the curve when orient, turned at random within +-range / 2, spaced
    // `spacing` widths apart. World control points; a segment that reaches behind the eye is
    // walked in 16 steps in homogeneous coordinates instead.
    void DrawBrushStroke(
        const QV_Vector2* points, float w0, float w1, bool orient, float range, float spacing);
    // The same with control points in pixels.
    void DrawBrushStroke2D(
        const QV_Vector2* points, float w0, float w1, bool orient, float range, float spacing);

    bool fSmoothTexture;
    QV_PixelBuffer fTexture;
    std::unique_ptr<uint8_t*[]> fTextureRows;
    float fCenterX;
    float fCenterY;
    // minX, minY, minZ, maxX, maxY, maxZ of every textured polygon drawn; only widened.
    float fPolygonBounds[6];
    std::unique_ptr<QV_Raster3D> fRaster3D;
    // The SWF movie being written (not owned), and the display items added to it during the
    // current frame, which the render job removes after the frame.
    SwfMovie* fSWFTarget = nullptr;
    QV_ArrayList fSWFItems;
    // Where a final render gathers an outline's strokes before compositing them onto its target.
    CoverageAccumulator fOutlineCoverage;

private:
    void TexturedSpan(int32_t row, RasterEdge& left, RasterEdge& right, uint8_t kind);
    void PlainSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t kind);
    void MaskedSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t kind);
    void MaskWriteSpan(int32_t row, const RasterEdge& left, const RasterEdge& right, uint8_t kind);
    void DrawDab(RasterPolygon& dab, const QV_Vector2& center, float width, float angle);
    QV_Vector2 JitterIfNoisy(const QV_Vector2& point) const { return fLineNoise ? Jitter(point) : point; }
};
