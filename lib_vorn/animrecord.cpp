#include "animrecord.h"

#include <cstring>

#include "animchannel.h"
#include "qv_iostream.h"

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

bool ReadKeys(AnimChannel& channel, QV_IoStream* stream)
{
    int32_t count;
    if (!stream->ReadInt(count)) {
        CHANNEL_READ_ERROR(stream);
        return false;
    }
    if (count < 0 || !KeyCountFits(stream, count)) {
        CHANNEL_READ_ERROR(stream);
        return false;
    }
    if (count > channel.fKeyCapacity && !channel.ReallocateKeys(count)) {
        CHANNEL_READ_ERROR(stream);
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        int32_t frame;
        if (!stream->ReadInt(frame)) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        InterpSetting setting;
        if (!stream->ReadInt(setting.interpMode)) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        if (!stream->ReadFloat(setting.val1)) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        if (!stream->ReadFloat(setting.val2)) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        if (!channel.ReadKeyValue(stream, i))
            return false;
        // Every lookup bisects the frames, so they must rise strictly.
        if (i > 0 && frame <= channel.fKeyFrames[i - 1]) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        channel.fKeyFrames[i] = frame;
        channel.fKeyInterps[i] = setting;
    }
    channel.fKeyCount = count;
    return true;
}

bool ReadActions(AnimChannel& channel, QV_IoStream* stream)
{
    int32_t count;
    if (!stream->ReadInt(count)) {
        CHANNEL_READ_ERROR(stream);
        return false;
    }
    for (int32_t i = 0; i < count; i++) {
        AnimChannel* action = NewAnimChannel(channel.ChannelType());
        if (!action) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        channel.fActions.Append(action);
        if (!stream->ReadString(action->fName)) {
            CHANNEL_READ_ERROR(stream);
            return false;
        }
        if (!ReadChannelRecord(*action, stream, true)) {
            CHANNEL_READ_ERROR(stream);
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
        if (!stream->ReadWord(kWordSize, word)) {
            CHANNEL_READ_ERROR(stream);
            return Fail(channel);
        }
        if (word[0] == '#') {
            stream->SkipLine();
            continue;
        }
        if (std::strcmp(word, "[") == 0)
            continue;
        if (word[0] == 0 || std::strcmp(word, "]") == 0)
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
                CHANNEL_READ_ERROR(stream);
                return Fail(channel);
            }
            continue;
        }
        QV_String text("Unknown keyword: ");
        text.Append(word);
        text.Append(" at line ");
        text.AppendInt(stream->LineNumber());
        stream->SetError(text.CString());
        CHANNEL_READ_ERROR(stream);
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
    // The file as it lies in the source tree, not where the build machine kept it.
    const char* shown = std::strstr(file, "lib_vorn/");
    QV_String text("Read error at line ");
    text.AppendInt(stream->LineNumber());
    text.Append(". In code file ");
    text.Append(shown ? shown : file);
    text.Append(", line ");
    text.AppendInt(line);
    text.Append(".");
    stream->SetError(text.CString());
}
