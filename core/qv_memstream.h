#pragma once

#include <cstdint>

#include "qv_iostream.h"

// The stream over a growable memory buffer: object copies, undo snapshots, converter output.
// It is written and then read back by the same object; callers move the position back to 0
// between the two. The data is not NUL-terminated; every read stops at the length.
//
// Numbers read as on the file stream. Its other primitive reads differ from the file stream's
// only on text our own writers never produce: ReadBool matches prefixes, a word longer than 254
// bytes fails, and Seek cannot reach the end position.
class QV_MemStream : public QV_IoStream {
public:
    QV_MemStream();
    ~QV_MemStream() override;

    // A fresh empty buffer of the given capacity (2048 when it is 0 or negative); 0, or -1 when
    // it cannot be allocated. The error text is kept.
    int32_t Open(int32_t initialCapacity);
    int32_t Capacity() const { return fCapacity; }

    bool IsFile() const override;
    bool IsOpen() const override;
    // Frees the buffer; Size and Position report 0 until the next Open.
    void Close() override;
    void SavePosition() override;
    void RestorePosition() override;
    void Rewind() override;
    int32_t Size() override;
    int32_t Position() override;
    // An offset at or past the length lands on the last byte.
    void Seek(int32_t offset) override;
    bool AtEnd() override;
    int32_t ReadBytes(void* buffer, int32_t count) override;
    bool SkipLine() override;
    bool SkipPast(char c) override;
    bool ReadChar(char& c) override;
    // The number forms of text_scan.h: "-12abc" gives -12 and leaves "abc"; a float that is
    // not finite ("1e999") fails.
    bool ReadInt(int32_t& value) override;
    bool ReadFloat(float& value) override;
    // A word beginning with "true" or "1" is true, with "false" or "0" false.
    bool ReadBool(bool& value) override;
    bool ReadWord(int32_t max, char* buffer) override;
    using QV_IoStream::ReadQuoted;
    bool ReadQuoted(QV_String& text) override;
    bool ReadLine(int32_t max, char* buffer) override;
    // Overwrites at the position, growing by doubling so that two spare bytes always follow.
    // Returns count, or 0 when closed or when the buffer cannot grow.
    int32_t WriteBytes(const void* data, int32_t count) override;

private:
    // Skips white space, then collects the bytes of one word into fScratch.
    bool CollectWord();

    char* fBuffer;
    int32_t fPosition;
    int32_t fLength;
    int32_t fCapacity;
    int32_t fMark;
};
