#pragma once

#include "swf_display_item.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The frames of a movie or a movie clip: what is placed, moved and removed, the labels and the
// frame ends, kept as events until the movie is written (character ids are handed out then).
class SwfTimeline {
public:
    SwfTimeline() = default;
    SwfTimeline(const SwfTimeline&) = delete;
    SwfTimeline& operator=(const SwfTimeline&) = delete;
    ~SwfTimeline();

    // On the depth above every depth in use; the item stays owned by the timeline.
    SwfDisplayItem* Add(SwfCharacter* character);
    void Remove(SwfDisplayItem* item);
    void Label(const char* name);
    void NextFrame();
    // Ends the frame being built when something was added or labelled since the last frame end.
    void FinishPendingFrame();

    int32_t Frames() const { return fFrames; }
    bool DepthOverflow() const { return fDepthOverflow; }
    // The different characters placed in a frame ended so far (what they hold not counted): a
    // lower bound of the ids the movie will need.
    size_t DistinctCharacters() const { return fPlacedCharacters.size(); }

    // The control tags in order; beforeShowFrame(frame index) may add tags ahead of each frame end.
    void Write(SwfDefiner& definer, SwfBits& out, const std::function<void(int32_t, SwfBits&)>& beforeShowFrame) const;

private:
    enum Kind : uint8_t { kPlace, kMove, kRemove, kLabel, kShowFrame };
    struct Event {
        Kind fKind;
        int32_t fDepth;
        SwfCharacter* fCharacter;  // kept alive by its item
        SwfMatrix fMatrix;
        SwfColorMult fColor;
        std::string fLabel;
    };

    void FlushPlacements();
    void Compact();

    // In depth order (each item is added above the rest); a removed item leaves a null slot
    // until enough have gathered to compact, so that adding and removing take constant time.
    std::vector<SwfDisplayItem*> fItems;
    std::unordered_map<const SwfDisplayItem*, size_t> fSlots;
    size_t fHoles = 0;
    std::vector<SwfDisplayItem*> fRetired;  // removed items stay valid until the timeline ends
    std::vector<Event> fEvents;
    std::unordered_set<const SwfCharacter*> fPlacedCharacters;
    int32_t fFrames = 0;
    bool fPending = false;
    bool fDepthOverflow = false;
};
