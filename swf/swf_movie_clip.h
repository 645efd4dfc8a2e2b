#pragma once

#include "swf_timeline.h"

// A sprite: frames of its own with labels and its own display items, defined once and placed
// like a shape.
class SwfMovieClip : public SwfCharacter {
public:
    SwfTimeline& Timeline() { return fTimeline; }
    // The clip shows at least this many frames; empty frames pad.
    void SetNumberOfFrames(int32_t n) { fMinFrames = n; }

    void WriteDefinition(SwfDefiner& definer, uint16_t id) override;

private:
    SwfTimeline fTimeline;
    int32_t fMinFrames = 0;
};
