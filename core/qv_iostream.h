#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_rect.h"
#include "qv_string.h"
#include "qv_vector.h"

// The stream under every text format of the program: documents and their records, settings
// files, interface texts, undo snapshots. The virtual primitives are neutral here (false, 0,
// nothing); the typed reads and writes below work on any stream through them and write the one
// fixed text form of each value type.
//
// Every read returns true on success and writes its output only then; what a failed read
// consumed stays consumed. Every write does nothing while fReading is set.
class QV_IoStream {
public:
    QV_IoStream();
    virtual ~QV_IoStream();
    QV_IoStream(const QV_IoStream&) = delete;
    QV_IoStream& operator=(const QV_IoStream&) = delete;

    virtual bool IsFile() const;
    virtual bool IsOpen() const;
    virtual void Close();
    virtual void SavePosition();
    virtual void RestorePosition();
    virtual void Rewind();
    virtual int32_t Size();
    virtual int32_t Position();
    virtual void Seek(int32_t offset);
    virtual bool AtEnd();
    virtual int32_t ReadBytes(void* buffer, int32_t count);
    // Consumes up to and including the first CR or LF (one byte); false when the data ends first.
    virtual bool SkipLine();
    virtual bool SkipPast(char c);
    virtual bool ReadChar(char& c);
    virtual bool ReadInt(int32_t& value);
    virtual bool ReadFloat(float& value);
    virtual bool ReadBool(bool& value);
    // The next white-space-delimited word, cut to max - 1 bytes when max < 256. The buffer must
    // hold max bytes, and 256 when max is larger.
    virtual bool ReadWord(int32_t max, char* buffer);
    // A double-quoted text of any length (no escapes). White space before it is skipped; a
    // first byte that is not a quote fails, consumed. On a file stream a CR before an LF inside
    // the text is dropped: files are written with CR LF line ends, and the text must read back
    // as it was written.
    virtual bool ReadQuoted(QV_String& text);
    // The bytes up to the next CR or LF, which is consumed (one byte, so a CR LF file shows an
    // empty line after each line). A line of 255 bytes or more fails, unless max allows more:
    // then up to max - 1 bytes read. A last line without a line end fails.
    virtual bool ReadLine(int32_t max, char* buffer);
    virtual int32_t WriteBytes(const void* data, int32_t count);

    // ReadQuoted into a fixed buffer of max bytes: a text of more than max - 2 bytes fails
    // once max - 1 bytes are stored, and the rest of it stays in the stream. Readers of names
    // and paths use ReadString / ReadPath, which take any length.
    bool ReadQuoted(int32_t max, char* buffer);

    // The first error wins: later texts are dropped until the stream is opened again.
    void SetError(const char* text);
    // 1 + the LF bytes before the current position; the position is kept.
    int32_t LineNumber();

    bool ReadVector2(QV_Vector2& v);
    bool ReadVector3(QV_Vector3& v);
    bool ReadColorVector(QV_ColorVector& c);
    // Four integers, each clamped to 0..255.
    bool ReadColor(rgb_color& c);
    bool ReadPoint(QV_Point& p);
    bool ReadString(QV_String& text);
    // Stored paths may come from Windows: '\' becomes '/'. On a file stream a relative path is
    // taken from the folder of the stream's file.
    bool ReadPath(QV_String& path);

    void WriteText(const char* text);
    void WriteSpace();
    void WriteNewline();
    void WriteIndent();
    void WriteInt(int32_t value);
    void WriteFloat(float value);
    // No escaping: a text holding a double quote cannot be read back.
    void WriteQuoted(const char* text);
    // On a file stream a path inside the stream file's folder is written relative to it;
    // separators are written as '/'.
    void WritePath(const char* path);
    void WriteVector3(const QV_Vector3& v);
    void WriteColorVector(const QV_ColorVector& c);
    void WriteColor(rgb_color c);
    void WritePoint(const QV_Point& p);

protected:
    // The bytes between the quotes as the text readers see it: on a file stream CR LF becomes LF.
    void StoreQuotedText(const char* bytes, int64_t count, QV_String& text);

public:
    bool fReading;
    // Format version of the data being read; survives Open, set by the format readers.
    int32_t fVersion;
    int32_t fIndent;
    char fScratch[256];
    QV_String fError;
};
