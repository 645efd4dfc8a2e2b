// The group layer record: the common layer part, the group keywords, the layer ordering and the
// sub-layers, each as its type code and its own record.

#include <cstring>

#include "animrecord.h"
#include "grouplayer.h"
#include "layerfactory.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;

// Groups read inside groups read inside groups: a real rig is a few levels deep, and every level
// costs stack while it is read. Deeper nesting than this is a damaged or hostile file.
constexpr int32_t kMaxNesting = 256;
thread_local int32_t gNesting = 0;

// Counts the groups being read on this thread (render threads read their own copies).
class NestingLevel {
public:
    NestingLevel() { gNesting++; }
    ~NestingLevel() { gNesting--; }
    NestingLevel(const NestingLevel&) = delete;
    NestingLevel& operator=(const NestingLevel&) = delete;
    // The outermost group is not counted here: its reader is the document.
    bool TooDeep() const { return gNesting >= kMaxNesting; }
};

} // namespace

void GroupLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### group layer values");
    WriteGroupValues(s);
    WriteSubLayers(s);
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

void GroupLayer::WriteGroupValues(QV_IoStream* s)
{
    RecordBoolLine(s, "expanded", fExpanded);
    s->WriteIndent();
    s->WriteText("group_mask ");
    s->WriteInt(fGroupMask);
    s->WriteNewline();
    RecordBoolLine(s, "depth_sort", fDepthSort);
    RecordBoolLine(s, "distance_sort", fDistanceSort);
    if (fAnimatedLayerOrder)
        RecordBoolLine(s, "animated_layer_order", true);
    RecordLine(s, "layer_ordering");
    fLayerOrdering.WriteRecord(s, true);
}

void GroupLayer::WriteSubLayers(QV_IoStream* s)
{
    RecordLine(s, "### sub-layers");
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        s->WriteIndent();
        s->WriteText("layer_type ");
        s->WriteInt(layer->LayerType());
        s->WriteNewline();
        layer->WriteRecord(s);
    }
}

void GroupLayer::DiscardForReading()
{
    ResetGenericValues(this);
    for (int32_t i = fLayers.fCount - 1; i >= 0; i--)
        delete static_cast<VornLayer*>(fLayers.fItems[i]);
    fLayers.fCount = 0;
    fDepthLayers.fCount = 0;
}

bool GroupLayer::ReadSubLayer(QV_IoStream* stream)
{
    int32_t type;
    if (!stream->ReadInt(type))
        return false;
    const NestingLevel level;
    if (level.TooDeep())
        return false;
    VornLayer* layer = LayerFactory(type);
    if (!layer)
        return false;
    if (!layer->ReadRecord(stream)) {
        delete layer;
        return false;
    }
    // Only taken in here: the drawing order and the frame are set once for the whole tree when
    // the finished group is added, so reading stays linear in the file.
    layer->fParent = this;
    fLayers.Append(layer);
    return true;
}

void GroupLayer::SettleAfterReading()
{
    // A record holding real ordering keys wants them applied whatever its flag said.
    if (fLayerOrdering.CountKeys() > 1)
        fAnimatedLayerOrder = true;
    if (fDoc || fParent) {
        // Read again in place (undo): nobody adds this group, so it settles its tree itself.
        SetDocument(fDoc);
        FullDepthSort(nullptr);
        for (int32_t i = 0; i < fLayers.fCount; i++)
            static_cast<VornLayer*>(fLayers.fItems[i])->SetCurFrame(DocumentFrame());
    } else {
        for (int32_t i = 0; i < fLayers.fCount; i++)
            fDepthLayers.Append(fLayers.fItems[i]);
    }
}

bool GroupLayer::ReadRecord(QV_IoStream* stream)
{
    fLoading = true;
    DiscardForReading();
    // Written only while on: read over a live group (undo), a record without it means off.
    fAnimatedLayerOrder = false;

    auto fail = [this, stream](int32_t line) {
        ChannelReadError(stream, "lib_vorn/grouplayer", line);
        fLoading = false;
        return false;
    };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return fail(__LINE__);
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "expanded") == 0) {
            if (!stream->ReadBool(fExpanded))
                return fail(__LINE__);
        } else if (std::strcmp(word, "depth_sort") == 0) {
            if (!stream->ReadBool(fDepthSort))
                return fail(__LINE__);
        } else if (std::strcmp(word, "distance_sort") == 0) {
            if (!stream->ReadBool(fDistanceSort))
                return fail(__LINE__);
        } else if (std::strcmp(word, "animated_layer_order") == 0) {
            if (!stream->ReadBool(fAnimatedLayerOrder))
                return fail(__LINE__);
        } else if (std::strcmp(word, "group_mask") == 0) {
            if (!stream->ReadInt(fGroupMask))
                return fail(__LINE__);
        } else if (std::strcmp(word, "layer_ordering") == 0) {
            if (!fLayerOrdering.ReadRecord(stream, false))
                return fail(__LINE__);
        } else if (std::strcmp(word, "layer_type") == 0) {
            if (!ReadSubLayer(stream))
                return fail(__LINE__);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            fLoading = false;
            return false;
        }
    }
    fLoading = false;
    SettleAfterReading();
    return true;
}
