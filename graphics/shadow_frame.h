#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// The soft shadow band drawn round the canvas page: an 8-pixel band along the inside of the
// rectangle (left, top, right, bottom, inclusive), darkest along its inner side, composited over
// a 32-bit destination. Other depths are left alone.
void DrawShadowFrame(
    const QV_PixelBuffer& destination, int32_t left, int32_t top, int32_t right, int32_t bottom);
