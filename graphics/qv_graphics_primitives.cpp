// Ready-made figures: clearing, rectangles, ellipses and circles of four cubic arcs, rounded
// rectangles, point markers, the dotted selection frame and the gradient rectangle.
#include "qv_graphics.h"
#include "qv_graphics_internal.h"
#include "raster_fill.h"
#include "raster_rows.h"

using namespace qv_graphics;

namespace {

// Line noise stays off while the figure is drawn.
class NoiseOff {
public:
    explicit NoiseOff(QV_Graphics& g)
        : fGraphics(g)
        , fSaved(g.fLineNoise)
    {
        g.fLineNoise = false;
    }
    ~NoiseOff() { fGraphics.fLineNoise = fSaved; }
    NoiseOff(const NoiseOff&) = delete;
    NoiseOff& operator=(const NoiseOff&) = delete;

private:
    QV_Graphics& fGraphics;
    bool fSaved;
};

// The four arcs of an ellipse in a box, in the order and direction the fills and outlines use.
void EllipseArcs(float left, float top, float right, float bottom, CurveSegment arcs[4])
{
    const float w = right - left, h = bottom - top;
    const float cx = left + w / 2, cy = top + h / 2;
    const float hx = w * 9 / 32, hy = h * 9 / 32;
    arcs[0] = CurveSegment { { { left, cy }, { left, cy - hy }, { cx - hx, top }, { cx, top } } };
    arcs[1] = CurveSegment { { { cx, top }, { cx + hx, top }, { right, cy - hy }, { right, cy } } };
    arcs[2] = CurveSegment { { { left, cy }, { left, cy + hy }, { cx - hx, bottom }, { cx, bottom } } };
    arcs[3] = CurveSegment { { { cx, bottom }, { cx + hx, bottom }, { right, cy + hy }, { right, cy } } };
}

void CircleArcs(float r, float cx, float cy, CurveSegment arcs[4])
{
    const float e = 0.5625f * r;
    arcs[0] = CurveSegment { { { cx - r, cy }, { cx - r, cy - e }, { cx - e, cy - r }, { cx, cy - r } } };
    arcs[1] = CurveSegment { { { cx, cy - r }, { cx + e, cy - r }, { cx + r, cy - e }, { cx + r, cy } } };
    arcs[2] = CurveSegment { { { cx - r, cy }, { cx - r, cy + e }, { cx - e, cy + r }, { cx, cy + r } } };
    arcs[3] = CurveSegment { { { cx, cy + r }, { cx + e, cy + r }, { cx + r, cy + e }, { cx + r, cy } } };
}

void RoundRectParts(
    float r, float left, float top, float right, float bottom, CurveSegment arcs[4], LineSegment sides[4])
{
    const float k = r * 9 / 16;
    arcs[0] = CurveSegment { { { left, top + r }, { left, top + r - k }, { left + r - k, top },
        { left + r, top } } };
    arcs[1] = CurveSegment { { { right, top + r }, { right, top + r - k }, { right - r + k, top },
        { right - r, top } } };
    arcs[2] = CurveSegment { { { left, bottom - r }, { left, bottom - r + k }, { left + r - k, bottom },
        { left + r, bottom } } };
    arcs[3] = CurveSegment { { { right, bottom - r }, { right, bottom - r + k }, { right - r + k, bottom },
        { right - r, bottom } } };
    sides[0] = LineSegment { left + r, top, right - r, top };
    sides[1] = LineSegment { left + r, bottom, right - r, bottom };
    sides[2] = LineSegment { left, top + r, left, bottom - r };
    sides[3] = LineSegment { right, top + r, right, bottom - r };
}

} // namespace

void QV_Graphics::Clear(rgb_color color)
{
    FillRaster(fTarget, color);
}

void QV_Graphics::FrameRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    DrawLine(float(left), float(top), float(right), float(top));
    DrawLine(float(left), float(bottom), float(right), float(bottom));
    DrawLine(float(left), float(top), float(left), float(bottom));
    DrawLine(float(right), float(top), float(right), float(bottom));
}

void QV_Graphics::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (fColor.a == 0)
        return;
    if (fAxisAligned && fColor.a == 255 && fMaskDepth == 0) {
        QV_Vector2 a { float(left), float(top) }, b { float(right), float(bottom) };
        Current().Transform(a);
        Current().Transform(b);
        QV_Rect r { RoundHalfAway(a.x), RoundHalfAway(a.y), RoundHalfAway(b.x), RoundHalfAway(b.y) };
        if (!r.Intersect(fClipRect))
            return;
        QV_PixelBuffer view;
        if (SubRaster(r, view) == QV_RESULT_OK)
            FillRaster(view, fColor);
        return;
    }
    const float l = float(left), t = float(top), r = float(right), b = float(bottom);
    BeginShape();
    AddLineSegment(LineSegment { l - 1, t, r, t });
    AddLineSegment(LineSegment { r, b + 1, r, t });
    AddLineSegment(LineSegment { r, b + 1, l - 1, b + 1 });
    AddLineSegment(LineSegment { l - 1, t, l - 1, b + 1 });
    EndShape();
}

void QV_Graphics::SelectionRect(int32_t left, int32_t top, int32_t right, int32_t bottom, bool invertInside)
{
    if (invertInside) {
        QV_PixelBuffer view;
        if (SubRaster(QV_Rect { left, top, right, bottom }, view) == QV_RESULT_OK)
            InvertRaster(view);
    }
    InvertDottedHLine(left, top, right);
    InvertDottedHLine(left, bottom, right);
    InvertDottedVLine(left, top, bottom);
    InvertDottedVLine(right, top, bottom);
}

