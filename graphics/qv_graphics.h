#pragma once
#include "qv_color.h"
#include "qv_matrix.h"
#include "qv_pixelbuffer.h"
#include "qv_rect.h"
#include "qv_vector.h"
#include <cstdint>

class QV_Font;
namespace qv_graphics {
struct Projected;
}
// The anti-aliasing objects of smooth filling; defined in qv_graphics_agg.h so that only the
// smooth-fill code and its tests see the rasteriser library.
struct QV_AggBuffer;
struct QV_AggPixelFormat;
struct QV_AggRasterizer;
struct QV_AggScanline;

// The crossings of a shape's edges with one raster row. The three arrays move together and are
// kept sorted by mid; left and right are the columns an edge touches in the row (both equal to
// mid without smoothing).
struct CrossingRow {
    int32_t count;
    int32_t capacity;
    int32_t* mid;
    int32_t* left;
    int32_t* right;
};

// Four cubic control points p0..p3. Curve operations take a control-point list with this layout.
struct CurveSegment {
    QV_Vector2 p[4];
};

// One straight edge, world coordinates.
struct LineSegment {
    float x0;
    float y0;
    float x1;
    float y1;
};

// Pixel bounds of what was drawn while fTrackBounds is set.
// Takes the coverage of smooth fills in place of the target raster: one call per run of pixels
// on a row, covers as the rasteriser gives them (after its gamma), already clipped to the target.
class SmoothCoverageSink {
public:
    virtual void Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers) = 0;

protected:
    ~SmoothCoverageSink() = default;
};

struct DrawBounds {
    float minX;
    float minY;
    float maxX;
    float maxY;
};

// Raised by the checkerboard fill when a shape's outline does not close; the shape editors clear
// it before a preview and read it afterwards.
extern bool gOddShapeFlag;

// The drawing context: every layer, view, widget and renderer draws into a QV_PixelBuffer through
// one of these. A world point (x, y) becomes (x, y, 0, 1), is multiplied by the current matrix and
// divided by w; anything with w - z < 0 lies behind the near plane.
//
// Used in passes: SetRaster (again whenever the raster changes), then BeginDraw, drawing and
// matrix operations, EndDraw. State set between passes persists until changed or ResetState.
// One thread at a time; the first context must be constructed on the main thread (it builds the
// process-wide tables behind unlocked flags).
//
// The fields are public: owners write the view set-up (fViewMode, pan, zoom, rotation) directly
// and the document context derived from this one reaches into the rest.
class QV_Graphics {
public:
    static constexpr int32_t kMatrixLevels = 32;
    static constexpr int32_t kMaskLevels = 8;
    static constexpr int32_t kMaxNearPoints = 32;

    // View modes.
    static constexpr int32_t kViewPlain = 1;
    static constexpr int32_t kViewCentered = 2;

    // Fill mode bits.
    static constexpr int32_t kFillPlain = 1;
    static constexpr int32_t kFillChecker = 2;
    static constexpr int32_t kFillMasked = 4;
    static constexpr int32_t kFillSetMask = 8;
    static constexpr int32_t kFillClearMask = 16;

    QV_Graphics();
    QV_Graphics(const QV_Graphics&) = delete;
    QV_Graphics& operator=(const QV_Graphics&) = delete;
    virtual ~QV_Graphics();

    // ---- State (qv_graphics.cpp) ----

    // Attaches a raster: 0, or -3 (and no target) when it has no pixels. Pushed mask levels end
    // here; smooth filling, when on, follows the new raster.
    virtual int32_t SetRaster(const QV_PixelBuffer* raster);
    // Resets the matrix stack and applies the view set-up.
    virtual void BeginDraw();
    virtual void EndDraw();

    void InitState();
    void ResetState();
    // A view of the target restricted to the (normalised, clipped) rectangle: -3 when it misses
    // the raster, -4 when there are no pixels, else 0.
    int32_t SubRaster(QV_Rect rect, QV_PixelBuffer& out) const;
    // No bounds check.
    rgb_color GetPixel(int32_t x, int32_t y) const;

