// The audio layer record: the common layer part, the sound file, the level and jump channels
// and the kept text.

#include <cstring>

#include "animrecord.h"
#include "audiolayer.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSourceFile = "lib_vorn/audiolayer";

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, kSourceFile, line);
    return false;
}

} // namespace

void AudioLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### audio layer values");
    RecordPathLine(s, "audio_file", fAudioFile);
    RecordBoolLine(s, "spatial_positioning", fSpatialPositioning);
    RecordLine(s, "audio_level");
    fAudioLevel.WriteRecord(s, true);
    RecordLine(s, "audio_jump");
    fJumpToFrame.WriteRecord(s, true);
    RecordKeyword(s, "audio_text");
    s->WriteNewline();
    s->WriteQuoted(fAudioText.CString());
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool AudioLayer::ReadRecord(QV_IoStream* stream)
{
    ResetGenericValues(this);
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return Fail(stream, __LINE__);
        if (next == RecordWord::kEnd)
            return true;
        if (std::strcmp(word, "audio_file") == 0) {
            QV_String path;
            if (!stream->ReadPath(path))
                return Fail(stream, __LINE__);
            // A sound that cannot be decoded leaves the layer silent, never the document unread.
            SetAudioFile(path.CString());
        } else if (std::strcmp(word, "spatial_positioning") == 0) {
            if (!stream->ReadBool(fSpatialPositioning))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "audio_level") == 0) {
            if (!fAudioLevel.ReadRecord(stream, false))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "audio_jump") == 0) {
            if (!fJumpToFrame.ReadRecord(stream, false))
                return Fail(stream, __LINE__);
        } else if (std::strcmp(word, "audio_text") == 0) {
            QV_String text;
            if (!stream->ReadString(text))
                return Fail(stream, __LINE__);
            SetAudioText(text.CString());
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
}