void QV_Graphics::FrameEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    EllipseArcs(float(left), float(top), float(right), float(bottom), arcs);
    for (const CurveSegment& arc : arcs)
        DrawCurve(arc.p);
}

bool QV_Graphics::FillEllipse(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    EllipseArcs(float(left), float(top), float(right), float(bottom), arcs);
    BeginShape();
    for (const CurveSegment& arc : arcs)
        AddCurve(arc.p[0], arc.p[1], arc.p[2], arc.p[3]);
    return EndShape();
}

void QV_Graphics::FrameCircle(float radius, float centerX, float centerY)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    CircleArcs(radius, centerX, centerY, arcs);
    for (const CurveSegment& arc : arcs)
        DrawCurve(arc.p);
}

void QV_Graphics::FillCircle(float radius, float centerX, float centerY)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    CircleArcs(radius, centerX, centerY, arcs);
    BeginShape();
    for (const CurveSegment& arc : arcs)
        AddCurve(arc.p[0], arc.p[1], arc.p[2], arc.p[3]);
    EndShape();
}

void QV_Graphics::FrameRoundRect(int32_t radius, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    LineSegment sides[4];
    RoundRectParts(float(radius), float(left), float(top), float(right), float(bottom), arcs, sides);
    for (const CurveSegment& arc : arcs)
        DrawCurve(arc.p);
    const bool smoothing = fSmoothing;
    fSmoothing = false;
    for (const LineSegment& side : sides)
        DrawLine(side.x0, side.y0, side.x1, side.y1);
    fSmoothing = smoothing;
}

void QV_Graphics::FillRoundRect(int32_t radius, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    NoiseOff quiet(*this);
    CurveSegment arcs[4];
    LineSegment sides[4];
    RoundRectParts(float(radius), float(left), float(top), float(right), float(bottom), arcs, sides);
    BeginShape();
    for (const CurveSegment& arc : arcs)
        AddCurve(arc.p[0], arc.p[1], arc.p[2], arc.p[3]);
    for (const LineSegment& side : sides)
        AddLineSegment(side);
    EndShape();
}

namespace {

// The projected point rounded to a pixel; false behind the eye.
bool MarkerPixel(const QV_Matrix& m, float x, float y, float z, int32_t& px, int32_t& py)
{
    float v[4] = { x, y, z, 1 };
    m.Transform4(v);
    if (!(v[3] > 0))
        return false;
    px = RoundHalfAway(v[0] / v[3]);
    py = RoundHalfAway(v[1] / v[3]);
    return true;
}

} // namespace

void QV_Graphics::DrawMarker(float x, float y)
{
    DrawMarker3D(x, y, 0);
}

void QV_Graphics::DrawMarker3D(float x, float y, float z)
{
    int32_t px, py;
    if (!MarkerPixel(Current(), x, y, z, px, py))
        return;
    if (!(fClipRect.left - 2 < px && px < fClipRect.right + 2 && fClipRect.top - 2 < py
            && py < fClipRect.bottom + 2))
        return;
    DrawHSpan(px - 2, px + 2, py - 2);
    DrawHSpan(px - 2, px + 2, py + 2);
    DrawVSpan(py - 2, px - 2, py + 2);
    DrawVSpan(py - 2, px + 2, py + 2);
}

void QV_Graphics::DrawFatMarker(float x, float y, float halfSize)
{
    int32_t px, py;
    if (!MarkerPixel(Current(), x, y, 0, px, py))
        return;
    const int32_t g = RoundHalfAway(halfSize);
    for (int32_t row = py - g; row <= py + g - 1; row++)
        DrawHSpan(px - g, px + g - 1, row);
}

void QV_Graphics::FillGradientRect(int32_t radius, bool vertical, rgb_color color1, rgb_color color2,
    int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!fTarget.pixels || fTarget.bytesPerPixel != 4)
        return;
    const rgb_color savedColor = fColor;
    const bool savedSmoothing = fSmoothing;
    // The shape is stencilled in opaque black, then each stencilled pixel takes its gradient colour.
    SetColor(0, 0, 0, 255);
    fSmoothing = false;
    if (radius != 0)
        FillRoundRect(radius, left, top, right, bottom);
    else
        FillRect(left, top, right, bottom);

    QV_Vector2 a { float(left), float(top) }, b { float(right), float(bottom) };
    Current().Transform(a);
    Current().Transform(b);
    QV_PixelBuffer view;
    if (SubRaster(
            QV_Rect { RoundHalfAway(a.x), RoundHalfAway(a.y), RoundHalfAway(b.x), RoundHalfAway(b.y) }, view)
        == QV_RESULT_OK) {
        QV_ColorVector c1, c2;
        c1.Set(color1);
        c2.Set(color2);
        const int32_t n = vertical ? view.height : view.width;
        const uint32_t stencil = 0xFF000000u;
        for (int32_t i = 0; i < n; i++) {
            // A single row (or column) has no run to spread over: it takes colour1.
            const float t = n > 1 ? float(i) / float(n - 1) : 0.0f;
            const rgb_color g = (c2 * t + c1 * (1 - t)).AsColorStruct();
            const uint32_t value = uint32_t(g.a) << 24 | uint32_t(g.r) << 16 | uint32_t(g.g) << 8 | g.b;
            const int32_t count = vertical ? view.width : view.height;
            for (int32_t j = 0; j < count; j++) {
                uint8_t* p = vertical ? RasterPixel(view, j, i) : RasterPixel(view, i, j);
                if (LoadPixel32(p) == stencil)
                    StorePixel32(p, value);
            }
        }
    }
    fSmoothing = savedSmoothing;
    SetColorStruct(savedColor);
}
