#include "qv_string.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kDefaultCapacity = 32;

bool IsTrimSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

QV_String::QV_String()
    : fLength(0)
    , fCapacity(kDefaultCapacity)
    , fBuffer(new char[kDefaultCapacity])
{
    fBuffer[0] = 0;
}

QV_String::QV_String(const char* bytes, int32_t count)
    : fLength(count)
    , fCapacity(count + 1)
    , fBuffer(new char[count + 1])
{
    if (count > 0)
        std::memcpy(fBuffer, bytes, count);
    fBuffer[count] = 0;
}

QV_String::QV_String(const QV_String& other)
    : QV_String(other.fBuffer, other.fLength)
{
}

QV_String::QV_String(const char* text)
{
    // A null text gives the same string as the default constructor.
    fLength = text ? static_cast<int32_t>(std::strlen(text)) : 0;
    fCapacity = text ? fLength + 1 : kDefaultCapacity;
    fBuffer = new char[fCapacity];
    if (fLength > 0)
        std::memcpy(fBuffer, text, fLength);
    fBuffer[fLength] = 0;
}

QV_String::~QV_String()
{
    delete[] fBuffer;
    fBuffer = nullptr;
    fLength = 0;
    fCapacity = 0;
}

void QV_String::AssignBytes(const char* bytes, int32_t count)
{
    if (count < fCapacity) {
        // memmove: the source may be a piece of this very buffer.
        std::memmove(fBuffer, bytes, count);
    } else {
        char* grown = new char[count + 1];
        std::memcpy(grown, bytes, count);
        delete[] fBuffer;
        fBuffer = grown;
        fCapacity = count + 1;
    }
    fLength = count;
    fBuffer[count] = 0;
}

void QV_String::AppendBytes(const char* bytes, int32_t count)
{
    if (count <= 0)
        return;
    int32_t needed = fLength + count;
    if (needed < fCapacity) {
        std::memmove(fBuffer + fLength, bytes, count);
    } else {
        // Copy the appended bytes before freeing: they may come from this buffer.
        char* grown = new char[needed + 1];
        std::memcpy(grown, fBuffer, fLength);
        std::memcpy(grown + fLength, bytes, count);
        delete[] fBuffer;
        fBuffer = grown;
        fCapacity = needed + 1;
    }
    fLength = needed;
    fBuffer[fLength] = 0;
}

QV_String& QV_String::operator=(const QV_String& other)
{
    if (this != &other)
        AssignBytes(other.fBuffer, other.fLength);
    return *this;
}

QV_String& QV_String::operator=(const char* text)
{
    if (!text) {
        fLength = 0;
        fBuffer[0] = 0;
        return *this;
    }
    AssignBytes(text, static_cast<int32_t>(std::strlen(text)));
    return *this;
}

void QV_String::SetInt(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    *this = text;
}

void QV_String::SetFromWide(const char16_t* text)
{
    fLength = 0;
    fBuffer[0] = 0;
    if (!text)
        return;
    int32_t count = 0;
    while (text[count])
        count++;
    Allocate(count);
    for (int32_t i = 0; i < count; i++) {
        char low = static_cast<char>(text[i] & 0xFF);
        // A unit such as U+0100 has a zero low byte; a NUL inside the text would cut it short
        // for every C-string consumer while fLength still counts past it.
        fBuffer[i] = low ? low : '?';
    }
    fLength = count;
    fBuffer[count] = 0;
}

void QV_String::Reserve(int32_t n)
{
    if (n < fCapacity)
        return;
    char* grown = new char[n + 1];
    std::memcpy(grown, fBuffer, fLength + 1);
    delete[] fBuffer;
    fBuffer = grown;
    fCapacity = n + 1;
}

void QV_String::Allocate(int32_t n)
{
    if (n < fCapacity)
        return;
    delete[] fBuffer;
    fBuffer = new char[n + 1];
    fCapacity = n + 1;
    fLength = 0;
    fBuffer[0] = 0;
}

void QV_String::Append(const QV_String& text)
{
    AppendBytes(text.fBuffer, text.fLength);
}

void QV_String::Append(const char* text)
{
    if (text)
        AppendBytes(text, static_cast<int32_t>(std::strlen(text)));
}

void QV_String::Append(char c)
{
    // A NUL would end the text early for every C-string consumer.
    if (c)
        AppendBytes(&c, 1);
}

void QV_String::AppendInt(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%i", value);
    Append(text);
}

void QV_String::InsertChar(int32_t position, char c)
{
    if (!c)
        return;
    if (position < 0)
        position = 0;
    if (position > fLength)
        position = fLength;
    if (fLength + 1 >= fCapacity)
        Reserve(fLength + 1);
    std::memmove(fBuffer + position + 1, fBuffer + position, fLength - position + 1);
    fBuffer[position] = c;
    fLength++;
}

void QV_String::DeleteChar(int32_t position)
{
    if (position < 0)
        position = 0;
    if (position >= fLength)
        return;
    std::memmove(fBuffer + position, fBuffer + position + 1, fLength - position);
    fLength--;
}

