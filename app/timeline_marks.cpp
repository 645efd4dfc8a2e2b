#include "timeline_marks.h"

int32_t PlayRangeStart = -1;
int32_t PlayRangeEnd = -1;
int32_t OnionSkinFrames[kOnionSkinCount] = { kOnionSkinOff, kOnionSkinOff, kOnionSkinOff, kOnionSkinOff,
    kOnionSkinOff, kOnionSkinOff, kOnionSkinOff, kOnionSkinOff };

void ClearPlayRange()
{
    PlayRangeStart = -1;
    PlayRangeEnd = -1;
}

void ClearOnionSkinFrames()
{
    for (int32_t& frame : OnionSkinFrames)
        frame = kOnionSkinOff;
}
