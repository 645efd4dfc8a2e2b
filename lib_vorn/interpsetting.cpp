#include "interpsetting.h"

#include <cmath>
#include <limits>

#include "model_prefs.h"

int32_t DefaultInterpMode()
{
    return ModelPrefInt("DefaultInterp", INTERP_SMOOTH);
}

InterpSetting DefaultInterpSetting()
{
    return InterpSetting { DefaultInterpMode(), 0.1f, 0.5f };
}

int32_t RoundParam(float value)
{
    if (std::isnan(value))
        return 0;
    float rounded = std::trunc(value > 0 ? value + 0.5f : value - 0.5f);
    if (rounded >= 2147483647.0f)
        return std::numeric_limits<int32_t>::max();
    if (rounded <= -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return int32_t(rounded);
}

int32_t ClampFrame(int64_t frame)
{
    if (frame > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (frame < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return int32_t(frame);
}

int32_t CycleTarget(int32_t keyFrame, const InterpSetting& setting)
{
    if (setting.val2 > -0.000001f)
        return RoundParam(setting.val2);
    return ClampFrame(int64_t(keyFrame) - RoundParam(setting.val1));
}

int32_t MapCycleFrame(int32_t keyFrame, int32_t target, int32_t frame)
{
    if (target >= keyFrame)
        return keyFrame;
    // The first pass covers target..keyFrame-1; every later pass target..keyFrame.
    int64_t n = int64_t(frame) - keyFrame - 1;
    int64_t period = int64_t(keyFrame) - target;
    if (n > period)
        period += 1;
    if (n < 0)
        return target;
    return int32_t(target + n % period);
}

float SmoothKeyCurve(
    const QV_Vector2& p0, const QV_Vector2& p1, const QV_Vector2& p2, const QV_Vector2& p3, float x)
{
    const double x0 = p0.x, x1 = p1.x, x2 = p2.x, x3 = p3.x;
    const double y0 = p0.y, y1 = p1.y, y2 = p2.y, y3 = p3.y;
    // Two different thirds: the float 1/3 for flat neighbours, the float 0.333333 otherwise.
    const double third = 1.0f / 3.0f;
    const double handle = (x2 - x1) * double(0.333333f);
    const double epsilon = 0.000001f;
    double a, b;
    const double d = y2 - y1;
    if (std::fabs(d) < epsilon) {
        a = y1 + d * third;
        b = y2 - d * third;
    } else {
        a = std::fabs(y1 - y0) < epsilon ? y1 + (y1 - y0) * third : y1 + handle * (y2 - y0) / (x2 - x0);
        b = std::fabs(y3 - y2) < epsilon ? y2 - (y3 - y2) * third : y2 - handle * (y3 - y1) / (x3 - x1);
    }
    // fmin/fmax also pull a NaN handle (a neighbour key at the same frame) into the span.
    const double lo = std::fmin(y1, y2), hi = std::fmax(y1, y2);
    a = std::fmax(lo, std::fmin(a, hi));
    b = std::fmax(lo, std::fmin(b, hi));
    const double u = float((x - p1.x) / (p2.x - p1.x));
    const double r = 1 - u;
    return float(r * r * r * y1 + 3 * u * r * r * a + 3 * u * u * r * b + u * u * u * y2);
}
