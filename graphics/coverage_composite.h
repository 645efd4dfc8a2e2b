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

// The same compositing fed by the smooth rasteriser's covers rather than a mask: each run gives
// the destination exactly what CompositeCoverage gives it from the mask that drawing the covers
// in opaque white over transparent black would leave (each pixel covered once).
class CoverageRunComposite {
public:
    CoverageRunComposite(rgb_color color, bool mergeAlpha);

    // count pixels from d on, one cover each.
    void Run(const uint8_t* covers, int32_t count, uint8_t* d) const;
    // count pixels from d on, each by a mask byte (the red CompositeCoverage reads) rather than
    // a cover.
    void Mask(const uint8_t* mask, int32_t count, uint8_t* d) const;

private:
    uint32_t fColour;
    uint8_t fOpaque[4];
    bool fMergeAlpha;
};
