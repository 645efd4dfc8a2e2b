// The bone layer record: the common layer part, the group values, the skeleton and the
// sub-layers.

#include <cstring>

#include "animrecord.h"
#include "bonelayer.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSource = "lib_vorn/bonelayer";

// Where the error text says a read failed, one place per keyword.
constexpr int32_t kErrorWord = 48;
constexpr int32_t kErrorExpanded = 60;
constexpr int32_t kErrorGroupMask = 61;
constexpr int32_t kErrorDepthSort = 62;
constexpr int32_t kErrorDistanceSort = 63;
constexpr int32_t kErrorAnimatedOrder = 64;
constexpr int32_t kErrorLayerOrdering = 65;
constexpr int32_t kErrorLayerType = 69;
constexpr int32_t kErrorSkeleton = 86;

} // namespace

void BoneLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### bone layer values");
    WriteGroupValues(s);
    RecordLine(s, "skeleton");
    fSkeleton.WriteRecord(s);
    s->WriteNewline();
    WriteSubLayers(s);
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool BoneLayer::ReadRecord(QV_IoStream* stream)
{
    fLoading = true;
    DiscardForReading();
    // Written only while on: read over a live group (undo), a record without it means off.
    fAnimatedLayerOrder = false;
    fSkeleton.DeleteAllBones();

    auto fail = [this, stream](int32_t line) {
        ChannelReadError(stream, kSource, line);
        fLoading = false;
        return false;
    };

    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return fail(kErrorWord);
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "expanded") == 0) {
            if (!stream->ReadBool(fExpanded))
                return fail(kErrorExpanded);
        } else if (std::strcmp(word, "group_mask") == 0) {
            if (!stream->ReadInt(fGroupMask))
                return fail(kErrorGroupMask);
        } else if (std::strcmp(word, "depth_sort") == 0) {
            if (!stream->ReadBool(fDepthSort))
                return fail(kErrorDepthSort);
        } else if (std::strcmp(word, "distance_sort") == 0) {
            if (!stream->ReadBool(fDistanceSort))
                return fail(kErrorDistanceSort);
        } else if (std::strcmp(word, "animated_layer_order") == 0) {
            if (!stream->ReadBool(fAnimatedLayerOrder))
                return fail(kErrorAnimatedOrder);
        } else if (std::strcmp(word, "layer_ordering") == 0) {
            if (!fLayerOrdering.ReadRecord(stream, false))
                return fail(kErrorLayerOrdering);
        } else if (std::strcmp(word, "layer_type") == 0) {
            if (!ReadSubLayer(stream))
                return fail(kErrorLayerType);
        } else if (std::strcmp(word, "skeleton") == 0) {
            if (!fSkeleton.ReadRecord(stream))
                return fail(kErrorSkeleton);
        } else if (!ReadGenericKeyword(this, stream, word)) {
            fLoading = false;
            return false;
        }
    }
    fLoading = false;
    // Sub-layers settled below already follow the bones read here.
    fSkeleton.UpdateBoneMatrix(-1);
    SettleAfterReading();
    return true;
}
