#include "qv_memstream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "number_text.h"
#include "text_scan.h"

namespace {

constexpr int32_t kDefaultCapacity = 2048;

// The buffer as a source of number bytes (text_scan.h).
struct BufferBytes {
    const char* buffer;
    int32_t length;
    int32_t& position;
    int Peek() const { return position < length ? static_cast<unsigned char>(buffer[position]) : -1; }
    void Advance()
    {
        if (position < length)
            position++;
    }
    int32_t Tell() const { return position; }
    void SeekTo(int32_t to) { position = to; }
};

bool StartsWith(const char* text, const char* prefix)
{
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

} // namespace

QV_MemStream::QV_MemStream()
    : fBuffer(nullptr)
    , fPosition(0)
    , fLength(0)
    , fCapacity(0)
    , fMark(0)
{
}

QV_MemStream::~QV_MemStream()
{
    std::free(fBuffer);
}

int32_t QV_MemStream::Open(int32_t initialCapacity)
{
    Close();
    fIndent = 0;
    fReading = false;
    fLength = 0;
    fPosition = 0;
    fMark = 0;
    fCapacity = initialCapacity > 0 ? initialCapacity : kDefaultCapacity;
    fBuffer = static_cast<char*>(std::malloc(fCapacity));
    if (!fBuffer) {
        fCapacity = 0;
        return -1;
    }
    return 0;
}

bool QV_MemStream::IsFile() const
{
    return false;
}

bool QV_MemStream::IsOpen() const
{
    return fBuffer != nullptr;
}

void QV_MemStream::Close()
{
    std::free(fBuffer);
    fBuffer = nullptr;
}

void QV_MemStream::SavePosition()
{
    fMark = fPosition;
}

void QV_MemStream::RestorePosition()
{
    fPosition = fMark;
}

void QV_MemStream::Rewind()
{
    fPosition = 0;
}

int32_t QV_MemStream::Size()
{
    return fBuffer ? fLength : 0;
}

int32_t QV_MemStream::Position()
{
    return fBuffer ? fPosition : 0;
}

void QV_MemStream::Seek(int32_t offset)
{
    if (!fBuffer)
        return;
    if (offset >= fLength)
        fPosition = std::max<int32_t>(fLength - 1, 0);
    else
        fPosition = std::max<int32_t>(offset, 0);
}

bool QV_MemStream::AtEnd()
{
    return !fBuffer || fPosition >= fLength;
}

int32_t QV_MemStream::ReadBytes(void* buffer, int32_t count)
{
    if (!fBuffer || !buffer || count <= 0 || fPosition >= fLength)
        return 0;
    int32_t copied = std::min(count, fLength - fPosition);
    std::memcpy(buffer, fBuffer + fPosition, copied);
    fPosition += copied;
    return copied;
}

bool QV_MemStream::SkipLine()
{
    if (AtEnd())
        return false;
    while (fPosition < fLength) {
        char c = fBuffer[fPosition++];
        if (c == '\r' || c == '\n')
            return true;
    }
    return false;
}

bool QV_MemStream::SkipPast(char target)
{
    if (AtEnd())
        return false;
    while (fPosition < fLength) {
        if (fBuffer[fPosition++] == target)
            return true;
    }
    return false;
}

bool QV_MemStream::ReadChar(char& c)
{
    if (AtEnd())
        return false;
    c = fBuffer[fPosition++];
    return true;
}

bool QV_MemStream::CollectWord()
{
    if (AtEnd())
        return false;
    while (fPosition < fLength && IsScanSpace(fBuffer[fPosition]))
        fPosition++;
    if (fPosition >= fLength)
        return false;
    int32_t n = 0;
    while (fPosition < fLength && n < 255 && !IsScanSpace(fBuffer[fPosition]))
        fScratch[n++] = fBuffer[fPosition++];
    fScratch[n] = 0;
    return !(n == 255 && fPosition < fLength);
}

bool QV_MemStream::ReadInt(int32_t& value)
{
    if (AtEnd())
        return false;
    BufferBytes source { fBuffer, fLength, fPosition };
    int32_t parsed;
    if (!ScanNumber(source, NumberForm::Integer, fScratch) || !ParseInt32Prefix(fScratch, parsed))
        return false;
    value = parsed;
    return true;
}

bool QV_MemStream::ReadFloat(float& value)
{
    if (AtEnd())
        return false;
    BufferBytes source { fBuffer, fLength, fPosition };
    float parsed;
    if (!ScanNumber(source, NumberForm::Float, fScratch) || !ParseStoredFloat(fScratch, parsed))
        return false;
    value = parsed;
    return true;
}

bool QV_MemStream::ReadBool(bool& value)
{
    if (!CollectWord())
        return false;
    if (StartsWith(fScratch, "true") || StartsWith(fScratch, "1")) {
        value = true;
        return true;
    }
    if (StartsWith(fScratch, "false") || StartsWith(fScratch, "0")) {
        value = false;
        return true;
    }
    return false;
}

bool QV_MemStream::ReadWord(int32_t max, char* buffer)
{
    if (!buffer || max <= 0 || !CollectWord())
        return false;
    if (max < 256)
        fScratch[max - 1] = 0;
    std::strcpy(buffer, fScratch);
    return true;
}

bool QV_MemStream::ReadQuoted(QV_String& text)
{
    if (AtEnd())
        return false;
    while (fPosition < fLength && IsScanSpace(fBuffer[fPosition]))
        fPosition++;
    if (fPosition >= fLength || fBuffer[fPosition++] != '"')
        return false;
    const char* start = fBuffer + fPosition;
    const char* close = static_cast<const char*>(std::memchr(start, '"', fLength - fPosition));
    if (!close) {
        fPosition = fLength;
        return false;
    }
    StoreQuotedText(start, close - start, text);
    fPosition = static_cast<int32_t>(close - fBuffer) + 1;
    return true;
}

bool QV_MemStream::ReadLine(int32_t max, char* buffer)
{
    if (!buffer || max <= 0 || AtEnd())
        return false;
    int32_t limit = max > 256 ? max - 1 : 254;
    int32_t start = fPosition;
    while (fPosition < fLength && fBuffer[fPosition] != '\r' && fBuffer[fPosition] != '\n') {
        if (fPosition - start >= limit) {
            fPosition++;
            return false;
        }
        fPosition++;
    }
    if (fPosition >= fLength)
        return false;
    int32_t length = fPosition - start;
    fPosition++;
    if (max < 256)
        length = std::min(length, max - 1);
    std::memcpy(buffer, fBuffer + start, length);
    buffer[length] = 0;
    return true;
}

int32_t QV_MemStream::WriteBytes(const void* data, int32_t count)
{
    if (!fBuffer || fReading || !data || count <= 0)
        return 0;
    // Growth is measured from the position, so that two spare bytes always follow the data.
    int64_t capacity = std::max<int32_t>(fCapacity, 1);
    while (capacity - fPosition - 2 < count)
        capacity *= 2;
    if (capacity > INT32_MAX)
        return 0;
    if (capacity != fCapacity) {
        char* grown = static_cast<char*>(std::malloc(capacity));
        if (!grown)
            return 0;
        std::memcpy(grown, fBuffer, fLength);
        std::free(fBuffer);
        fBuffer = grown;
        fCapacity = static_cast<int32_t>(capacity);
    }
    std::memcpy(fBuffer + fPosition, data, count);
    fPosition += count;
    fLength = std::max(fLength, fPosition);
    return count;
}
