#include "qv_interp.h"

#include <cmath>

float Slerp(float t, float a, float b)
{
    const double td = t;
    const float s = float(3.0 * td * td - 2.0 * td * td * td);
    return a + (b - a) * s;
}

float InterpSmooth(const QV_Vector2& key1, const QV_Vector2& key2, const QV_Vector2& previous,
    const QV_Vector2& next, float frame)
{
    const double t0 = previous.x, k0 = previous.y;
    const double t1 = key1.x, k1 = key1.y;
    const double t2 = key2.x, k2 = key2.y;
    const double t3 = next.x, k3 = next.y;
    // Stored animations were made with these two distinct thirds; keep both.
    const double third = 1.0f / 3.0f;
    const double handle = (t2 - t1) * double(0.333333f);
    const double epsilon = 1e-6f;

    double a, b;
    if (std::fabs(k2 - k1) < epsilon) {
        a = k1 + (k2 - k1) * third;
        b = k2 - (k2 - k1) * third;
    } else {
        a = std::fabs(k1 - k0) < epsilon ? k1 + (k1 - k0) * third : k1 + handle * (k2 - k0) / (t2 - t0);
        b = std::fabs(k3 - k2) < epsilon ? k2 - (k3 - k2) * third : k2 - handle * (k3 - k1) / (t3 - t1);
    }
    // fmin/fmax also pull a NaN handle (neighbour keys at one time) into range.
    const double lo = std::fmin(k1, k2), hi = std::fmax(k1, k2);
    a = std::fmax(lo, std::fmin(a, hi));
    b = std::fmax(lo, std::fmin(b, hi));

    // The span fraction is a float; the cubic is evaluated in double and rounded once, which is
    // how stored animations were computed (rounding every step moves results by a last-place unit).
    const double s = float((frame - key1.x) / (key2.x - key1.x));
    const double r = 1.0 - s;
    return float(r * r * r * k1 + 3.0 * s * r * r * a + 3.0 * s * s * r * b + s * s * s * k2);
}

bool NearlyEqual(float a, float b, float tolerance)
{
    return std::fabs(a - b) < tolerance;
}

QV_Vector2 BezierPoint(
    const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3, float t)
{
    const float r = 1.0f - t;
    const float w0 = r * r * r, w1 = 3.0f * t * r * r, w2 = 3.0f * t * t * r, w3 = t * t * t;
    QV_Vector2 p;
    p.x = w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x;
    p.y = w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y;
    return p;
}
