#pragma once

#include "qv_vector.h"

// Single-precision arithmetic on plane vectors for the mesh code.

inline QV_Vector2 Vec2Add(const QV_Vector2& a, const QV_Vector2& b)
{
    return QV_Vector2 { a.x + b.x, a.y + b.y };
}

inline QV_Vector2 Vec2Sub(const QV_Vector2& a, const QV_Vector2& b)
{
    return QV_Vector2 { a.x - b.x, a.y - b.y };
}

inline QV_Vector2 Vec2Scale(const QV_Vector2& a, float s)
{
    return QV_Vector2 { a.x * s, a.y * s };
}

inline float Vec2Dot(const QV_Vector2& a, const QV_Vector2& b)
{
    return a.x * b.x + a.y * b.y;
}

inline float Vec2DistSq(const QV_Vector2& a, const QV_Vector2& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// The direction of v; a zero vector gives (0, 1).
inline QV_Vector2 Vec2Unit(const QV_Vector2& v)
{
    QV_Vector2 u = v;
    u.NormMe();
    return u;
}
