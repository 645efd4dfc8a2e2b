#include "animrecord.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <numeric>
#include <vector>

#include "animchannel.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;

void Outdent(QV_IoStream* stream)
{
    if (stream->fIndent > 0)
        stream->fIndent--;
}

void WriteKeyLine(AnimChannel& channel, QV_IoStream* stream, int32_t index)
{
    const InterpSetting& setting = channel.fKeyInterps[index];
    stream->WriteIndent();
    stream->WriteInt(channel.fKeyFrames[index]);
    stream->WriteSpace();
    stream->WriteInt(setting.interpMode);
    stream->WriteSpace();
    stream->WriteFloat(setting.val1);
    stream->WriteSpace();
    stream->WriteFloat(setting.val2);
    stream->WriteSpace();
    channel.WriteKeyValue(stream, index);
    stream->WriteNewline();
}

// More keys than the rest of the stream could hold (five numbers of at least one byte each)
// can only come from a damaged record; refusing them keeps a bad count from sizing an
// allocation.
bool KeyCountFits(QV_IoStream* stream, int32_t count)
{
    int64_t left = int64_t(stream->Size()) - stream->Position();
    return int64_t(count) * 5 <= left;
}

// Keys are taken as they stand in the file, but every lookup bisects the frames, so they must
// rise strictly: the keys are sorted by frame, and of two keys at one frame the later in the
// file wins. Answers the number of keys kept.
int32_t OrderKeys(AnimChannel& channel, int32_t count)
{
    const int32_t* frames = channel.fKeyFrames;
    if (std::is_sorted(frames, frames + count, std::less_equal<int32_t>()))
        return count;
    std::vector<int32_t> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [frames](int32_t a, int32_t b) { return frames[a] < frames[b]; });
    std::vector<int32_t> kept;
    kept.reserve(order.size());
    for (size_t i = 0; i < order.size(); i++) {
        if (i + 1 < order.size() && frames[order[i + 1]] == frames[order[i]])
            continue;
        kept.push_back(order[i]);
    }
    std::vector<int32_t> sortedFrames(kept.size());
    std::vector<InterpSetting> sortedInterps(kept.size());
    for (size_t i = 0; i < kept.size(); i++) {
        sortedFrames[i] = frames[kept[i]];
        sortedInterps[i] = channel.fKeyInterps[kept[i]];
    }
    std::copy(sortedFrames.begin(), sortedFrames.end(), channel.fKeyFrames);
    std::copy(sortedInterps.begin(), sortedInterps.end(), channel.fKeyInterps);
    channel.ReorderKeyValues(kept.data(), int32_t(kept.size()));
    return int32_t(kept.size());
}

