#pragma once

#include <algorithm>
#include <cmath>

#include "qv_matrix.h"
#include "qv_vector.h"

// Small plane helpers shared by the skeleton's matrix, inverse-kinematics and binding code.
namespace bone_math {

// 2 pi as the stored angles have always been wrapped with.
constexpr float kTwoPi = 6.2831855f;

inline QV_Vector2 Add(const QV_Vector2& a, const QV_Vector2& b)
{
    return QV_Vector2 { a.x + b.x, a.y + b.y };
}

inline QV_Vector2 Sub(const QV_Vector2& a, const QV_Vector2& b)
{
    return QV_Vector2 { a.x - b.x, a.y - b.y };
}

inline float Dot(const QV_Vector2& a, const QV_Vector2& b)
{
    return a.x * b.x + a.y * b.y;
}

inline float MagSquared(const QV_Vector2& a)
{
    return a.x * a.x + a.y * a.y;
}

inline QV_Vector2 Transformed(const QV_Matrix& matrix, QV_Vector2 p)
{
    matrix.Transform(p);
    return p;
}

// QV_Matrix::Transform, step for step, where the compiler can see it: the blend of the binding
// transforms every point by every bone, and the call and its round trip through memory cost
// more than the arithmetic.
inline QV_Vector2 TransformedInline(const QV_Matrix& matrix, const QV_Vector2& p)
{
    constexpr float kLimit = 1e30f;
    const float* m = matrix.m;
    float x = p.x * m[0] + p.y * m[4] + m[12];
    float y = p.x * m[1] + p.y * m[5] + m[13];
    const float w = p.x * m[3] + p.y * m[7] + m[15];
    if (w < 1e-6f) {
        x *= 1e6f;
        y *= 1e6f;
    } else {
        x /= w;
        y /= w;
    }
    return QV_Vector2 { std::clamp(x, -kLimit, kLimit), std::clamp(y, -kLimit, kLimit) };
}

// The direction of the bone-local segment (0, 0) -> (length, 0) after the matrix, as atan2.
inline float WorldAngle(const QV_Matrix& matrix, float length)
{
    const QV_Vector2 base = Transformed(matrix, QV_Vector2 { 0, 0 });
    const QV_Vector2 tip = Transformed(matrix, QV_Vector2 { length, 0 });
    return std::atan2(tip.y - base.y, tip.x - base.x);
}

// Past this many turns the wrapping loops below would take too long, or never end once a
// step of 2 pi is lost in the float's rounding; angles come from documents and scripts.
constexpr float kManyTurns = 64 * kTwoPi;

// Into 0 to 2 pi by whole turns. Angles that are not finite are returned as they are.
inline float WrapAngle(float a)
{
    if (!std::isfinite(a))
        return a;
    if (std::fabs(a) > kManyTurns)
        a = std::fmod(a, kTwoPi);
    while (a > kTwoPi)
        a -= kTwoPi;
    while (a < 0)
        a += kTwoPi;
    return a;
}

// g moved by whole turns until it lies within 2 pi of target.
inline float UnwrapNear(float g, float target)
{
    if (!std::isfinite(g) || !std::isfinite(target))
        return g;
    if (std::fabs(g - target) > kManyTurns)
        g = float(double(g) + std::floor((double(target) - g) / kTwoPi) * kTwoPi);
    while (g - target > kTwoPi)
        g -= kTwoPi;
    while (target - g > kTwoPi)
        g += kTwoPi;
    return g;
}

// Distance from p to the segment a-b. perpendicularScale turns the cross product into the
// distance from the line: 1 / |b - a| in general, 1 / length where a caller knows the length.
inline float SegmentDistance(
    const QV_Vector2& p, const QV_Vector2& a, const QV_Vector2& b, float perpendicularScale)
{
    const QV_Vector2 pa = Sub(p, a);
    const QV_Vector2 ab = Sub(a, b);
    if (Dot(pa, ab) >= 0)
        return std::sqrt(MagSquared(pa));
    const QV_Vector2 pb = Sub(p, b);
    if (Dot(pb, Sub(b, a)) >= 0)
        return std::sqrt(MagSquared(pb));
    return std::fabs(pa.x * ab.y - pa.y * ab.x) * perpendicularScale;
}

} // namespace bone_math
