#pragma once

#include "qv_temp_file.h"

#include <sys/stat.h>

#include <string>

// A fresh path with the extension, in the process's temporary folder.
inline std::string SwfTestPath(const char* extension)
{
    return std::string(TempFileName().CString()) + extension;
}

inline bool SwfFileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}
