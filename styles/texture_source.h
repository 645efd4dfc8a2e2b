#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_path.h"

class QV_IoStream;

// The image file behind the two texture effects: its path, the fill mode and the image, loaded
// on first use and kept until dropped.
class TextureSource {
public:
    TextureSource();

    // The path through the stream's path reader (relative paths taken from the document's
    // folder) and the fill mode.
    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream);

    // Loads the image when none is cached: nothing for an empty path; a failed load is tried
    // again at the next call. True when an image with pixels is ready.
    bool Load();
    // Releases the cached image; the next Load reads the file again.
    void Drop();
    // Stores the path and drops the image. False (nothing changed) for a path a document cannot
    // store.
    bool SetPath(const char* path);

    QV_Path fPath;
    int32_t fFillMode;
    QV_BaseImage fImage;
};
