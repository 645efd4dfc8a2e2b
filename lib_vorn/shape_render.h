#pragma once

#include <cstdint>

#include "coverage_composite.h"
#include "qv_bbox.h"
#include "qv_graphics.h"
#include "qv_color.h"
#include "qv_rect.h"
#include "shape_pixels.h"
#include "shape_render_style.h"

class M_Shape;
class M_ShapeStyle;
class MeshLayer;
class RenderSettings;
class VornDoc;
class XGraphics;
struct QV_PixelBuffer;

// One shape of a vector layer rasterised for a final render: fill, then outline, each either drawn
// straight into the render's preview context (an opaque shape with nothing to apply afterwards)
// or drawn as a white coverage mask into the drawing context and then coloured, run through the
// shape effects, faded, textured and composited onto the target within the pixel rectangle of
// what was drawn.
// The fill composite straight from the rasteriser's covers onto the target, placed as the mask
// would be (the drawing raster's pixel (x, y) lands on the target's (x - offset, y - offset)).
class DirectFillComposite final : public SmoothCoverageSink {
public:
    DirectFillComposite(const QV_PixelBuffer& target, int32_t offset, rgb_color colour);
    void Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers) override;

private:
    const QV_PixelBuffer& fTarget;
    int32_t fOffset;
    CoverageRunComposite fRun;
};

class ShapeRenderer {
public:
    ShapeRenderer(MeshLayer* layer, VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target,
        QV_PixelBuffer* scratch, int32_t index, RenderSettings* settings);

    void Render();

private:
    struct Pass {
        bool fFill = false;
        bool fOutline = false;
        // Composited onto the target while it was drawn: nothing left to finish.
        bool fComposited = false;
    };

    bool CanDrawDirectly() const;
    bool EffectApplies(int32_t slot) const;

    void DrawPass(int32_t pass, Pass& drawn);
    void DrawPassOnce(int32_t pass, Pass& drawn, bool wholeRaster);
    void FillPart();
    // With draw off, only counts the seams there are to stroke.
    int32_t StrokeSeams(bool draw);
    bool FillGoesDirect();
    bool OutlineGoesDirect();
    void OutlinePart();
    // Draws one stroke k of the outline.
    void OutlineStroke(int32_t k, int32_t widthUnits);
    void NoiseOn(int32_t seed);

    // Coverage mask passes (shape_render_finish.cpp).
    void PrepareClearRegion();
    void ClearMask(bool whole);
    // The note of the last shape: the raster is known clear when this shape follows it.
    void ReadMaskNote();
    void WriteMaskNote();
    bool RegionHolds(const QV_Rect& rect) const;
    QV_Rect PixelRect(float pixelMargin) const;
    bool DrewSomething() const;
    void FinishPass(const Pass& drawn);
    int32_t PassEffects(bool fillPass, M_ShapeStyle** effects) const;
    void ApplyTexture(bool fillPass, const QV_PixelBuffer& pixels);

    MeshLayer* fLayer;
    VornDoc* fDoc;
    XGraphics* fDrawing;
    QV_PixelBuffer* fTarget;
    QV_PixelBuffer* fScratch;
    int32_t fIndex;
    RenderSettings* fSettings;

    // The context drawn with: the preview context when drawing directly, else fDrawing.
    XGraphics* fG;
    M_Shape* fShape;
    ShapeRenderStyle fStyle;
    bool fDirect;
    bool fHasFill;
    bool fHasLine;
    bool fEffects;
    float fEffectEnlarge;
    int32_t fLayerFrame;
    float fDocHeight;
    // Render scale: pixels per unit of line width over the document height.
    float fScale;
    QV_BBox fBounds;
    float fLargestWidth;
    // Pixels of the drawing raster a mask pass may touch, known to hold every pixel the pass
    // finishes; invalid when the shape's extent cannot be told beforehand.
    bool fRegionValid;
    QV_Rect fRegion;
    // How much of the drawing raster is known to be clear: 0 nothing, 1 the region, 2 all of it.
    // A pass composited plainly empties what it drew, so the outline after a fill needs no
    // clearing of its own.
    int32_t fCleared;
    int32_t fClearedBeforeDraw;
    // The fill is one smooth shape composited onto the target as the rasteriser covers it.
    bool fDirectFill;
    // The outline's strokes are gathered apart from the drawing raster and composited at once.
    bool fDirectOutline;
};
