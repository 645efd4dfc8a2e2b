// Brush strokes: one cubic segment stamped with the context's texture as a row of square dabs.
#include "xgraphics.h"

#include "polygon_walk.h"
#include "qv_noise.h"
#include "qv_random.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

float Ease(float s)
{
    return 3 * s * s - 2 * s * s * s;
}

float DabWidth(float w0, float w1, float s)
{
    return w0 + (w1 - w0) * Ease(s);
}

template <typename Point> Point Bezier(const Point* p, float t)
{
    const float s = 1 - t;
    const float a = s * s * s;
    const float b = 3 * s * s * t;
    const float c = 3 * s * t * t;
    const float d = t * t * t;
    Point out;
    const float* p0 = &p[0].x;
    const float* p1 = &p[1].x;
    const float* p2 = &p[2].x;
    const float* p3 = &p[3].x;
    float* o = &out.x;
    for (size_t i = 0; i < sizeof(Point) / sizeof(float); i++)
        o[i] = a * p0[i] + b * p1[i] + c * p2[i] + d * p3[i];
    return out;
}

// A control point after the current matrix, before the divide.
struct Homogeneous {
    float x, y, z, w;
};

QV_Vector2 Project(const Homogeneous& h)
{
    return QV_Vector2 { h.x / h.w, h.y / h.w };
}

bool Finite(const QV_Vector2& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// floor of a pixel coordinate (trunc, minus one below 0), and the matching upper edge.
int32_t Floor(float v)
{
    const int32_t t = polygon_walk::TruncRow(v);
    return v >= 0 ? t : t - 1;
}

int32_t Ceil(float v)
{
    const int32_t t = polygon_walk::TruncRow(v);
    return v >= 0 ? t + 1 : t;
}

int32_t RoundHalfAway(float v)
{
    v = polygon_walk::Clamp(v, -1e8f, 1e8f);
    return static_cast<int32_t>(v >= 0 ? std::floor(v + 0.5f) : std::ceil(v - 0.5f));
}

} // namespace

void XGraphics::DrawDab(RasterPolygon& dab, const QV_Vector2& center, float width, float angle)
{
    const float r = width * 1.25f / static_cast<float>(fTarget.height);
    const QV_Vector2 m { (center.x - fCenterX) / fCenterY, (fCenterY - center.y) / fCenterY };
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float quarterCos = std::cos(kPi * 0.5f);
    const float quarterSin = std::sin(kPi * 0.5f);
    QV_Vector2 offset { r * c - r * s, r * s + r * c };
    static const float kU[4] = { 1, 0, 0, 1 };
    static const float kV[4] = { 0, 0, 1, 1 };
    for (int i = 0; i < 4; i++) {
        RasterVertex& v = dab.vertices[i];
        v = RasterVertex {};
        v.x = m.x + offset.x;
        v.y = m.y + offset.y;
        v.u = kU[i];
        v.v = kV[i];
        offset = QV_Vector2 { offset.x * quarterCos - offset.y * quarterSin,
            offset.x * quarterSin + offset.y * quarterCos };
    }
    dab.kind = kRasterTextureFiltered;
    dab.count = 4;
    DrawTexturedPolygon(dab, true);
}