    int32_t Width() const { return fTarget.width; }
    int32_t Height() const { return fTarget.height; }

    void SetColorStruct(rgb_color color);
    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255);
    void SetPenWidth(int32_t width) { fPenWidth = width; }
    void SetSmoothing(bool on) { fSmoothing = on; }
    void SetBezierTolerance(float tolerance) { fBezierTolerance = tolerance; }
    void SetFont(QV_Font* font) { fFont = font; }
    // Corners in current-matrix coordinates.
    void SetClipRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void ResetClip();
    void SetFillMode(int32_t mode);
    void SetLineNoise(int32_t amplitude, int32_t wavelength, int32_t seed);
    void ResetBounds();
    void MoveTo(float x, float y);
    void MoveTo(int32_t x, int32_t y) { MoveTo(static_cast<float>(x), static_cast<float>(y)); }

    // Matrix stack: each operation puts its transform in front of the current matrix.
    void Push();
    void Pop();
    void Translate(float dx, float dy);
    void Scale(float sx, float sy);
    void Rotate(float angle);
    void ApplyMatrix(const QV_Matrix& matrix);
    QV_Matrix CurrentTransform() const { return fMatrices[fMatrixDepth]; }

    void ScreenToWorld(const QV_Point& pixel, QV_Vector2& out) const;
    void ScreenToWorld(const QV_Point& pixel, QV_Vector3& out) const;
    bool WorldToScreen(const QV_Vector2& world, QV_Point& out) const;
    // The result in centred view units.
    bool WorldToScreen(const QV_Vector2& world, QV_Vector2& out) const;
    bool WorldToScreenScaled(
        const QV_Vector2& world, QV_Point& out, float offsetX, float offsetY, float scale) const;
    float CurrentScale(bool divideByZoom, float x = 0, float y = 0) const;

    // Mask stack: one bit per level in each byte of fMask.
    void PushMask(bool setAll);
    void PopMask();
    void ClearMask();

    // Picking: draw a candidate between BeginPicking and Pick.
    void BeginPicking(int32_t x, int32_t y, int32_t radius);
    bool Pick();
    bool IsFullWhite(int32_t x, int32_t y) const;

    // ---- Shape filling (qv_graphics_fill.cpp, smooth hand-off in qv_graphics_smooth.cpp) ----

    void BeginShape();
    void AddLine(float x0, float y0, float x1, float y1);
    void AddLine(const QV_Vector2& a, const QV_Vector2& b) { AddLine(a.x, a.y, b.x, b.y); }
    void AddLineSegment(const LineSegment& segment);
    void AddCurve(const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3);
    // False when a row of an unclipped shape ended with an odd number of crossings.
    bool EndShape();
    // Smooth (anti-aliased) shape filling; only a 32-bit target can have it.
    void SetAntialiasing(bool on);
    // One screen-space edge of the current shape.
    void AddEdge(float x0, float y0, float x1, float y1);
    void FillShape();
    void FillShapeChecker();
    void FillShapeMasked();
    void WriteShapeToMask();

    // ---- Curves (qv_graphics_curves.cpp) ----

    // Flattening steps of a cubic given in screen pixels: about one per fBezierTolerance pixels
    // of control-polygon length, even, at least 2 and at most fCurveSteps.
    int32_t CurveSteps(const QV_Vector2* points) const;
    void FlattenCurve(const QV_Vector2* points);
    // The four control points through the current matrix. When none is behind the eye, also
    // their screen points, which widen the tracked bounds by the pen; false leaves screen unset.
    bool ProjectCurve(const QV_Vector2* world, qv_graphics::Projected* projected, QV_Vector2* screen);
    void DrawCurve(const QV_Vector2* points);
    void StrokeCurve(const QV_Vector2* points);
    void DrawWideCurve(const QV_Vector2* points, float startWidth, float endWidth);
    void StrokeWideCurve(const QV_Vector2* points, float startWidth, float endWidth);

    // ---- Lines (qv_graphics_lines.cpp) ----

    void DrawLine(float x0, float y0, float x1, float y1);
    void LineTo(float x, float y);
    void LineTo(int32_t x, int32_t y) { LineTo(static_cast<float>(x), static_cast<float>(y)); }
    void DrawHLine(int32_t x0, int32_t x1, int32_t y);
    void DrawVLine(int32_t y0, int32_t y1, int32_t x);
    void DrawScreenLine(float x0, float y0, float x1, float y1);
    void DrawPixelLine(int32_t x, int32_t y);
    void DrawAliasedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void DrawThickLine(float x0, float y0, float x1, float y1);
    void DrawSmoothLine(float x0, float y0, float x1, float y1);
    void DrawHSpan(int32_t xa, int32_t xb, int32_t y);
    void DrawVSpan(int32_t ya, int32_t x, int32_t yb);
    void InvertDottedHLine(int32_t xa, int32_t y, int32_t xb);
    void InvertDottedVLine(int32_t x, int32_t ya, int32_t yb);

    // ---- Primitives (qv_graphics_primitives.cpp) ----

    void Clear(rgb_color color);
    void FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void SelectionRect(int32_t left, int32_t top, int32_t right, int32_t bottom, bool invertInside);
    void FrameEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    bool FillEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void FrameCircle(float radius, float centerX, float centerY);
    void FillCircle(float radius, float centerX, float centerY);
    void FrameRoundRect(int32_t radius, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void FillRoundRect(int32_t radius, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void DrawMarker(float x, float y);
    void DrawMarker3D(float x, float y, float z);
    void DrawFatMarker(float x, float y, float halfSize);
    void FillGradientRect(int32_t radius, bool vertical, rgb_color color1, rgb_color color2, int32_t left,
        int32_t top, int32_t right, int32_t bottom);

    // ---- Text, images and flood fill (qv_graphics_text.cpp, _image.cpp, _floodfill.cpp) ----

    void DrawText(const char* text, int32_t verticalMode);
    void DrawImage(QV_PixelBuffer* image, float x, float y);
    void DrawImageScaled(QV_PixelBuffer* image, float x, float y, float width, float height);
    void DrawImageAlpha(QV_PixelBuffer* image, float x, float y, bool mergeAlpha);
    void DrawImageFaded(QV_PixelBuffer* image, float x, float y, int32_t alphaOffset);
    void DrawImageIntersect(QV_PixelBuffer* image, float x, float y);
    // True when the filled region is enclosed: no run of it reached the first or last column.
    bool FloodFill(int32_t x, int32_t y);

    // ---- Fields ----

    QV_PixelBuffer fTarget;
    QV_PixelBuffer fClipView;
    rgb_color fColor;
    uint8_t fColorIndex;
    uint16_t fColor555;
    uint16_t fColor565;
    uint32_t fColor32;
    int32_t fPenWidth;
    QV_Font* fFont;
    QV_Rect fClipRect;
    bool fSmoothing;
    int32_t fFillMode;
    float fBezierTolerance;
    int32_t fCurveSteps;
    bool fLineNoise;
    int32_t fNoiseAmplitude;
    int32_t fNoiseWavelength;
    int32_t fNoiseSeed;
    bool fAxisAligned;
    int32_t fViewMode;
    float fPanX;
    float fPanY;
    float fZoom;
    float fRotation;
    int32_t fMatrixDepth;
    QV_Matrix fMatrices[kMatrixLevels];
    int32_t fPickX;
    int32_t fPickY;
    int32_t fPickLeft;
    int32_t fPickRight;
    int32_t fPickTop;
    int32_t fPickBottom;
    uint8_t fPickRef8;
    uint16_t fPickRef16;
    uint32_t fPickRef32;
    bool fTrackBounds;
    DrawBounds fBounds;
    int32_t fPixelPenX;
    int32_t fPixelPenY;
    float fPenX;
    float fPenY;
    int32_t fFirstRow;
    int32_t fLastRow;
    // Every row holding crossings lies in fUsedFirstRow..fUsedLastRow, so a new shape empties
    // only those rather than the whole table.
    int32_t fUsedFirstRow;
    int32_t fUsedLastRow;
    int32_t fRowCount;
    CrossingRow* fRows;
    // A smooth plain fill is rendered by the anti-aliasing rasteriser; its crossings are only
    // counted, for the closed-outline answer of EndShape.
    bool fCountCrossingsOnly;
    bool fShapeClipped;
    int32_t fNearPointCount;
    QV_Vector2 fNearPoints[kMaxNearPoints];
    uint8_t* fMask;
    int32_t fMaskDepth;
    uint8_t fMaskBit;
    uint8_t fMaskBitInverse;
    uint8_t fMaskAllBits;
    bool fAntialias;
    bool fOutlineFills;
    bool fRecordingCurves;
    int32_t fSegmentCount;
    int32_t fSegmentCapacity;
    CurveSegment* fSegments;
    float fAggLastX;
    float fAggLastY;
    QV_AggBuffer* fAggBuffer;
    QV_AggPixelFormat* fAggPixelFormat;
    QV_AggRasterizer* fAggRasterizer;
    // Kept with the rasteriser so that its row buffers grow once, not once per shape.
    QV_AggScanline* fAggScanline;
    // While set, smooth fills hand their coverage here and leave the target as it is.
    SmoothCoverageSink* fSmoothSink;
    // Straight edges given in world coordinates while smooth filling is on, kept so that a shape
    // that must fall back to the scan-line filler (its curves cross the near plane) loses none.
    int32_t fSmoothLineCount;
    int32_t fSmoothLineCapacity;
    LineSegment* fSmoothLines;
    // Scratch of the wide strokes (the right-hand side of a stroke, a copy of the recorded curves
    // for gap filling), kept so that strokes do not allocate once it has grown.
    int32_t fStrokeSideCapacity;
    QV_Vector2* fStrokeSide;
    int32_t fGapCurveCapacity;
    CurveSegment* fGapCurves;

protected:
    void WidenBounds(float x, float y);
    void WidenBounds(float x, float y, float margin);
    // The line-noise displacement of a point; no displacement without a wavelength.
    QV_Vector2 Jitter(const QV_Vector2& point) const;
    // The flattened curve's segments, each handed to segment (jittered with line noise).
    void WalkCurveSegments(const QV_Vector2* points, void (QV_Graphics::*segment)(float, float, float, float));
    // A projected segment about to be drawn or filled: jittered with line noise, and widening the
    // tracked bounds.
    void PrepareSegment(QV_Vector2& e0, QV_Vector2& e1);

private:
    QV_Matrix& Current() { return fMatrices[fMatrixDepth]; }
    const QV_Matrix& Current() const { return fMatrices[fMatrixDepth]; }
    void FreeOwned();
    void FreeRows();
    void SweepToSink();
    int32_t PixelSize() const;

    // Shape filling helpers.
    void InsertCrossing(int32_t row, int32_t mid, int32_t left, int32_t right);
    bool ClipFillRows();
    void WriteSpan(int32_t y, int32_t x0, int32_t x1);
    // n pixels from p on in the opaque pen colour.
    void StoreColorRun(uint8_t* p, int32_t n);
    void WriteMaskedSpan(int32_t y, int32_t x0, int32_t x1);
    void WriteMaskBits(int32_t y, int32_t x0, int32_t x1);
    void AppendSegment(
        const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3);
    void AppendSmoothLine(const LineSegment& segment);
    void ChainSegments();
    bool EndSmoothShapeBehindEye();
    void AppendNearPoint(float x, float y);

    // Smooth hand-off (qv_graphics_smooth.cpp).
    void FreeAggObjects();
    void ResetAggPath();
    void AggAddEdge(float& x0, float& y0, float& x1, float& y1);
    void RenderSmoothShape();

    // Lines helpers.
    void WritePixel(int32_t x, int32_t y);
    void BlendCoverage(int32_t x, int32_t y, int32_t coverage);
    void StampSquare(int32_t x, int32_t y, int32_t width);

    // Flood fill helper.
    bool ScanFill(int32_t x, int32_t y, uint32_t target, uint32_t fill);
};
