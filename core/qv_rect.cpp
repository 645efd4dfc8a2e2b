#include "qv_rect.h"
#include <algorithm>
#include <cmath>
#include <utility>

void QV_Rect::Normalize()
{
    if (right < left)
        std::swap(left, right);
    if (bottom < top)
        std::swap(top, bottom);
}

QV_Point QV_Rect::TopRight() const
{
    return QV_Point { right, top };
}

QV_Point QV_Rect::BottomLeft() const
{
    return QV_Point { left, bottom };
}

QV_Point QV_Rect::BottomRight() const
{
    return QV_Point { right, bottom };
}

void QV_Rect::Union(const QV_Rect& other)
{
    left = std::min(left, other.left);
    top = std::min(top, other.top);
    right = std::max(right, other.right);
    bottom = std::max(bottom, other.bottom);
}

bool QV_Rect::Intersect(const QV_Rect& other)
{
    Normalize();
    if (left > other.right || top > other.bottom || right < other.left || bottom < other.top)
        return false;
    left = std::max(left, other.left);
    top = std::max(top, other.top);
    right = std::min(right, other.right);
    bottom = std::min(bottom, other.bottom);
    return true;
}

namespace {

// Half away from zero, saturated to int32 so that a far-off endpoint cannot
// turn into an unrelated coordinate.
int32_t RoundCoord(float v)
{
    double d = std::round(static_cast<double>(v));
    d = std::clamp(d, -2147483648.0, 2147483647.0);
    return static_cast<int32_t>(d);
}

template <typename T> T ToCoord(float v);
template <> int32_t ToCoord<int32_t>(float v)
{
    return RoundCoord(v);
}
template <> float ToCoord<float>(float v)
{
    return v;
}

// Moves the endpoint beyond an edge onto it when exactly one endpoint is
// beyond. u is the coordinate across the edge, v the one along it.
template <typename T, typename Beyond> void ClipEdge(T& au, T& av, T& bu, T& bv, T edge, Beyond beyond)
{
    bool aOut = beyond(au);
    bool bOut = beyond(bu);
    if (aOut == bOut)
        return;
    T& pu = aOut ? au : bu;
    T& pv = aOut ? av : bv;
    T ou = aOut ? bu : au;
    T ov = aOut ? bv : av;
    // pu and ou lie on opposite sides of the edge, so they differ.
    float slope = (static_cast<float>(pv) - static_cast<float>(ov))
        / (static_cast<float>(pu) - static_cast<float>(ou));
    float moved = static_cast<float>(ov) + slope * (static_cast<float>(edge) - static_cast<float>(ou));
    pu = edge;
    pv = ToCoord<T>(moved);
}

template <typename T> bool ClipSegment(T& ax, T& ay, T& bx, T& by, const QV_Rect& r)
{
    T left = static_cast<T>(r.left);
    T right = static_cast<T>(r.right);
    T top = static_cast<T>(r.top);
    T bottom = static_cast<T>(r.bottom);
    ClipEdge(ax, ay, bx, by, left, [&](T x) { return x < left; });
    ClipEdge(ax, ay, bx, by, right, [&](T x) { return x > right; });
    ClipEdge(ay, ax, by, bx, top, [&](T y) { return y < top; });
    ClipEdge(ay, ax, by, bx, bottom, [&](T y) { return y > bottom; });
    if (ax < left && bx < left)
        return false;
    if (ay < top && by < top)
        return false;
    if (ax > right && bx > right)
        return false;
    if (ay > bottom && by > bottom)
        return false;
    return true;
}

} // namespace

bool ClipLineToRect(QV_Point& a, QV_Point& b, const QV_Rect& r)
{
    return ClipSegment(a.x, a.y, b.x, b.y, r);
}

bool ClipLineToRectF(float& ax, float& ay, float& bx, float& by, const QV_Rect& r)
{
    return ClipSegment(ax, ay, bx, by, r);
}