void XGraphics::DrawBrushStroke(
    const QV_Vector2* points, float w0, float w1, bool orient, float range, float spacing)
{
    Homogeneous h[4];
    bool allInFront = true;
    for (int i = 0; i < 4; i++) {
        float v[4] = { points[i].x, points[i].y, 0, 1 };
        CurrentTransform().Transform4(v);
        h[i] = Homogeneous { v[0], v[1], v[2], v[3] };
        // A point on the eye plane (w = 0) has no pixel position either: it takes the walk that
        // clips at the near plane.
        if (!(v[3] > 0))
            allInFront = false;
    }
    if (allInFront) {
        QV_Vector2 projected[4];
        for (int i = 0; i < 4; i++)
            projected[i] = Project(h[i]);
        if (fTrackBounds) {
            float largest = static_cast<float>(fPenWidth);
            largest = w0 > largest ? w0 : largest;
            largest = w1 > largest ? w1 : largest;
            float margin = largest * 0.65f;
            if (fLineNoise)
                margin += static_cast<float>(fNoiseAmplitude);
            for (const QV_Vector2& p : projected)
                WidenBounds(p.x, p.y, margin);
        }
        DrawBrushStroke2D(projected, w0, w1, orient, range, spacing);
        return;
    }

    RasterPolygon dab {};
    Homogeneous previous = h[0];
    for (int i = 1; i <= 16; i++) {
        const Homogeneous current = Bezier(h, static_cast<float>(i) * 0.0625f);
        const float dp = previous.w - previous.z;
        const float dc = current.w - current.z;
        if (dp >= 0 && dc >= 0) {
            const QV_Vector2 a = JitterIfNoisy(Project(previous));
            const QV_Vector2 b = JitterIfNoisy(Project(current));
            // A point on the eye plane has no pixel position: it neither widens the bounds nor
            // centres a dab (it may still give the direction of one).
            if (fTrackBounds && Finite(b))
                WidenBounds(b.x, b.y, 0);
            if (Finite(a)) {
                if (fTrackBounds)
                    WidenBounds(a.x, a.y, 0);
                float angle = orient ? std::atan2(b.x - a.x, b.y - a.y) + kPi : 0;
                angle += (static_cast<float>(QV_Rand()) / 32767.0f * 2 - 1) * range * 0.5f;
                DrawDab(dab, a, DabWidth(w0, w1, static_cast<float>(i - 1) / 15.0f), angle);
            }
        } else if (dp * dc < 0) {
            if (fTrackBounds) {
                const Homogeneous& front = dp >= 0 ? previous : current;
                const float t = dp / (dp - dc);
                const Homogeneous crossing { previous.x + (current.x - previous.x) * t,
                    previous.y + (current.y - previous.y) * t, 0, previous.w + (current.w - previous.w) * t };
                const QV_Vector2 a = JitterIfNoisy(Project(front));
                const QV_Vector2 b = JitterIfNoisy(Project(crossing));
                if (Finite(a))
                    WidenBounds(a.x, a.y, 0);
                if (Finite(b))
                    WidenBounds(b.x, b.y, 0);
            }
        }
        previous = current;
    }
}

void XGraphics::DrawBrushStroke2D(
    const QV_Vector2* p, float w0, float w1, bool orient, float range, float spacing)
{
    if (!fTarget.pixels)
        return;
    QV_Rect box { Floor(p[0].x), Floor(p[0].y), Ceil(p[0].x), Ceil(p[0].y) };
    for (int i = 1; i < 4; i++) {
        const int32_t left = Floor(p[i].x), top = Floor(p[i].y), right = Ceil(p[i].x), bottom = Ceil(p[i].y);
        box.left = left < box.left ? left : box.left;
        box.top = top < box.top ? top : box.top;
        box.right = right > box.right ? right : box.right;
        box.bottom = bottom > box.bottom ? bottom : box.bottom;
    }
    const int32_t grow = RoundHalfAway(w0) + RoundHalfAway(w1);
    box.left -= grow;
    box.top -= grow;
    box.right += grow;
    box.bottom += grow;
    if (!box.Intersect(fClipRect))
        return;

    const QV_Vector2 middle { (p[1].x + p[2].x) * 0.5f, (p[1].y + p[2].y) * 0.5f };
    const float length
        = std::hypot(middle.x - p[0].x, middle.y - p[0].y) + std::hypot(middle.x - p[3].x, middle.y - p[3].y);
    const float minimumStep = 1.0f / static_cast<float>(fCurveSteps > 0 ? fCurveSteps : 1);
    auto advance = [&](float t) {
        const float step = DabWidth(w0, w1, t) * spacing * 0.5f / length;
        // NaN (no length, no spacing) and tiny steps alike take the minimum.
        return step >= minimumStep ? step : minimumStep;
    };

    RasterPolygon dab {};
    QV_Vector2 previous = JitterIfNoisy(p[0]);
    bool first = true;
    for (float t = 0; t < 1; first = false) {
        const QV_Vector2 b = JitterIfNoisy(Bezier(p, t));
        const float w = DabWidth(w0, w1, t);
        t += advance(t);
        t += advance(t);
        float angle = 0;
        if (orient) {
            const float dx = first ? p[1].x - p[0].x : b.x - previous.x;
            const float dy = first ? p[1].y - p[0].y : b.y - previous.y;
            angle = std::atan2(dx, dy) + kPi;
        }
        angle += (static_cast<float>(QV_Rand()) / 32767.0f * 2 - 1) * range * 0.5f;
        DrawDab(dab, b, w, angle);
        previous = b;
    }
}
