// Ordering the segments of one shape for the SWF export: connected segments in a row, and each
// contour turned so that holes wind against their outline.

#include <cmath>
#include <utility>

#include "meshlayer_swf.h"

namespace {

constexpr float kSame = 0.000001f;

float ChordAngleAfter(const SwfWorkSegment& previous, const SwfWorkSegment& next)
{
    QV_Vector2 unit = previous.fP[3] - previous.fP[0];
    unit.NormMe();
    const float phi = std::atan2(unit.y, unit.x);
    QV_Vector2 chord = next.fP[3] - next.fP[0];
    chord.Rotate(-phi);
    return std::atan2(chord.y, chord.x);
}

}  // namespace

void SwfWorkSegment::Reverse()
{
    std::swap(fP[0], fP[3]);
    std::swap(fP[1], fP[2]);
    std::swap(fW0, fW1);
}

bool SwfSamePoint(const QV_Vector2& a, const QV_Vector2& b)
{
    return std::fabs(a.x - b.x) < kSame && std::fabs(a.y - b.y) < kSame;
}

void ChainSwfSegments(SwfWorkSegment* segments, int32_t count)
{
    for (int32_t j = 0; j + 1 < count; j++) {
        const QV_Vector2 end = segments[j].fP[3];
        for (int32_t k = j + 1; k < count; k++) {
            if (segments[k].fFlags & kSwfSegmentOpen)
                continue;
            if (SwfSamePoint(segments[k].fP[0], end)) {
                std::swap(segments[k], segments[j + 1]);
                break;
            }
            if (SwfSamePoint(segments[k].fP[3], end)) {
                std::swap(segments[k], segments[j + 1]);
                segments[j + 1].Reverse();
                break;
            }
        }
    }
}

void OrientSwfContours(SwfWorkSegment* segments, int32_t count, bool mirrored)
{
    int32_t start = 0;
    while (start < count) {
        int32_t end = start + 1;
        while (end < count && SwfSamePoint(segments[end].fP[0], segments[end - 1].fP[3]))
            end++;
        float turning = 0;
        for (int32_t k = start; k + 1 < end; k++)
            turning += ChordAngleAfter(segments[k], segments[k + 1]);
        if (start != 0)
            turning = -turning;
        if (mirrored)
            turning = -turning;
        if (turning > 0) {
            for (int32_t a = start, b = end - 1; a < b; a++, b--)
                std::swap(segments[a], segments[b]);
            for (int32_t k = start; k < end; k++)
                segments[k].Reverse();
        }
        start = end;
    }
}
