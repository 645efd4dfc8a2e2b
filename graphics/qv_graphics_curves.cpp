// Cubic Bezier curves: flattened into shape edges, stroked thin with screen lines, or stroked as a
// filled outline whose width runs smoothly from a start width to an end width.
#include "qv_graphics.h"
#include "qv_graphics_internal.h"
#include "qv_noise.h"
#include <cstdlib>

using namespace qv_graphics;

namespace {

QV_Vector2 Plus(QV_Vector2 a, QV_Vector2 b)
{
    return QV_Vector2 { a.x + b.x, a.y + b.y };
}

QV_Vector2 Minus(QV_Vector2 a, QV_Vector2 b)
{
    return QV_Vector2 { a.x - b.x, a.y - b.y };
}

QV_Vector2 Times(QV_Vector2 a, float f)
{
    return QV_Vector2 { a.x * f, a.y * f };
}

// Unit normal of a direction; a zero direction gives (0, 1).
QV_Vector2 NormalOf(QV_Vector2 direction)
{
    return QV_Vector2 { -direction.y, direction.x }.Norm();
}

QV_Vector2 NoiseOffset(const QV_Graphics& g, QV_Vector2 p)
{
    if (!g.fLineNoise)
        return QV_Vector2 { 0, 0 };
    return JitterVector2D(p, float(g.fNoiseAmplitude), 1.0f / float(g.fNoiseWavelength), g.fNoiseSeed);
}

} // namespace

int32_t QV_Graphics::CurveSteps(const QV_Vector2* p) const
{
    const QV_Vector2 m { (p[1].x + p[2].x) * 0.5f, (p[1].y + p[2].y) * 0.5f };
    const float length = Minus(p[0], m).Mag() + Minus(p[3], m).Mag();
    int32_t n = TruncToInt(double(length) / double(fBezierTolerance));
    if (n > (1 << 30))
        n = 1 << 30;
    if (n & 1)
        n++;
    if (n < 2)
        n = 2;
    if (n > fCurveSteps)
        n = fCurveSteps;
    return n;
}

void QV_Graphics::WalkCurveSegments(const QV_Vector2* p, void (QV_Graphics::*segment)(float, float, float, float))
{
    const int32_t n = CurveSteps(p);
    QV_Vector2 previous = fLineNoise ? Jitter(p[0]) : p[0];
    for (int32_t i = 1; i <= n; i++) {
        QV_Vector2 sample = BezierAt(p, float(i) / float(n));
        if (fLineNoise)
            sample = Jitter(sample);
        (this->*segment)(previous.x, previous.y, sample.x, sample.y);
        previous = sample;
    }
}

void QV_Graphics::PrepareSegment(QV_Vector2& e0, QV_Vector2& e1)
{
    if (fLineNoise) {
        e0 = Jitter(e0);
        e1 = Jitter(e1);
    }
    if (fTrackBounds) {
        WidenBounds(e0.x, e0.y);
        WidenBounds(e1.x, e1.y);
    }
}

void QV_Graphics::FlattenCurve(const QV_Vector2* p)
{
    if (!fAntialias) {
        const float top = float(fClipRect.top), bottom = float(fClipRect.bottom);
        if (p[0].y < top && p[1].y < top && p[2].y < top && p[3].y < top)
            return;
        if (p[0].y > bottom && p[1].y > bottom && p[2].y > bottom && p[3].y > bottom)
            return;
    }
    WalkCurveSegments(p, &QV_Graphics::AddEdge);
}

bool QV_Graphics::ProjectCurve(const QV_Vector2* world, Projected* projected, QV_Vector2* screen)
{
    bool behind = false;
    for (int i = 0; i < 4; i++) {
        projected[i] = Project(Current(), world[i].x, world[i].y);
        behind = behind || projected[i].w < 0;
    }
    if (behind)
        return false;
    const float margin = fPenWidth * 0.5f + (fLineNoise ? float(fNoiseAmplitude) : 0.0f);
    for (int i = 0; i < 4; i++) {
        screen[i] = projected[i].Divided();
        if (fTrackBounds)
            WidenBounds(screen[i].x, screen[i].y, margin);
    }
    return true;
}

