#pragma once

#include <cstdint>
#include <cstdio>

#include "qv_iostream.h"
#include "qv_path.h"

// The stream over a file opened by its UTF-8 path.
//
// Files are read in binary and written as text files made on the original platform: every LF
// written reaches the disk as CR LF, so positions and sizes count the CR bytes.
//
// Writing never puts the old file at risk: Open for writing a regular file (or a file that does
// not exist yet) writes to a temporary file beside it, and Commit renames that over the target
// only when every write, the flush and the close succeeded. Other targets (devices, pipes) are
// written in place. A regular file that its owner made read-only is refused, not replaced.
class QV_FileStream : public QV_IoStream {
public:
    QV_FileStream();
    // Commits a file still open for writing.
    ~QV_FileStream() override;

    // Closes the current file first. Returns 0, -3 for a null path, -6 when the file (or the
    // temporary file beside it) cannot be opened; the path stays stored then.
    int32_t Open(const char* path, bool reading);
    // Closes the file. For a written file: true only when everything written reached the
    // target. On failure the target keeps its old contents (unless it was written in place).
    // False when no file was open.
    bool Commit();
    // Closes a file open for writing without replacing the target; the temporary file goes.
    void Discard();
    // The path given to Open; empty after Close.
    const QV_Path& Path() const { return fPath; }
    // Why the last Open, a write or Commit failed, in words for the user (the system's reason,
    // or that the file is read-only); empty while nothing failed. Open empties it.
    const QV_String& Failure() const { return fFailure; }

    bool IsFile() const override;
    bool IsOpen() const override;
    // Commit without its result.
    void Close() override;
    void SavePosition() override;
    void RestorePosition() override;
    void Rewind() override;
    int32_t Size() override;
    int32_t Position() override;
    void Seek(int32_t offset) override;
    // True only after a read has tried to go past the last byte.
    bool AtEnd() override;
    int32_t ReadBytes(void* buffer, int32_t count) override;
    bool SkipLine() override;
    bool SkipPast(char c) override;
    bool ReadChar(char& c) override;
    bool ReadInt(int32_t& value) override;
    bool ReadFloat(float& value) override;
    // Exact words only: "true" or "1", "false" or "0".
    bool ReadBool(bool& value) override;
    // A word longer than 254 bytes is split: the rest is left for the next read.
    bool ReadWord(int32_t max, char* buffer) override;
    using QV_IoStream::ReadQuoted;
    bool ReadQuoted(QV_String& text) override;
    bool ReadLine(int32_t max, char* buffer) override;
    // Returns the number of bytes taken; fewer than count once a write has failed.
    int32_t WriteBytes(const void* data, int32_t count) override;

private:
    void SkipScanSpace();
    // Collects up to limit non-white-space bytes into fScratch; false at the end of the file.
    bool ScanWord(int32_t limit);
    bool CreateReplacement();
    void Finish(bool keep, bool* succeeded);
    // Keeps the first reason only: later failures follow from it.
    void NoteFailure(const char* reason);
    void NoteSystemFailure(int error);

    QV_Path fPath;
    FILE* fFile;
    long fMark;
    // Set on the first short write or stream error; nothing is written after it.
    bool fWriteFailed;
    // While writing through a temporary file: its path and the file it replaces.
    QV_String fTempPath;
    QV_String fTargetPath;
    QV_String fFailure;
};
