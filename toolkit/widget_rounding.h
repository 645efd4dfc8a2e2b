#pragma once
#include <cmath>
#include <cstdint>

#include "qv_color.h"

// Halves away from zero, saturated to +-2e9: NaN and infinities (from an empty range or a
// value a script passed) never reach the integer conversion.
inline int32_t RoundHalfAway(double value)
{
    if (!std::isfinite(value))
        return 0;
    if (value > 2.0e9)
        return 2000000000;
    if (value < -2.0e9)
        return -2000000000;
    return int32_t(std::lround(value));
}

// The colour with red, green and blue multiplied by the factor (alpha as it is multiplied by the
// colour vector), clamped by the colour vector's conversion.
inline rgb_color ScaledColor(rgb_color color, float factor)
{
    QV_ColorVector v;
    v.Set(color);
    v *= factor;
    return v.AsColorStruct();
}
