#pragma once
#include <cstdint>
#include <memory>

class QV_AviReader;
class QV_QtMovieReader;
struct QV_PixelBuffer;

// Hides the kind of movie being read: AVI files go to the AVI reader, other videos (and AVI
// files it cannot read) to the general one.
class QV_MovieReader {
public:
    QV_MovieReader();
    ~QV_MovieReader();
    QV_MovieReader(const QV_MovieReader&) = delete;
    QV_MovieReader& operator=(const QV_MovieReader&) = delete;

    // Closes what was open; true when a reader is open. Only paths whose media type is "video"
    // are tried.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const;

    // 8 x 8 at 30 frames per second with 1 frame when nothing is open.
    int32_t Width() const;
    int32_t Height() const;
    float FrameRate() const;
    int32_t FrameCount() const;
    // Frame n into the raster, converted to its pixel size; nothing when nothing is open.
    void GetFrame(const QV_PixelBuffer& raster, int32_t n);

    std::unique_ptr<QV_AviReader> fAvi;
    std::unique_ptr<QV_QtMovieReader> fQt;
};
