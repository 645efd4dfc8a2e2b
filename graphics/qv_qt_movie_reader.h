#pragma once
#include <cstdint>

#include "plat_movie_in.h"

struct QV_PixelBuffer;

// Reads movies of any kind the movie libraries open (MOV, MP4, ...). Frame numbers are taken
// modulo the frame count and clamped to the frames, so every number reads a frame.
class QV_QtMovieReader {
public:
    QV_QtMovieReader();
    ~QV_QtMovieReader();
    QV_QtMovieReader(const QV_QtMovieReader&) = delete;
    QV_QtMovieReader& operator=(const QV_QtMovieReader&) = delete;

    bool Open(const char* path);
    void Close();
    void GetFrame(const QV_PixelBuffer& raster, int32_t n);

    PlatMovieIn fMovie;
    int32_t fWidth;
    int32_t fHeight;
    // -1 until known (a movie without video samples never knows it).
    float fFrameRate;
    int32_t fCurrentFrame;
    // At least 1.
    int32_t fFrameCount;
};