void QV_String::RemoveChar(char c)
{
    int32_t kept = 0;
    for (int32_t i = 0; i < fLength; i++) {
        if (fBuffer[i] != c)
            fBuffer[kept++] = fBuffer[i];
    }
    fLength = kept;
    fBuffer[kept] = 0;
}

void QV_String::ToUpper()
{
    for (int32_t i = 0; i < fLength; i++) {
        if (fBuffer[i] >= 'a' && fBuffer[i] <= 'z')
            fBuffer[i] = static_cast<char>(fBuffer[i] - 'a' + 'A');
    }
}

void QV_String::ToLower()
{
    for (int32_t i = 0; i < fLength; i++) {
        if (fBuffer[i] >= 'A' && fBuffer[i] <= 'Z')
            fBuffer[i] = static_cast<char>(fBuffer[i] - 'A' + 'a');
    }
}

void QV_String::TrimLeft()
{
    int32_t skip = 0;
    while (skip < fLength && IsTrimSpace(fBuffer[skip]))
        skip++;
    if (skip == 0)
        return;
    std::memmove(fBuffer, fBuffer + skip, fLength - skip + 1);
    fLength -= skip;
}

void QV_String::TrimRight()
{
    while (fLength > 0 && IsTrimSpace(fBuffer[fLength - 1]))
        fLength--;
    fBuffer[fLength] = 0;
}

QV_String QV_String::Left(int32_t n) const
{
    if (n <= 0)
        return QV_String(fBuffer, 0);
    if (n > fLength)
        n = fLength;
    return QV_String(fBuffer, n);
}

QV_String QV_String::Right(int32_t n) const
{
    if (n <= 0)
        return QV_String(fBuffer, 0);
    if (n > fLength)
        n = fLength;
    return QV_String(fBuffer + fLength - n, n);
}

QV_String QV_String::Mid(int32_t start, int32_t end) const
{
    // Positions outside the text are clamped rather than trusted: a bad pair must not read
    // outside the buffer.
    if (start < 0)
        start = 0;
    if (start > fLength)
        start = fLength;
    if (end > fLength)
        end = fLength;
    if (end < start)
        end = start;
    return QV_String(fBuffer + start, end - start);
}

QV_String QV_String::BeforeFirst(char c) const
{
    int32_t index = FindChar(c);
    if (index < 0)
        return QV_String(fBuffer, 0);
    return Left(index);
}

QV_String QV_String::AfterFirst(char c) const
{
    int32_t index = FindChar(c);
    if (index < 0)
        return QV_String(fBuffer, 0);
    return Right(fLength - index - 1);
}

QV_String QV_String::AfterLast(char c) const
{
    int32_t index = FindLastChar(c);
    if (index < 0)
        return QV_String(fBuffer, 0);
    return Right(fLength - index - 1);
}

QV_String QV_String::WithoutExtension() const
{
    int32_t index = FindLastChar('.');
    if (index < 0)
        return QV_String(fBuffer, 0);
    return Left(index);
}

QV_String QV_String::Field(int32_t index, char separator) const
{
    if (index < 0)
        return QV_String(fBuffer, 0);
    int32_t start = 0;
    for (int32_t k = 0; k < index; k++) {
        const void* found = std::memchr(fBuffer + start, separator, fLength - start);
        if (!found)
            return QV_String(fBuffer, 0);
        start = static_cast<int32_t>(static_cast<const char*>(found) - fBuffer) + 1;
    }
    const void* next = std::memchr(fBuffer + start, separator, fLength - start);
    int32_t end = next ? static_cast<int32_t>(static_cast<const char*>(next) - fBuffer) : fLength;
    return QV_String(fBuffer + start, end - start);
}

int32_t QV_String::FindChar(char c) const
{
    const void* found = std::memchr(fBuffer, c, fLength);
    return found ? static_cast<int32_t>(static_cast<const char*>(found) - fBuffer) : -1;
}

int32_t QV_String::FindLastChar(char c) const
{
    for (int32_t i = fLength - 1; i >= 0; i--) {
        if (fBuffer[i] == c)
            return i;
    }
    return -1;
}

QV_String QV_String::operator+(const QV_String& other) const
{
    QV_String result(*this);
    result.Append(other);
    return result;
}

QV_String QV_String::operator+(const char* text) const
{
    QV_String result(*this);
    result.Append(text);
    return result;
}

bool QV_String::operator==(const QV_String& other) const
{
    return fLength == other.fLength && std::memcmp(fBuffer, other.fBuffer, fLength) == 0;
}

bool QV_String::operator==(const char* text) const
{
    // A null text reads as empty, as it does for construction.
    if (!text)
        return fLength == 0;
    return std::strcmp(fBuffer, text) == 0;
}

bool QV_String::operator!=(const QV_String& other) const
{
    return !(*this == other);
}

bool QV_String::operator!=(const char* text) const
{
    return !(*this == text);
}