void QV_Graphics::DrawCurve(const QV_Vector2* points)
{
    if (fPenWidth >= 2) {
        DrawWideCurve(points, float(fPenWidth), float(fPenWidth));
        return;
    }
    Projected projected[4];
    QV_Vector2 screen[4];
    if (ProjectCurve(points, projected, screen)) {
        StrokeCurve(screen);
        return;
    }
    const bool antialias = fAntialias;
    fAntialias = false;
    const int32_t steps = fCurveSteps;
    Projected previous = projected[0];
    for (int32_t k = 1; k <= steps; k++) {
        const Projected next = BezierAt(projected, float(k) / float(steps));
        const float d0 = previous.Depth(), d1 = next.Depth();
        QV_Vector2 e0, e1;
        if (d0 >= 0 && d1 >= 0) {
            e0 = previous.Divided();
            e1 = next.Divided();
        } else if (d0 * d1 < 0) {
            e0 = (d0 >= 0 ? previous : next).Divided();
            e1 = Lerp(previous, next, d0 / (d0 - d1)).Divided();
        } else {
            previous = next;
            continue;
        }
        PrepareSegment(e0, e1);
        DrawScreenLine(e0.x, e0.y, e1.x, e1.y);
        previous = next;
    }
    fAntialias = antialias;
}

void QV_Graphics::StrokeCurve(const QV_Vector2* p)
{
    QV_Rect box { INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN };
    for (int i = 0; i < 4; i++) {
        const int32_t lowX = TruncToInt(p[i].x) - (p[i].x < 0 ? 1 : 0);
        const int32_t lowY = TruncToInt(p[i].y) - (p[i].y < 0 ? 1 : 0);
        const int32_t highX = TruncToInt(p[i].x) + (p[i].x >= 0 ? 1 : 0);
        const int32_t highY = TruncToInt(p[i].y) + (p[i].y >= 0 ? 1 : 0);
        box.left = lowX < box.left ? lowX : box.left;
        box.top = lowY < box.top ? lowY : box.top;
        box.right = highX > box.right ? highX : box.right;
        box.bottom = highY > box.bottom ? highY : box.bottom;
    }
    if (!box.Intersect(fClipRect))
        return;
    WalkCurveSegments(p, &QV_Graphics::DrawScreenLine);
}

void QV_Graphics::DrawWideCurve(const QV_Vector2* points, float startWidth, float endWidth)
{
    if (!fAntialias && !fSmoothing && startWidth < 2 && endWidth < 2)
        startWidth = endWidth = 2;
    Projected projected[4];
    int32_t behind = 0;
    for (int i = 0; i < 4; i++) {
        projected[i] = Project(Current(), points[i].x, points[i].y);
        if (projected[i].w < 0)
            behind++;
    }
    if (behind == 4)
        return;
    if (behind == 0) {
        QV_Vector2 screen[4];
        const float margin = (startWidth > endWidth ? startWidth : endWidth) * 0.5f
            + (fLineNoise ? float(fNoiseAmplitude) : 0.0f);
        for (int i = 0; i < 4; i++) {
            screen[i] = projected[i].Divided();
            if (fTrackBounds)
                WidenBounds(screen[i].x, screen[i].y, margin);
        }
        StrokeWideCurve(screen, startWidth, endWidth);
        return;
    }

    // Partly behind the eye: quadrilaterals step by step, cut at the near plane, in a shape of
    // their own filled by the scan-line filler.
    const bool antialias = fAntialias;
    const bool smoothing = fSmoothing;
    fAntialias = false;
    if (antialias)
        fSmoothing = true;
    BeginShape();
    const float w0 = startWidth - 2 > 0 ? startWidth - 2 : 0;
    const float w1 = endWidth - 2 > 0 ? endWidth - 2 : 0;
    const float h0 = w0 / 2;
    const float dh = w1 / 2 - h0;
    const int32_t steps = fCurveSteps;
    Projected previous = projected[0];
    bool drawn = false;
    QV_Vector2 lastLeft {}, lastRight {};
    for (int32_t k = 0; k < steps; k++) {
        const Projected next = BezierAt(projected, float(k + 1) / float(steps));
        // A single step has no width run to follow: it keeps the start width.
        const float h = steps > 1 ? h0 + dh * SmoothStep(float(k) / float(steps - 1)) : h0;
        const float d0 = previous.Depth(), d1 = next.Depth();
        if (d0 < 0 && d1 < 0) {
            previous = next;
            continue;
        }
        Projected s0 = previous, s1 = next;
        if (d0 < 0 || d1 < 0) {
            const Projected cut = Lerp(previous, next, d0 / (d0 - d1));
            if (d0 < 0)
                s0 = cut;
            else
                s1 = cut;
        }
        const QV_Vector2 e0 = s0.Divided(), e1 = s1.Divided();
        const QV_Vector2 j0 = NoiseOffset(*this, e0), j1 = NoiseOffset(*this, e1);
        if (fTrackBounds) {
            WidenBounds(e0.x, e0.y);
            WidenBounds(e1.x, e1.y);
        }
        const QV_Vector2 n = NormalOf(Minus(e1, e0));
        const QV_Vector2 qa = Plus(Plus(e0, Times(n, h)), j0), qb = Plus(Minus(e0, Times(n, h)), j0);
        const QV_Vector2 qc = Plus(Plus(e1, Times(n, h)), j1), qd = Plus(Minus(e1, Times(n, h)), j1);
        if (!drawn) {
            AddEdge(qa.x, qa.y, qc.x, qc.y);
            AddEdge(qb.x, qb.y, qd.x, qd.y);
            AddEdge(qa.x, qa.y, qb.x, qb.y);
            drawn = true;
        } else {
            AddEdge(lastLeft.x, lastLeft.y, qc.x, qc.y);
            AddEdge(lastRight.x, lastRight.y, qd.x, qd.y);
        }
        lastLeft = qc;
        lastRight = qd;
        previous = next;
    }
    if (drawn)
        AddEdge(lastLeft.x, lastLeft.y, lastRight.x, lastRight.y);
    EndShape();
    fAntialias = antialias;
    fSmoothing = smoothing;
}

