#pragma once

#include <cstdio>

#include "qv_filestream.h"
#include "vorndoc.h"

// Reads the document at the path with the program's reader; the caller owns it. On failure
// prints why (the file cannot be opened, or the reader's first error text) and answers null.
inline VornDoc* ReadDocument(const char* path)
{
    QV_FileStream in;
    if (in.Open(path, true) != 0) {
        std::printf("cannot open %s\n", path);
        return nullptr;
    }
    VornDoc* doc = new VornDoc(&in);
    if (doc->fReadFailed) {
        std::printf("%s\n", in.fError.CString());
        delete doc;
        return nullptr;
    }
    in.Close();
    return doc;
}
