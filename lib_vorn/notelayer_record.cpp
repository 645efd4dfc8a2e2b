// The note layer record: the common layer part and the note text.

#include <cstring>

#include "animrecord.h"
#include "notelayer.h"
#include "qv_iostream.h"
#include "record_lines.h"

namespace {

constexpr int32_t kWordSize = 256;
constexpr const char* kSourceFile = "lib_vorn/notelayer";

bool Fail(QV_IoStream* stream, int32_t line)
{
    ChannelReadError(stream, kSourceFile, line);
    return false;
}

} // namespace

void NoteLayer::WriteRecord(QV_IoStream* s)
{
    RecordLine(s, "{");
    s->fIndent++;
    WriteGenericValues(s, this);
    s->WriteNewline();
    RecordLine(s, "### note layer values");
    s->WriteIndent();
    s->WriteText("note_text ");
    s->WriteQuoted(fNoteText.CString());
    s->WriteNewline();
    if (s->fIndent > 0)
        s->fIndent--;
    RecordLine(s, "}");
}

bool NoteLayer::ReadRecord(QV_IoStream* stream)
{
    ResetGenericValues(this);
    char word[kWordSize];
    for (;;) {
        const RecordWord next = NextRecordWord(stream, kWordSize, word);
        if (next == RecordWord::kUnreadable)
            return Fail(stream, __LINE__);
        if (next == RecordWord::kEnd)
            return true;
        if (std::strcmp(word, "note_text") == 0) {
            // Any length: the text is set without a limit, and a note must never make its
            // document unreadable.
            QV_String text;
            if (!stream->ReadString(text))
                return Fail(stream, __LINE__);
            fNoteText = text;
        } else if (!ReadGenericKeyword(this, stream, word)) {
            return false;
        }
    }
}
