#pragma once

#include <algorithm>
#include <cstdint>

// Rounds to the nearest integer, halves away from zero, the way every pixel size of a shape is
// rounded, in the editor's drawing as in a final render. Values beyond the integer range are
// held at its edge first; NaN (a transform that degenerated) counts as 0.
inline int32_t RoundShapePixels(float value)
{
    if (value != value)
        return 0;
    value = std::clamp(value, -2e9f, 2e9f);
    return static_cast<int32_t>(value > 0 ? value + 0.5f : value - 0.5f);
}
