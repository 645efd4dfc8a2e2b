#pragma once

#include <cstdint>

// The play range and the onion-skin frames: set in the timeline, read by playback and the
// canvas. One set for the program, on the interface thread.

// -1 when not set.
extern int32_t PlayRangeStart;
extern int32_t PlayRangeEnd;

constexpr int32_t kOnionSkinCount = 8;
// A slot that is off.
constexpr int32_t kOnionSkinOff = -100000;
extern int32_t OnionSkinFrames[kOnionSkinCount];

void ClearPlayRange();
void ClearOnionSkinFrames();
