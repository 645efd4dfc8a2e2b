#pragma once

#include <cstdint>

#include "qv_bbox.h"
#include "qv_matrix.h"
#include "qv_rect.h"
#include "qv_vector.h"

class QV_Graphics;
class QV_Raster;
struct QV_PixelBuffer;
class StyleDocument;
class StyleLayer;
class XGraphics;

// What the effects placed in layer space (the multi-stop gradient and the image textures) share:
// a grid of cells over the shape's extent in layer units, whose corners are deformed by the
// parent skeleton where that applies and projected through the graphics context into the
// rasteriser's centred units.

// Saves the context's current transform and matrix depth, pushes, and on leaving restores both:
// at the deepest level a push does nothing, and the pop that follows would otherwise take a
// level that belongs to the caller.
class SavedTransform {
public:
    explicit SavedTransform(QV_Graphics& graphics);
    ~SavedTransform();
    SavedTransform(const SavedTransform&) = delete;
    SavedTransform& operator=(const SavedTransform&) = delete;

private:
    QV_Graphics& fGraphics;
    int32_t fDepth;
    QV_Matrix fMatrix;
};

// Tools under which bone deformation shows at frame 0 too.
bool IsBoneTool(const char* toolName);

class LayerPointMapper {
public:
    // singleBoneToo: a layer bound to a single bone of its parent is deformed as well (the placed
    // texture of the older kind); otherwise only layers not bound to one bone are.
    LayerPointMapper(XGraphics& graphics, StyleDocument* doc, StyleLayer* layer, bool singleBoneToo);

    // The point deformed (when the parent skeleton moves it) and projected; false when it lies
    // behind the eye.
    bool Map(QV_Vector2 point, QV_Vector2& out) const;

    bool Deforms() const { return fDeform; }
    // The layer's own transform at the document's frame; the identity without a layer.
    const QV_Matrix& LayerTransform() const { return fLayerTransform; }

private:
    XGraphics& fGraphics;
    StyleLayer* fLayer;
    bool fDeform;
    QV_Matrix fLayerTransform;
    QV_Matrix fInverse;
};

// The number of grid cells across and down a shape rectangle: one per 6 pixels (at most 500)
// when rendering, one per 16 (at most 100) in the editor view; at least 1, so that a shape a few
// pixels wide still gets a cell.
void LayerGridCells(const QV_Rect& rect, bool finalRender, int32_t& across, int32_t& down);

// The work area a grid is drawn into starts as a copy of the shape's pixels (rect of target)
// when rendering, and transparent in the editor view.
void StartGridWorkArea(
    const QV_Rect& rect, QV_PixelBuffer& target, const QV_PixelBuffer& workArea, bool finalRender);

// The finished work area (rect of the work buffer, laid over the same place of the target, rect
// clipped to the target) combined into the shape: composited over it, the target keeping its
// alpha, when rendering; only where the shape has pixels in the editor view.
void FinishGridWorkArea(
    const QV_Rect& rect, QV_PixelBuffer& target, const QV_PixelBuffer& workArea, bool finalRender);

// A grid corner of the image textures: its texel and its projected position.
struct TextureCorner {
    QV_Vector2 texel;
    QV_Vector2 position;
};

// One grid triangle texture-mapped (filtered) from its corners' texels into the rasteriser.
void DrawTextureTriangle(QV_Raster& raster, const TextureCorner& a, const TextureCorner& b, const TextureCorner& c);

// The grid's area: the bounds' centre and its extents widened by the factor. Grid fraction (u, v)
// lies at (left + u x width, top - v x height), v running downward from the top edge.
struct LayerGridArea {
    LayerGridArea(const QV_BBox& bounds, float widen);
    QV_Vector2 At(float u, float v) const;

    QV_Vector2 centre;
    float width;
    float height;
};

// Walks the cells of a grid with steps su x sv over the fractions 0..1 (the fractions summed in
// single precision). corner(u, v, out) fills a corner and answers false when it cannot be
// projected, which skips the rest of its cell. Each cell (u, v) is drawn as the triangles A B E
// and A B F, with A (u, v), B (u + su, v + sv), E (u + su, v), F (u, v + sv):
// triangle(first, second, third, other) gets other = null for A B E and &E for A B F, so that
// it can look at every corner of the cell handled so far.
template <class Corner, class MakeCorner, class DrawTriangle>
void WalkGridCells(float su, float sv, MakeCorner corner, DrawTriangle triangle)
{
    for (float v = 0.0f; v < 0.9999f; v += sv) {
        for (float u = 0.0f; u < 0.9999f; u += su) {
            Corner a, b, e, f;
            if (!corner(u, v, a) || !corner(u + su, v + sv, b) || !corner(u + su, v, e))
                continue;
            triangle(a, b, e, static_cast<const Corner*>(nullptr));
            if (!corner(u, v + sv, f))
                continue;
            triangle(a, b, f, static_cast<const Corner*>(&e));
        }
    }
}
