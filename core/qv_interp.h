#pragma once
#include "qv_vector.h"

// Ease in and out between a and b: a + (b - a) * (3t^2 - 2t^3).
float Slerp(float t, float a, float b);

// The smooth curve between key1 and key2 at the given frame. Keys are
// (time in x, value in y); previous is the key before key1, next the key
// after key2. The curve is a cubic Bezier in value whose handles are clamped
// between the two key values, so it never overshoots them.
float InterpSmooth(const QV_Vector2& key1, const QV_Vector2& key2, const QV_Vector2& previous,
    const QV_Vector2& next, float frame);

// abs(a - b) < tolerance.
bool NearlyEqual(float a, float b, float tolerance);

// The point at t of the cubic Bezier with control points p0..p3.
QV_Vector2 BezierPoint(
    const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3, float t);
