#pragma once
#include "qv_color.h"
#include "qv_pixelbuffer.h"
#include <cstdint>

// An opaque colour composited onto a 32-bit destination through a coverage mask: the red
// channel of a 32-bit source placed at (x, y), as drawing in white on transparent black leaves
// it. The same pixels as giving every source pixel the colour with its red as alpha and then
// BlitRasterAlpha, in one walk that leaves the source as it is, or, with clearMask, leaves every
// pixel of the source transparent black (those outside the destination too), so that a mask
// drawn next in the same place needs no clearing of its own. Other depths do nothing.
void CompositeCoverage(const QV_PixelBuffer& mask, rgb_color color, const QV_PixelBuffer& destination,
    int32_t x, int32_t y, bool mergeAlpha, bool clearMask = false);
