#pragma once

// What the vector layer's SWF export needs of a shape's gradient effect. The effect's class lives
// with the shape styles, which plug their reader in here at start-up; without one a gradient
// shape is exported with its solid fill colour.

#include <cstdint>

#include "qv_color.h"

class M_ShapeStyle;

constexpr int32_t kSwfGradientStyleType = 9;
constexpr int32_t kSwfMaxGradientStops = 64;

struct SwfGradientStop {
    float fPosition;
    rgb_color fColor;
};

struct SwfGradientEffect {
    int32_t fType;  // 0 linear, 1 radial, anything else is not exported as a gradient
    int32_t fCount;
    SwfGradientStop fStops[kSwfMaxGradientStops];
};

// Fills the effect from the style's channels at the frame; false when the style is no gradient.
using SwfGradientReader = bool (*)(M_ShapeStyle* style, int32_t frame, SwfGradientEffect& out);

void SetSwfGradientReader(SwfGradientReader reader);
SwfGradientReader GetSwfGradientReader();
