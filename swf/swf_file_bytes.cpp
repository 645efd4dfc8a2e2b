#include "swf_file_bytes.h"

#include <cstdio>

bool SwfReadFileBytes(const char* path, std::vector<uint8_t>& bytes)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f)
        return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}
