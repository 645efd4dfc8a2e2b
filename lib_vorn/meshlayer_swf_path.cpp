// The vector layer's SWF path pieces: one cubic segment of layer units becomes quadratic curves
// (or straight pieces where it reaches behind the camera) in output pixels.

#include <cmath>

#include "meshlayer.h"
#include "swf.h"
#include "xgraphics.h"

namespace {

constexpr float kEpsilon = 0.000001f;
constexpr float kFarPoint = 2048.0f;
// A w below this counts as behind the camera: its coordinates would not be finite.
constexpr float kMinW = 0.000001f;

struct Homogeneous {
    float x, y, z, w;
};

Homogeneous Project(const QV_Matrix& m, const QV_Vector2& p)
{
    float v[4] = { p.x, p.y, 0, 1 };
    m.Transform4(v);
    return { v[0], v[1], v[2], v[3] };
}

bool IsFar(const QV_Vector2& p)
{
    return std::fabs(p.x) > kFarPoint || std::fabs(p.y) > kFarPoint;
}

// Halves the way to the raster centre until every point is within reach of the clamp.
void PullInFarPoints(QV_Vector2* points, int32_t count, const QV_Vector2& centre)
{
    for (int32_t i = 0; i < count; i++) {
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y))
            points[i] = centre;
    }
    bool moved = true;
    while (moved) {
        moved = false;
        for (int32_t i = 0; i < count; i++) {
            if (IsFar(points[i])) {
                points[i] = centre + (points[i] - centre) / 2.0f;
                moved = true;
            }
        }
    }
}

Homogeneous Bezier(const Homogeneous h[4], float t)
{
    const float u = 1 - t;
    const float b[4] = { u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t };
    Homogeneous r = { 0, 0, 0, 0 };
    for (int32_t i = 0; i < 4; i++) {
        r.x += b[i] * h[i].x;
        r.y += b[i] * h[i].y;
        r.z += b[i] * h[i].z;
        r.w += b[i] * h[i].w;
    }
    return r;
}

}  // namespace

float MeshLayer::ClampSWFCoord(float value)
{
    if (!(value > -1638.0f))
        return -1638.0f;
    return value > 1638.0f ? 1638.0f : value;
}

void MeshLayer::AddSWFShapeOutline(XGraphics* graphics, SwfShape* shape, const QV_Vector2 p[4], const QV_Vector2& q)
{
    if (std::fabs(p[0].x - p[3].x) < kEpsilon && std::fabs(p[0].y - p[3].y) < kEpsilon)
        return;
    const QV_Matrix m = graphics->CurrentTransform();
    Homogeneous h[4];
    int32_t behind = 0;
    for (int32_t i = 0; i < 4; i++) {
        h[i] = Project(m, p[i]);
        if (h[i].w < kMinW)
            behind++;
    }
    if (behind == 4)
        return;
    const QV_Vector2 centre{graphics->Width() / 2.0f, graphics->Height() / 2.0f};
    const bool pullIn = fSWFClip == nullptr;
    if (behind == 0) {
        QV_Vector2 s[4];
        for (int32_t i = 0; i < 4; i++)
            s[i] = QV_Vector2{h[i].x / h[i].w - q.x, h[i].y / h[i].w - q.y};
        if (pullIn)
            PullInFarPoints(s, 4, centre);
        if (!fSWFPenPlaced) {
            SWFShape_movePenTo(shape, ClampSWFCoord(s[0].x), ClampSWFCoord(s[0].y));
            fSWFPenPlaced = true;
        }
        // De Casteljau at one half.
        const QV_Vector2 a = (s[0] + s[1]) / 2.0f, b = (s[1] + s[2]) / 2.0f, c = (s[2] + s[3]) / 2.0f;
        const QV_Vector2 ab = (a + b) / 2.0f, bc = (b + c) / 2.0f, mid = (ab + bc) / 2.0f;
        const QV_Vector2 first[4] = { s[0], a, ab, mid };
        const QV_Vector2 second[4] = { mid, bc, c, s[3] };
        AddSWFSegment(shape, first);
        AddSWFSegment(shape, second);
        return;
    }
    // Partly behind the camera: straight pieces where the curve lies in front of the eye plane.
    Homogeneous previous = h[0];
    for (int32_t k = 1; k <= 8; k++) {
        const Homogeneous next = Bezier(h, k / 8.0f);
        const float d0 = previous.w - previous.z, d1 = next.w - next.z;
        Homogeneous from = previous, to = next;
        bool draw = true;
        if (d0 >= 0 && d1 >= 0) {
        } else if ((d0 >= 0) != (d1 >= 0)) {
            const float s = d0 / (d0 - d1);
            const Homogeneous cross = { previous.x + (next.x - previous.x) * s, previous.y + (next.y - previous.y) * s, 0,
                previous.w + (next.w - previous.w) * s };
            from = d0 >= 0 ? previous : next;
            to = cross;
        } else {
            draw = false;
        }
        previous = next;
        if (!draw || from.w < kMinW || to.w < kMinW)
            continue;
        QV_Vector2 ends[2] = { QV_Vector2{from.x / from.w - q.x, from.y / from.w - q.y},
            QV_Vector2{to.x / to.w - q.x, to.y / to.w - q.y} };
        if (pullIn)
            PullInFarPoints(ends, 2, centre);
        SWFShape_movePenTo(shape, ClampSWFCoord(ends[0].x), ClampSWFCoord(ends[0].y));
        SWFShape_drawLineTo(shape, ClampSWFCoord(ends[1].x), ClampSWFCoord(ends[1].y));
    }
}

void MeshLayer::AddSWFSegment(SwfShape* shape, const QV_Vector2 p[4])
{
    const float theta = std::atan2(p[0].y - p[1].y, p[0].x - p[1].x);
    QV_Vector2 a = p[2] - p[1];
    QV_Vector2 b = p[3] - p[1];
    a.Rotate(-theta);
    b.Rotate(-theta);
    const float d = b.y - a.y;
    const float u = std::fabs(d) < kEpsilon ? 0 : a.y * (b.x - a.x) / d;
    QV_Vector2 offset{a.x - u, 0};
    offset.Rotate(theta);
    QV_Vector2 k = p[1] + offset;
    QV_Vector2 toStart = k - p[0];
    QV_Vector2 toEnd = k - p[3];
    toStart.NormMe();
    toEnd.NormMe();
    if (toStart.x * toEnd.x + toStart.y * toEnd.y >= 0)
        k = (p[1] + p[2]) / 2.0f;
    if ((k - p[0]).SquaredMag() >= 1 && (k - p[3]).SquaredMag() >= 1)
        SWFShape_drawCurveTo(shape, ClampSWFCoord(k.x), ClampSWFCoord(k.y), ClampSWFCoord(p[3].x), ClampSWFCoord(p[3].y));
    else
        SWFShape_drawLineTo(shape, ClampSWFCoord(p[3].x), ClampSWFCoord(p[3].y));
}
