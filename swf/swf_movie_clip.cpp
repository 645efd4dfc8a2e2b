#include "swf_movie_clip.h"

namespace {

constexpr int kTagDefineSprite = 39;
constexpr int kTagShowFrame = 1;
constexpr int kTagEnd = 0;

}  // namespace

void SwfMovieClip::WriteDefinition(SwfDefiner& definer, uint16_t id)
{
    fTimeline.FinishPendingFrame();
    SwfBits tags;
    fTimeline.Write(definer, tags, nullptr);
    int32_t frames = fTimeline.Frames();
    for (; frames < fMinFrames; ++frames)
        tags.Tag(kTagShowFrame, SwfBits());
    if (frames > 0xFFFF) {
        definer.Fail("a movie clip has more than 65,535 frames");
        return;
    }
    tags.Tag(kTagEnd, SwfBits());
    SwfBits body;
    body.U16(id);
    body.U16(static_cast<uint32_t>(frames));
    body.Append(tags);
    definer.Out().Tag(kTagDefineSprite, body, true);
}