bool ReadKeys(AnimChannel& channel, QV_IoStream* stream)
{
    int32_t count;
    if (!stream->ReadInt(count)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
        return false;
    }
    if (count < 0 || !KeyCountFits(stream, count)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
        return false;
    }
    if (count > channel.fKeyCapacity && !channel.ReallocateKeys(count)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        int32_t frame;
        if (!stream->ReadInt(frame)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        InterpSetting setting;
        if (!stream->ReadInt(setting.interpMode)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        if (!stream->ReadFloat(setting.val1)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        if (!stream->ReadFloat(setting.val2)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        if (!channel.ReadKeyValue(stream, i))
            return false;
        channel.fKeyFrames[i] = frame;
        channel.fKeyInterps[i] = setting;
    }
    channel.fKeyCount = OrderKeys(channel, count);
    return true;
}

bool ReadActions(AnimChannel& channel, QV_IoStream* stream)
{
    int32_t count;
    if (!stream->ReadInt(count)) {
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        AnimChannel* action = NewAnimChannel(channel.ChannelType());
        if (!action) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        channel.fActions.Append(action);
        if (!stream->ReadString(action->fName)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
        if (!ReadChannelRecord(*action, stream, true)) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return false;
        }
    }
    return true;
}

bool Fail(AnimChannel& channel)
{
    channel.fKeyCount = 1;
    channel.DeleteAllActions();
    return false;
}

} // namespace

void WriteChannelRecord(AnimChannel& channel, QV_IoStream* stream, bool withActions)
{
    channel.SyncActionFirstValues();
    bool animatedAction = false;
    for (int32_t i = 0; i < channel.fActions.fCount; i++) {
        if (static_cast<AnimChannel*>(channel.fActions.fItems[i])->Duration() > 0)
            animatedAction = true;
    }

    stream->WriteIndent();
    stream->WriteText("[");
    stream->WriteNewline();
    stream->fIndent++;
    stream->WriteIndent();
    stream->WriteText("keys ");
    stream->WriteInt(channel.fKeyCount);
    stream->WriteNewline();
    stream->fIndent++;
    for (int32_t i = 0; i < channel.fKeyCount; i++)
        WriteKeyLine(channel, stream, i);
    Outdent(stream);
    if (withActions && animatedAction) {
        stream->WriteIndent();
        stream->WriteText("actions ");
        stream->WriteInt(channel.fActions.fCount);
        stream->WriteNewline();
        stream->fIndent++;
        for (int32_t i = 0; i < channel.fActions.fCount; i++) {
            AnimChannel* action = static_cast<AnimChannel*>(channel.fActions.fItems[i]);
            stream->WriteIndent();
            stream->WriteQuoted(action->fName.CString());
            stream->WriteNewline();
            WriteChannelRecord(*action, stream, false);
        }
        Outdent(stream);
    }
    Outdent(stream);
    stream->WriteIndent();
    stream->WriteText("]");
    stream->WriteNewline();
}

bool ReadChannelRecord(AnimChannel& channel, QV_IoStream* stream, bool nested)
{
    channel.fKeyCount = 1;
    channel.DeleteAllActions();
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word, '[', ']');
        if (next == RecordWord::kUnreadable) {
            CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
            return Fail(channel);
        }
        if (next == RecordWord::kEnd)
            break;
        if (std::strcmp(word, "keys") == 0) {
            if (!ReadKeys(channel, stream))
                return Fail(channel);
            continue;
        }
        if (std::strcmp(word, "actions") == 0) {
            // Actions never nest; a record that claims so is damaged, and following it would
            // let a file chain evaluations as deep as it likes.
            if (nested || !ReadActions(channel, stream)) {
                CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
                return Fail(channel);
            }
            continue;
        }
        UnknownKeywordError(stream, word);
        CHANNEL_READ_ERROR(stream, ChannelReaderSource(channel.ChannelType()));
        return Fail(channel);
    }
    channel.SyncActionFirstValues();
    channel.SetCurFrame(channel.fCurFrame);
    return true;
}

void ChannelReadError(QV_IoStream* stream, const char* file, int32_t line)
{
    // Counting lines means rereading the stream: only worth it for the first error.
    if (!stream->fError.IsEmpty())
        return;
    QV_String text("Read error at line ");
    text.AppendInt(stream->LineNumber());
    text.Append(". In code file ");
    text.Append(file);
    text.Append(", line ");
    text.AppendInt(line);
    text.Append(".");
    stream->SetError(text.CString());
}

void UnknownKeywordError(QV_IoStream* stream, const char* word)
{
    if (!stream->fError.IsEmpty())
        return;
    QV_String text("Unknown keyword: ");
    text.Append(word);
    text.Append(" at line ");
    text.AppendInt(stream->LineNumber());
    stream->SetError(text.CString());
}

const char* ChannelReaderSource(int32_t kind)
{
    switch (kind) {
    case CHANNEL_VEC2:
        return "lib_vorn/animvec2";
    case CHANNEL_COLOR:
        return "lib_vorn/animcolor";
    case CHANNEL_BOOL:
        return "lib_vorn/animbool";
    case CHANNEL_STRING:
        return "lib_vorn/animstring";
    case CHANNEL_VEC3:
        return "lib_vorn/animvec3";
    default:
        return "lib_vorn/animval";
    }
}
