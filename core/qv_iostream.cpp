#include "qv_iostream.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "number_text.h"
#include "qv_filestream.h"
#include "qv_path.h"
#include "text_scan.h"

namespace {

int32_t ClampByte(int32_t value)
{
    return std::clamp<int32_t>(value, 0, 255);
}

} // namespace

QV_IoStream::QV_IoStream()
    : fReading(false)
    , fVersion(1)
    , fIndent(0)
    , fScratch()
{
}

QV_IoStream::~QV_IoStream() = default;

bool QV_IoStream::IsFile() const
{
    return false;
}

bool QV_IoStream::IsOpen() const
{
    return false;
}

void QV_IoStream::Close() { }

void QV_IoStream::SavePosition() { }

void QV_IoStream::RestorePosition() { }

void QV_IoStream::Rewind() { }

int32_t QV_IoStream::Size()
{
    return 0;
}

int32_t QV_IoStream::Position()
{
    return 0;
}

void QV_IoStream::Seek(int32_t) { }

bool QV_IoStream::AtEnd()
{
    return false;
}

int32_t QV_IoStream::ReadBytes(void*, int32_t)
{
    return 0;
}

bool QV_IoStream::SkipLine()
{
    return false;
}

bool QV_IoStream::SkipPast(char)
{
    return false;
}

bool QV_IoStream::ReadChar(char&)
{
    return false;
}

bool QV_IoStream::ReadInt(int32_t&)
{
    return false;
}

bool QV_IoStream::ReadFloat(float&)
{
    return false;
}

bool QV_IoStream::ReadBool(bool&)
{
    return false;
}

bool QV_IoStream::ReadWord(int32_t, char*)
{
    return false;
}

bool QV_IoStream::ReadQuoted(QV_String&)
{
    return false;
}

bool QV_IoStream::ReadLine(int32_t, char*)
{
    return false;
}

int32_t QV_IoStream::WriteBytes(const void*, int32_t)
{
    return 0;
}

bool QV_IoStream::ReadQuoted(int32_t max, char* buffer)
{
    if (!buffer || max <= 0)
        return false;
    buffer[0] = 0;
    char c;
    do {
        if (!ReadChar(c))
            return false;
    } while (IsScanSpace(static_cast<unsigned char>(c)));
    if (c != '"')
        return false;
    int32_t n = 0;
    for (;;) {
        // A full buffer ends the read here: what follows stays for the next read.
        if (n == max - 1 || !ReadChar(c)) {
            buffer[n] = 0;
            return false;
        }
        if (c == '"')
            break;
        if (c == '\n' && n > 0 && buffer[n - 1] == '\r' && IsFile())
            n--;
        buffer[n++] = c;
    }
    buffer[n] = 0;
    return true;
}

void QV_IoStream::StoreQuotedText(const char* bytes, int64_t count, QV_String& text)
{
    // Only the file stream's writer turns LF into CR LF; a memory stream holds what was written.
    const bool file = IsFile();
    std::string kept;
    kept.reserve(size_t(count));
    for (int64_t i = 0; i < count; i++) {
        if (!(file && bytes[i] == '\r' && i + 1 < count && bytes[i + 1] == '\n'))
            kept += bytes[i];
    }
    text = kept.c_str();
}

void QV_IoStream::SetError(const char* text)
{
    if (fError.IsEmpty())
        fError = text;
}

int32_t QV_IoStream::LineNumber()
{
    int32_t position = Position();
    Rewind();
    int32_t line = 1;
    int32_t remaining = position;
    char chunk[4096];
    while (remaining > 0) {
        int32_t got = ReadBytes(chunk, std::min<int32_t>(remaining, sizeof(chunk)));
        if (got <= 0)
            break;
        line += static_cast<int32_t>(std::count(chunk, chunk + got, '\n'));
        remaining -= got;
    }
    Seek(position);
    return line;
}

bool QV_IoStream::ReadVector2(QV_Vector2& v)
{
    float x, y;
    if (!ReadFloat(x) || !ReadFloat(y))
        return false;
    v.x = x;
    v.y = y;
    return true;
}

bool QV_IoStream::ReadVector3(QV_Vector3& v)
{
    float x, y, z;
    if (!ReadFloat(x) || !ReadFloat(y) || !ReadFloat(z))
        return false;
    v.x = x;
    v.y = y;
    v.z = z;
    return true;
}

bool QV_IoStream::ReadColorVector(QV_ColorVector& c)
{
    float r, g, b, a;
    if (!ReadFloat(r) || !ReadFloat(g) || !ReadFloat(b) || !ReadFloat(a))
        return false;
    c.r = r;
    c.g = g;
    c.b = b;
    c.a = a;
    return true;
}

