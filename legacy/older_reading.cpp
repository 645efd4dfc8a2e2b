#include "older_reading.h"

#include <cstring>

#include "qv_filestream.h"
#include "qv_iostream.h"

namespace vorn_v4 {

bool ReadWord(QV_IoStream* stream, char* word, int32_t size)
{
    word[0] = 0;
    return stream->ReadWord(size, word) && word[0] != 0;
}

bool ReadText(QV_IoStream* stream, QV_String& text, int32_t max)
{
    // The stream's fixed-buffer reader keeps two bytes to itself: one for the NUL, one to see
    // that the text went on.
    char buffer[514];
    if (max > int32_t(sizeof buffer) - 2)
        max = int32_t(sizeof buffer) - 2;
    if (!stream->ReadQuoted(max + 1, buffer))
        return false;
    text = buffer;
    return true;
}

bool ReadCount(QV_IoStream* stream, int32_t& count)
{
    int32_t value;
    if (!stream->ReadInt(value) || value < 0)
        return false;
    // Every element takes at least one byte and one separator. Small counts cost little even
    // when wrong, and measuring what is left moves a file stream's buffer: only large ones are
    // measured.
    constexpr int32_t kSmallCount = 1024;
    if (value > kSmallCount) {
        const int64_t left = int64_t(stream->Size()) - int64_t(stream->Position());
        if (int64_t(value) * 2 > left + 1)
            return false;
    }
    count = value;
    return true;
}

bool IsRelativePath(const char* path)
{
    if (!path[0] || path[0] == '/' || path[0] == '\\')
        return false;
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':';
    return !drive;
}

void JoinToDocumentFolder(QV_IoStream* stream, QV_String& path)
{
    if (!stream->IsFile() || !IsRelativePath(path.CString()))
        return;
    const QV_String folder = static_cast<QV_FileStream*>(stream)->Path().Folder();
    if (folder.IsEmpty())
        return;
    QV_String joined = folder;
    if (joined.CString()[joined.Length() - 1] != '/')
        joined.Append('/');
    joined.Append(path);
    path = joined;
}

} // namespace vorn_v4
