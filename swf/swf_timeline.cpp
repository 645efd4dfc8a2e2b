#include "swf_timeline.h"

namespace {

constexpr int kTagShowFrame = 1;
constexpr int kTagPlaceObject2 = 26;
constexpr int kTagRemoveObject2 = 28;
constexpr int kTagFrameLabel = 43;
constexpr int32_t kMaxDepth = 65535;

}  // namespace

SwfTimeline::~SwfTimeline()
{
    for (SwfDisplayItem* item : fItems) {
        if (item)
            item->Release();
    }
    for (SwfDisplayItem* item : fRetired)
        item->Release();
}

SwfDisplayItem* SwfTimeline::Add(SwfCharacter* character)
{
    if (!character)
        return nullptr;
    // The last slot is never a hole, and holds the deepest item.
    const int32_t depth = fItems.empty() ? 1 : fItems.back()->Depth() + 1;
    if (depth > kMaxDepth)
        fDepthOverflow = true;
    SwfDisplayItem* item = new SwfDisplayItem(character, depth);
    fSlots.emplace(item, fItems.size());
    fItems.push_back(item);
    fPending = true;
    return item;
}

void SwfTimeline::Remove(SwfDisplayItem* item)
{
    const auto found = fSlots.find(item);
    if (found == fSlots.end())
        return;
    if (item->fPlaced)
        fEvents.push_back({ kRemove, item->Depth(), nullptr, {}, {}, {} });
    fItems[found->second] = nullptr;
    fSlots.erase(found);
    ++fHoles;
    fRetired.push_back(item);
    while (!fItems.empty() && !fItems.back()) {
        fItems.pop_back();
        --fHoles;
    }
    if (fHoles > 32 && fHoles * 2 > fItems.size())
        Compact();
    // Removing what the last frame showed starts no frame of its own: a movie whose items
    // are all taken away after its last frame ends with that frame.
}

void SwfTimeline::Compact()
{
    size_t kept = 0;
    for (SwfDisplayItem* item : fItems) {
        if (!item)
            continue;
        fSlots[item] = kept;
        fItems[kept++] = item;
    }
    fItems.resize(kept);
    fHoles = 0;
}

void SwfTimeline::Label(const char* name)
{
    fEvents.push_back({ kLabel, 0, nullptr, {}, {}, name ? name : "" });
    fPending = true;
}

void SwfTimeline::FlushPlacements()
{
    for (SwfDisplayItem* item : fItems) {
        if (!item || (item->fPlaced && !item->fChanged))
            continue;
        const Kind kind = item->fPlaced ? kMove : kPlace;
        if (kind == kPlace)
            fPlacedCharacters.insert(item->Character());
        fEvents.push_back({ kind, item->Depth(), item->Character(), item->Matrix(), item->ColorMult(), {} });
        item->fPlaced = true;
        item->fChanged = false;
    }
}

void SwfTimeline::NextFrame()
{
    FlushPlacements();
    fEvents.push_back({ kShowFrame, 0, nullptr, {}, {}, {} });
    ++fFrames;
    fPending = false;
}

void SwfTimeline::FinishPendingFrame()
{
    if (fPending)
        NextFrame();
}

void SwfTimeline::Write(SwfDefiner& definer, SwfBits& out,
    const std::function<void(int32_t, SwfBits&)>& beforeShowFrame) const
{
    int32_t frame = 0;
    for (const Event& e : fEvents) {
        SwfBits body;
        switch (e.fKind) {
        case kPlace:
        case kMove: {
            const uint16_t id = e.fKind == kPlace ? definer.Define(e.fCharacter) : 0;
            if (e.fDepth > kMaxDepth || definer.Failed())
                break;
            const bool hasColor = !e.fColor.IsIdentity();
            body.U8((hasColor ? 0x08 : 0) | 0x04 | (e.fKind == kPlace ? 0x02 : 0x01));
            body.U16(static_cast<uint32_t>(e.fDepth));
            if (e.fKind == kPlace)
                body.U16(id);
            e.fMatrix.Write(body);
            if (hasColor)
                e.fColor.Write(body);
            out.Tag(kTagPlaceObject2, body);
            break;
        }
        case kRemove:
            body.U16(static_cast<uint32_t>(e.fDepth));
            out.Tag(kTagRemoveObject2, body);
            break;
        case kLabel:
            body.Text(e.fLabel.c_str());
            out.Tag(kTagFrameLabel, body);
            break;
        case kShowFrame:
            if (beforeShowFrame)
                beforeShowFrame(frame, out);
            out.Tag(kTagShowFrame, body);
            ++frame;
            break;
        }
    }
}