bool QV_IoStream::ReadColor(rgb_color& c)
{
    int32_t r, g, b, a;
    if (!ReadInt(r) || !ReadInt(g) || !ReadInt(b) || !ReadInt(a))
        return false;
    c.r = static_cast<uint8_t>(ClampByte(r));
    c.g = static_cast<uint8_t>(ClampByte(g));
    c.b = static_cast<uint8_t>(ClampByte(b));
    c.a = static_cast<uint8_t>(ClampByte(a));
    return true;
}

bool QV_IoStream::ReadPoint(QV_Point& p)
{
    int32_t x, y;
    if (!ReadInt(x) || !ReadInt(y))
        return false;
    p.x = x;
    p.y = y;
    return true;
}

bool QV_IoStream::ReadString(QV_String& text)
{
    QV_String read;
    if (!ReadQuoted(read))
        return false;
    text = read;
    return true;
}

bool QV_IoStream::ReadPath(QV_String& path)
{
    QV_Path read;
    if (!ReadString(read))
        return false;
    read.ToSlashes();
    if (IsFile() && !read.IsEmpty()) {
        // A drive letter marks a path stored on Windows as absolute: it is kept as it was.
        const char* text = read.CString();
        bool absolute = text[0] == '/' || (read.Length() > 1 && text[1] == ':');
        if (!absolute) {
            QV_Path joined(static_cast<QV_FileStream*>(this)->Path().Folder());
            joined.Append(read);
            read = joined;
        }
    }
    path = read;
    return true;
}

void QV_IoStream::WriteText(const char* text)
{
    if (fReading || !text)
        return;
    WriteBytes(text, static_cast<int32_t>(std::strlen(text)));
}

void QV_IoStream::WriteSpace()
{
    WriteText(" ");
}

void QV_IoStream::WriteNewline()
{
    WriteText("\n");
}

void QV_IoStream::WriteIndent()
{
    if (fReading)
        return;
    // Deeply nested records indent by many TABs: they go out in blocks.
    static const char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    constexpr int32_t kBlock = int32_t(sizeof kTabs) - 1;
    for (int32_t left = fIndent; left > 0; left -= kBlock)
        WriteBytes(kTabs, std::min(left, kBlock));
}

void QV_IoStream::WriteInt(int32_t value)
{
    if (fReading)
        return;
    WriteBytes(fScratch, FormatInt32(fScratch, value));
}

void QV_IoStream::WriteFloat(float value)
{
    if (fReading)
        return;
    WriteBytes(fScratch, FormatStoredFloat(fScratch, value));
}

void QV_IoStream::WriteQuoted(const char* text)
{
    if (fReading)
        return;
    WriteBytes("\"", 1);
    WriteText(text);
    WriteBytes("\"", 1);
}

void QV_IoStream::WritePath(const char* path)
{
    if (fReading)
        return;
    if (!IsFile()) {
        WriteQuoted(path);
        return;
    }
    QV_Path stored(path ? path : "");
    QV_String folder = static_cast<QV_FileStream*>(this)->Path().Folder();
    int32_t n = folder.Length();
    const char* text = stored.CString();
    if (n > 0 && stored.Length() > n && std::memcmp(text, folder.CString(), n) == 0
        && (text[n] == '/' || text[n] == '\\'))
        stored = stored.Right(stored.Length() - n - 1);
    stored.ToSlashes();
    WriteQuoted(stored.CString());
}

void QV_IoStream::WriteVector3(const QV_Vector3& v)
{
    if (fReading)
        return;
    WriteFloat(v.x);
    WriteSpace();
    WriteFloat(v.y);
    WriteSpace();
    WriteFloat(v.z);
}

void QV_IoStream::WriteColorVector(const QV_ColorVector& c)
{
    if (fReading)
        return;
    WriteFloat(c.r);
    WriteSpace();
    WriteFloat(c.g);
    WriteSpace();
    WriteFloat(c.b);
    WriteSpace();
    WriteFloat(c.a);
}

void QV_IoStream::WriteColor(rgb_color c)
{
    if (fReading)
        return;
    WriteInt(c.r);
    WriteSpace();
    WriteInt(c.g);
    WriteSpace();
    WriteInt(c.b);
    WriteSpace();
    WriteInt(c.a);
}

void QV_IoStream::WritePoint(const QV_Point& p)
{
    if (fReading)
        return;
    WriteInt(p.x);
    WriteSpace();
    WriteInt(p.y);
}
