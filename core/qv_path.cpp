#include "qv_path.h"

#include <cstring>

QV_Path::QV_Path()
    : QV_String()
{
}

QV_Path::QV_Path(const char* text)
    : QV_String(text)
{
}

QV_Path::QV_Path(const QV_String& text)
    : QV_String(text)
{
}

void QV_Path::ToSlashes()
{
    for (int32_t i = 0; i < fLength; i++) {
        if (fBuffer[i] == '\\')
            fBuffer[i] = '/';
    }
}

QV_String QV_Path::Folder() const
{
    int32_t index = FindLastChar('/');
    if (index <= 0)
        return QV_String("");
    return Left(index);
}

QV_String QV_Path::FileName() const
{
    // A path with no separator at all names no file here: bare names are not file names yet.
    if (FindLastChar('/') < 0)
        return QV_String("");
    QV_String name = AfterLast('/');
    if (name.FindChar('\\') >= 0)
        return AfterLast('\\');
    return name;
}

QV_String QV_Path::BaseName() const
{
    return FileName().WithoutExtension();
}

QV_String QV_Path::Extension() const
{
    QV_String extension = AfterLast('.');
    extension.ToLower();
    return extension;
}

void QV_Path::Append(const char* part)
{
    if (!part)
        return;
    if (fLength > 0 && fBuffer[fLength - 1] != '/' && part[0] != '/')
        QV_String::Append('/');
    QV_String::Append(part);
}

void QV_Path::Append(const QV_String& part)
{
    Append(part.CString());
}

QV_String QV_Path::MimeType() const
{
    return QV_String(MimeTypeForPath(fBuffer));
}

QV_String QV_Path::MediaType() const
{
    return MimeType().BeforeFirst('/');
}

const char* MimeTypeForPath(const char* path)
{
    static const struct {
        const char* extension;
        const char* mimeType;
    } kTable[] = {
        { "txt", "text/plain" },
        { "celv", "application/x-vnd.qv_vorndoc" },
        { "vorn", "application/x-vnd.qv_vorndoc" },
        { "gif", "image/gif" },
        { "jpg", "image/jpeg" },
        { "jpeg", "image/jpeg" },
        { "png", "image/png" },
        { "tga", "image/x-targa" },
        { "bmp", "image/x-bmp" },
        { "mov", "video/quicktime" },
        { "qt", "video/quicktime" },
        { "mpg", "video/mpeg" },
        { "mpeg", "video/mpeg" },
        { "mp4", "video/mpeg" },
        { "m4v", "video/mpeg" },
        { "avi", "video/x-msvideo" },
        { "wav", "audio/x-wav" },
        { "au", "audio/basic" },
        { "snd", "audio/basic" },
        { "aif", "audio/x-aiff" },
        { "aiff", "audio/x-aiff" },
        { "aifc", "audio/x-aiff" },
        { "mp3", "audio/mpeg" },
        { "m4a", "audio/mpeg" },
        { "m4p", "audio/mpeg" },
        { "m4b", "audio/mpeg" },
        { "mid", "audio/mid" },
        { "midi", "audio/mid" },
    };
    const char* fallback = "application/octet-stream";
    if (!path)
        return fallback;
    QV_String extension = QV_String(path).AfterLast('.');
    if (extension.Length() == 0)
        return fallback;
    extension.ToLower();
    for (const auto& entry : kTable) {
        if (extension == entry.extension)
            return entry.mimeType;
    }
    return fallback;
}
