#include "qv_filestream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "number_text.h"
#include "text_scan.h"

namespace {

// The file as a source of number bytes (text_scan.h).
struct FileBytes {
    FILE* file;
    int Peek()
    {
        int c = std::getc(file);
        if (c != EOF)
            std::ungetc(c, file);
        return c;
    }
    void Advance() { std::getc(file); }
    long Tell() { return std::ftell(file); }
    void SeekTo(long position) { std::fseek(file, position, SEEK_SET); }
};

int32_t ClampToInt32(long value)
{
    if (value < 0)
        return 0;
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}

// Beside the target, hidden, and never the name of anything else: created with O_EXCL.
int CreateTemporaryBeside(const QV_String& target, QV_String& tempPath)
{
    int32_t slash = target.FindLastChar('/');
    QV_String prefix = target.Left(slash + 1);
    // Room for the decoration within the 255-byte name limit.
    QV_String name = target.Right(target.Length() - slash - 1).Left(200);
    std::random_device random;
    for (int attempt = 0; attempt < 100; attempt++) {
        char suffix[16];
        unsigned value = random();
        for (int i = 0; i < 8; i++)
            suffix[i] = "0123456789abcdef"[(value >> (4 * i)) & 15];
        suffix[8] = 0;
        tempPath = prefix + "." + name + "." + suffix + ".tmp";
        int fd = open(tempPath.CString(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

} // namespace

QV_FileStream::QV_FileStream()
    : fFile(nullptr)
    , fMark(0)
    , fWriteFailed(false)
{
}

QV_FileStream::~QV_FileStream()
{
    if (fFile)
        Close();
}

int32_t QV_FileStream::Open(const char* path, bool reading)
{
    Close();
    fError = "";
    fIndent = 0;
    fPath = "";
    fReading = reading;
    fWriteFailed = false;
    fFailure = "";
    if (!path)
        return -3;
    fPath = path;
    if (reading) {
        fFile = std::fopen(path, "rbe");
        struct stat info;
        if (!fFile) {
            NoteSystemFailure(errno);
        } else if (fstat(fileno(fFile), &info) != 0 || S_ISDIR(info.st_mode)) {
            NoteSystemFailure(EISDIR);
            std::fclose(fFile);
            fFile = nullptr;
        }
    } else if (!CreateReplacement()) {
        fFile = nullptr;
    }
    if (!fFile)
        return -6;
    fMark = 0;
    return 0;
}

bool QV_FileStream::CreateReplacement()
{
    QV_String target(fPath);
    struct stat info;
    if (lstat(target.CString(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Replace the file the link names, not the link.
        if (char* resolved = realpath(target.CString(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    bool exists = stat(target.CString(), &info) == 0;
    if ((exists && !S_ISREG(info.st_mode)) || (!exists && errno != ENOENT)) {
        // Devices and pipes cannot be replaced; they are written in place.
        fFile = std::fopen(fPath.CString(), "w+be");
        if (!fFile)
            NoteSystemFailure(errno);
        return fFile != nullptr;
    }
    // The rename would replace a file that may not be written: refuse it, as editors do. No
    // write permission at all holds even for the superuser, whom the system would let through.
    if (exists && ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(target.CString(), W_OK) != 0)) {
        NoteFailure("the file is read-only");
        return false;
    }
    QV_String tempPath;
    int fd = CreateTemporaryBeside(target, tempPath);
    if (fd < 0) {
        NoteSystemFailure(errno);
        return false;
    }
    if (exists)
        fchmod(fd, info.st_mode & 07777);
    fFile = fdopen(fd, "w+b");
    if (!fFile) {
        NoteSystemFailure(errno);
        close(fd);
        unlink(tempPath.CString());
        return false;
    }
    fTempPath = tempPath;
    fTargetPath = target;
    return true;
}

void QV_FileStream::Finish(bool keep, bool* succeeded)
{
    if (!fFile) {
        if (succeeded)
            *succeeded = false;
        return;
    }
    bool ok = true;
    bool replacing = !fTempPath.IsEmpty();
    if (!fReading) {
        if (std::fflush(fFile) != 0 || std::ferror(fFile) || fWriteFailed) {
            NoteSystemFailure(errno);
            ok = false;
        }
        if (ok && keep && replacing && fsync(fileno(fFile)) != 0) {
            NoteSystemFailure(errno);
            ok = false;
        }
    }
    if (std::fclose(fFile) != 0) {
        if (!fReading)
            NoteSystemFailure(errno);
        ok = false;
    }
    fFile = nullptr;
    if (replacing) {
        if (ok && keep && std::rename(fTempPath.CString(), fTargetPath.CString()) != 0) {
            NoteSystemFailure(errno);
            ok = false;
        }
        if (!ok || !keep)
            unlink(fTempPath.CString());
    }
    fTempPath = "";
    fTargetPath = "";
    fPath = "";
    fWriteFailed = false;
    if (succeeded)
        *succeeded = ok && keep;
}

void QV_FileStream::NoteFailure(const char* reason)
{
    if (fFailure.IsEmpty())
        fFailure = reason;
}

void QV_FileStream::NoteSystemFailure(int error)
{
    char text[256];
    // The GNU form: the answer may or may not be the buffer.
    NoteFailure(error != 0 ? strerror_r(error, text, sizeof text) : "the data could not be written");
}

bool QV_FileStream::Commit()
{
    bool ok = false;
    Finish(true, &ok);
    return ok;
}

void QV_FileStream::Discard()
{
    Finish(false, nullptr);
}

bool QV_FileStream::IsFile() const
{
    return true;
}

bool QV_FileStream::IsOpen() const
{
    return fFile != nullptr;
}

void QV_FileStream::Close()
{
    Finish(true, nullptr);
}

void QV_FileStream::SavePosition()
{
    if (fFile)
        fMark = std::ftell(fFile);
}

void QV_FileStream::RestorePosition()
{
    Seek(ClampToInt32(fMark));
}

void QV_FileStream::Rewind()
{
    Seek(0);
}

int32_t QV_FileStream::Size()
{
    if (!fFile)
        return 0;
    long position = std::ftell(fFile);
    std::fseek(fFile, 0, SEEK_END);
    long size = std::ftell(fFile);
    std::fseek(fFile, position, SEEK_SET);
    if (!fReading && std::ferror(fFile))
        fWriteFailed = true;
    return ClampToInt32(size);
}

int32_t QV_FileStream::Position()
{
    return fFile ? ClampToInt32(std::ftell(fFile)) : 0;
}

void QV_FileStream::Seek(int32_t offset)
{
    if (!fFile)
        return;
    // Moving flushes pending writes; a failed flush is a failed write.
    if (std::fseek(fFile, offset, SEEK_SET) != 0 && !fReading && std::ferror(fFile))
        fWriteFailed = true;
}

bool QV_FileStream::AtEnd()
{
    return fFile && std::feof(fFile);
}

int32_t QV_FileStream::ReadBytes(void* buffer, int32_t count)
{
    if (!fFile || !buffer || count <= 0)
        return 0;
    return static_cast<int32_t>(std::fread(buffer, 1, count, fFile));
}

bool QV_FileStream::SkipLine()
{
    if (!fFile)
        return false;
    for (int c = std::getc(fFile); c != EOF; c = std::getc(fFile)) {
        if (c == '\r' || c == '\n')
            return true;
    }
    return false;
}

bool QV_FileStream::SkipPast(char target)
{
    if (!fFile)
        return false;
    for (int c = std::getc(fFile); c != EOF; c = std::getc(fFile)) {
        if (static_cast<char>(c) == target)
            return true;
    }
    return false;
}

bool QV_FileStream::ReadChar(char& c)
{
    if (!fFile)
        return false;
    int got = std::getc(fFile);
    if (got == EOF)
        return false;
    c = static_cast<char>(got);
    return true;
}

void QV_FileStream::SkipScanSpace()
{
    int c;
    while ((c = std::getc(fFile)) != EOF && IsScanSpace(c)) { }
    if (c != EOF)
        std::ungetc(c, fFile);
}

bool QV_FileStream::ScanWord(int32_t limit)
{
    SkipScanSpace();
    int32_t n = 0;
    int c;
    while (n < limit && (c = std::getc(fFile)) != EOF) {
        if (IsScanSpace(c)) {
            std::ungetc(c, fFile);
            break;
        }
        fScratch[n++] = static_cast<char>(c);
    }
    fScratch[n] = 0;
    return n > 0;
}

bool QV_FileStream::ReadInt(int32_t& value)
{
    if (!fFile)
        return false;
    FileBytes source { fFile };
    int32_t parsed;
    if (!ScanNumber(source, NumberForm::Integer, fScratch) || !ParseInt32Prefix(fScratch, parsed))
        return false;
    value = parsed;
    return true;
}

bool QV_FileStream::ReadFloat(float& value)
{
    if (!fFile)
        return false;
    FileBytes source { fFile };
    float parsed;
    if (!ScanNumber(source, NumberForm::Float, fScratch) || !ParseStoredFloat(fScratch, parsed))
        return false;
    value = parsed;
    return true;
}

bool QV_FileStream::ReadBool(bool& value)
{
    if (!fFile || !ScanWord(255))
        return false;
    if (std::strcmp(fScratch, "true") == 0 || std::strcmp(fScratch, "1") == 0) {
        value = true;
        return true;
    }
    if (std::strcmp(fScratch, "false") == 0 || std::strcmp(fScratch, "0") == 0) {
        value = false;
        return true;
    }
    return false;
}

bool QV_FileStream::ReadWord(int32_t max, char* buffer)
{
    if (!fFile || !buffer || max <= 0 || !ScanWord(254))
        return false;
    if (max < 256)
        fScratch[std::min<int32_t>(max - 1, 254)] = 0;
    std::strcpy(buffer, fScratch);
    return true;
}

bool QV_FileStream::ReadQuoted(QV_String& text)
{
    if (!fFile)
        return false;
    SkipScanSpace();
    if (std::getc(fFile) != '"')
        return false;
    std::string read;
    try {
        for (int c = std::getc(fFile); c != '"'; c = std::getc(fFile)) {
            if (c == EOF || read.size() >= INT32_MAX - 1)
                return false;
            read += static_cast<char>(c);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    StoreQuotedText(read.data(), int64_t(read.size()), text);
    return true;
}

bool QV_FileStream::ReadLine(int32_t max, char* buffer)
{
    if (!fFile || !buffer || max <= 0)
        return false;
    size_t limit = max > 256 ? max - 1 : 254;
    std::string line;
    for (;;) {
        int c = std::getc(fFile);
        if (c == EOF)
            return false;
        if (c == '\r' || c == '\n')
            break;
        if (line.size() >= limit)
            return false;
        line += static_cast<char>(c);
    }
    if (max < 256 && line.size() > static_cast<size_t>(max - 1))
        line.resize(max - 1);
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    return true;
}

int32_t QV_FileStream::WriteBytes(const void* data, int32_t count)
{
    if (fReading || !fFile || !data || count <= 0 || fWriteFailed)
        return 0;
    const char* bytes = static_cast<const char*>(data);
    int32_t done = 0;
    while (done < count) {
        const char* lineEnd = static_cast<const char*>(std::memchr(bytes + done, '\n', count - done));
        int32_t run = lineEnd ? static_cast<int32_t>(lineEnd - (bytes + done)) : count - done;
        if (run > 0 && std::fwrite(bytes + done, 1, run, fFile) != static_cast<size_t>(run)) {
            NoteSystemFailure(errno);
            fWriteFailed = true;
            return done;
        }
        done += run;
        if (lineEnd) {
            if (std::fwrite("\r\n", 1, 2, fFile) != 2) {
                NoteSystemFailure(errno);
                fWriteFailed = true;
                return done;
            }
            done++;
        }
    }
    return count;
}
