#pragma once
#include <string>
#include <vector>

#include "qv_string.h"

// The names in a folder, files and folders alike, without "." and "..",
// sorted case-insensitively, then bytewise. The folder is read when the
// lister is made and nothing stays open.
class QV_FileLister {
public:
    explicit QV_FileLister(const char* folder);

    // The next name, or null after the last one (and for a folder that
    // cannot be read). Valid until the next call.
    const char* NextFile();

private:
    std::vector<std::string> fNames;
    size_t fNext = 0;
    QV_String fName;
};
