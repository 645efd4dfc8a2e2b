#pragma once

#include <cstdint>

#include "qv_iostream.h"
#include "qv_string.h"

// The keyword lines of the layer records. Written lines stand at the stream's indent: a keyword,
// one blank, the value, a line feed.

inline void RecordLine(QV_IoStream* s, const char* text)
{
    s->WriteIndent();
    s->WriteText(text);
    s->WriteNewline();
}

inline void RecordKeyword(QV_IoStream* s, const char* keyword)
{
    s->WriteIndent();
    s->WriteText(keyword);
    s->WriteSpace();
}

inline void RecordBoolLine(QV_IoStream* s, const char* keyword, bool value)
{
    RecordKeyword(s, keyword);
    s->WriteText(value ? "true" : "false");
    s->WriteNewline();
}

inline void RecordIntLine(QV_IoStream* s, const char* keyword, int32_t value)
{
    RecordKeyword(s, keyword);
    s->WriteInt(value);
    s->WriteNewline();
}

inline void RecordFloatLine(QV_IoStream* s, const char* keyword, float value)
{
    RecordKeyword(s, keyword);
    s->WriteFloat(value);
    s->WriteNewline();
}

// Relative to the document's folder when the stream is a file.
inline void RecordPathLine(QV_IoStream* s, const char* keyword, const QV_String& path)
{
    RecordKeyword(s, keyword);
    s->WritePath(path.CString());
    s->WriteNewline();
}

enum class RecordWord { kKeyword, kEnd, kUnreadable };

// The next keyword of a record into word (size bytes): the opening word ("{" for layer records,
// "[" for channels, meshes and skeletons) and comment lines ('#' to the end of the line) are
// passed over; the closing word or the end of the text ends the record.
inline RecordWord NextRecordWord(QV_IoStream* stream, int32_t size, char* word, char open = '{', char close = '}')
{
    for (;;) {
        if (!stream->ReadWord(size, word))
            return RecordWord::kUnreadable;
        if (word[0] == open && word[1] == 0)
            continue;
        if (word[0] == 0 || (word[0] == close && word[1] == 0))
            return RecordWord::kEnd;
        if (word[0] != '#')
            return RecordWord::kKeyword;
        stream->SkipLine();
    }
}
