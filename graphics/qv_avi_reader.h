#pragma once
#include <cstdint>

#include "plat_movie_in.h"

struct QV_PixelBuffer;

// Reads AVI files. Frame numbers are taken modulo fStart + fLength, and a number below fStart
// (a negative one too) reads nothing.
class QV_AviReader {
public:
    QV_AviReader();
    ~QV_AviReader();
    QV_AviReader(const QV_AviReader&) = delete;
    QV_AviReader& operator=(const QV_AviReader&) = delete;

    // False, with nothing open, for anything but an AVI file with a readable video stream.
    bool Open(const char* path);
    void Close();
    // Frame n into the raster, converted to its pixel size; the raster is unchanged when the
    // frame cannot be read.
    void GetFrame(const QV_PixelBuffer& raster, int32_t n);

    PlatMovieIn fMovie;
    int32_t fWidth;
    int32_t fHeight;
    // Bits per pixel of the decoded frames.
    int32_t fDepth;
    int32_t fRowBytes;
    int32_t fCurrentFrame;
    // At least 1, so that an empty stream still has a length to reduce by.
    int32_t fLength;
    int32_t fStart;
    float fFrameRate;
};
