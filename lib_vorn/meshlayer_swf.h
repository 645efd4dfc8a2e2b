#pragma once

// Working data of one shape of the vector layer's SWF export (meshlayer_swf*.cpp).

#include <cstdint>

#include "qv_vector.h"

// Flag bits of a working segment.
constexpr uint8_t kSwfSegmentOpen = 1;    // an end lies on an open strand
constexpr uint8_t kSwfSegmentHidden = 2;  // switched off, or outside its curve

struct SwfWorkSegment {
    QV_Vector2 fP[4];
    uint8_t fFlags;
    float fW0;
    float fW1;

    // Control points backwards, the end widths exchanged.
    void Reverse();
};

// Points closer than 1e-6 in x and in y count as the same point.
bool SwfSamePoint(const QV_Vector2& a, const QV_Vector2& b);

// Reorders the segments so that connected ones follow each other.
void ChainSwfSegments(SwfWorkSegment* segments, int32_t count);
// Gives the first contour and the later ones (holes) opposite windings; a mirrored layer swaps both.
void OrientSwfContours(SwfWorkSegment* segments, int32_t count, bool mirrored);
