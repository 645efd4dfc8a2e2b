#include "staged_file.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

uint32_t gStagedCounter = 0;

} // namespace

StagedFile::~StagedFile()
{
    Discard();
}

bool StagedFile::Open(const char* path)
{
    Discard();
    fFailed = false;
    if (!path || !*path)
        return false;
    fTarget = path;
    // A hidden name beside the target, so the final rename stays inside one file system.
    std::string folder;
    std::string name = fTarget;
    size_t slash = fTarget.find_last_of('/');
    if (slash != std::string::npos) {
        folder = fTarget.substr(0, slash + 1);
        name = fTarget.substr(slash + 1);
    }
    for (int attempt = 0; attempt < 100; ++attempt) {
        uint32_t serial = __atomic_fetch_add(&gStagedCounter, 1, __ATOMIC_RELAXED);
        fTemporary
            = folder + "." + name + "." + std::to_string(getpid()) + "-" + std::to_string(serial) + ".part";
        // 0666 so that the finished file gets the same permissions as one made by fopen.
        int fd = open(fTemporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            break;
        }
        fFile = fdopen(fd, "wb");
        if (!fFile) {
            close(fd);
            unlink(fTemporary.c_str());
            break;
        }
        return true;
    }
    fTemporary.clear();
    return false;
}

bool StagedFile::Write(const void* data, size_t n)
{
    if (!fFile || fFailed)
        return false;
    if (n > 0 && fwrite(data, 1, n, fFile) != n)
        fFailed = true;
    return !fFailed;
}

bool StagedFile::WriteByte(int value)
{
    unsigned char byte = static_cast<unsigned char>(value);
    return Write(&byte, 1);
}

bool StagedFile::Commit()
{
    if (!fFile)
        return false;
    bool ok = !fFailed && fflush(fFile) == 0 && !ferror(fFile);
    ok = (fclose(fFile) == 0) && ok;
    fFile = nullptr;
    if (ok)
        ok = rename(fTemporary.c_str(), fTarget.c_str()) == 0;
    if (!ok)
        unlink(fTemporary.c_str());
    fTemporary.clear();
    return ok;
}

void StagedFile::Discard()
{
    if (fFile) {
        fclose(fFile);
        fFile = nullptr;
        unlink(fTemporary.c_str());
    }
    fTemporary.clear();
}