void QV_Graphics::StrokeWideCurve(const QV_Vector2* p, float startWidth, float endWidth)
{
    float minX = 1e6f, minY = 1e6f, maxX = -1e6f, maxY = -1e6f;
    for (int i = 0; i < 4; i++) {
        const float x = ClampFloat(p[i].x, -1e6f, 1e6f), y = ClampFloat(p[i].y, -1e6f, 1e6f);
        minX = x < minX ? x : minX;
        minY = y < minY ? y : minY;
        maxX = x > maxX ? x : maxX;
        maxY = y > maxY ? y : maxY;
    }
    if (!(minX <= float(fTarget.width) && minY <= float(fTarget.height) && maxX >= 0 && maxY >= 0))
        return;
    BeginShape();
    int32_t n = CurveSteps(p);
    if (n < 0)
        n = 0;
    if (!ReserveScratch(fStrokeSide, fStrokeSideCapacity, n + 1)) {
        EndShape();
        return;
    }
    QV_Vector2* right = fStrokeSide;
    if (!fAntialias) {
        startWidth -= 1.0f;
        endWidth -= 1.0f;
    }
    startWidth = startWidth > 0 ? startWidth : 0;
    endWidth = endWidth > 0 ? endWidth : 0;
    const float h0 = startWidth / 2;
    const float dh = endWidth / 2 - h0;

    const QV_Vector2 startNormal = NormalOf(Minus(p[1], p[0]));
    const QV_Vector2 j = NoiseOffset(*this, p[0]);
    QV_Vector2 left = Plus(Plus(p[0], Times(startNormal, h0)), j);
    right[0] = Plus(Minus(p[0], Times(startNormal, h0)), j);
    if (fAntialias) {
        // Extends the start cap so the anti-aliased edge does not leave a seam at a joint.
        const QV_Vector2 back = Times(Minus(p[1], p[0]).Norm(), 0.7f);
        left = Minus(left, back);
        right[0] = Minus(right[0], back);
    }
    AddEdge(right[0].x, right[0].y, left.x, left.y);
    for (int32_t i = 1; i <= n; i++) {
        const float t = float(i) / float(n);
        const QV_Vector2 s = BezierAt(p, t);
        const float h = h0 + dh * SmoothStep(t);
        const QV_Vector2 js = NoiseOffset(*this, s);
        const QV_Vector2 tangent
            = i == n ? Minus(p[3], p[2]) : Minus(BezierAt(p, float(i + 1) / float(n)), s);
        const QV_Vector2 normal = NormalOf(tangent);
        const QV_Vector2 nextLeft = Plus(Plus(s, Times(normal, h)), js);
        right[i] = Plus(Minus(s, Times(normal, h)), js);
        AddEdge(left.x, left.y, nextLeft.x, nextLeft.y);
        left = nextLeft;
    }
    AddEdge(left.x, left.y, right[n].x, right[n].y);
    for (int32_t i = n; i >= 1; i--)
        AddEdge(right[i].x, right[i].y, right[i - 1].x, right[i - 1].y);
    EndShape();
}
