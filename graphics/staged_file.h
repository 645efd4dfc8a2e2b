#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

// Writes a whole file under a temporary name in the target's folder and moves it over the target
// only when every write, the flush and the close succeeded. A failed write therefore never leaves a
// half-written file under the target name, and an existing target stays untouched.
//
// Codec code that jumps out of a library on errors must not keep this object in the frame that
// calls setjmp: hold it one frame up and pass File() down.
class StagedFile {
public:
    StagedFile() = default;
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~StagedFile();

    // Creates the temporary file for binary writing; false when that is impossible.
    bool Open(const char* path);
    FILE* File() const { return fFile; }

    // Writes all n bytes; a short write marks the file failed.
    bool Write(const void* data, size_t n);
    bool WriteByte(int value);
    // For writers that learn of a failure some other way (a codec library's error).
    void MarkFailed() { fFailed = true; }
    bool Failed() const { return fFailed; }

    // Closes and renames over the target. False, with the temporary file removed, when anything
    // failed on the way.
    bool Commit();
    // Closes and removes the temporary file.
    void Discard();

private:
    FILE* fFile = nullptr;
    bool fFailed = false;
    std::string fTarget;
    std::string fTemporary;
};
