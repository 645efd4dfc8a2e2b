#pragma once

#include <cstdint>

// The one text type of the program: an owned, NUL-terminated byte string that holds UTF-8 by
// convention. Lengths and positions are in bytes; no operation interprets UTF-8 sequences.
//
// Growth is exact, never doubling: whatever does not fit is reallocated to the needed size + 1.
// Callers that fill the buffer themselves (after Allocate) write fBuffer and set fLength, so the
// fields stay public and in this order.
class QV_String {
public:
    QV_String();
    QV_String(const QV_String& other);
    QV_String(const char* text);
    virtual ~QV_String();

    QV_String& operator=(const QV_String& other);
    QV_String& operator=(const char* text);

    void SetInt(int value);
    // Low byte of every unit: only a last resort where a real UTF-16 conversion failed.
    void SetFromWide(const char16_t* text);
    void Reserve(int32_t n);
    // Contents are discarded only when the buffer has to be replaced; the caller writes at once.
    void Allocate(int32_t n);

    void Append(const QV_String& text);
    void Append(const char* text);
    void Append(char c);
    void AppendInt(int value);
    void InsertChar(int32_t position, char c);
    void DeleteChar(int32_t position);
    void RemoveChar(char c);
    void ToUpper();
    void ToLower();
    void TrimLeft();
    void TrimRight();

    QV_String Left(int32_t n) const;
    QV_String Right(int32_t n) const;
    QV_String Mid(int32_t start, int32_t end) const;
    QV_String BeforeFirst(char c) const;
    QV_String AfterFirst(char c) const;
    QV_String AfterLast(char c) const;
    QV_String WithoutExtension() const;
    QV_String Field(int32_t index, char separator) const;
    int32_t FindChar(char c) const;
    int32_t FindLastChar(char c) const;

    QV_String operator+(const QV_String& other) const;
    QV_String operator+(const char* text) const;
    bool operator==(const QV_String& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const QV_String& other) const;
    bool operator!=(const char* text) const;

    const char* CString() const { return fBuffer; }
    char* Buffer() { return fBuffer; }
    int32_t Length() const { return fLength; }
    int32_t Capacity() const { return fCapacity; }
    bool IsEmpty() const { return fLength == 0; }

    int32_t fLength;
    int32_t fCapacity;
    char* fBuffer;

private:
    QV_String(const char* bytes, int32_t count);
    void AppendBytes(const char* bytes, int32_t count);
    void AssignBytes(const char* bytes, int32_t count);
};
