#pragma once
#include <cstdint>
#include <memory>

#include "qv_baseimage.h"

// The offscreen image that the toolkit draws into and presents to windows.
// Its memory keeps the layout of the system bitmaps it was designed around:
// rows stored bottom-up, each padded to a whole multiple of 4 pixels, so the
// raster's pixel pointer is the start of the last row in memory and its row
// bytes are negative (raster row 0 is still the top row of the picture).
class QV_PlatformImage : public QV_BaseImage {
public:
    QV_PlatformImage() = default;
    ~QV_PlatformImage() override;

    // Depth 8, 15, 16, 24 or 32; new pixels are zero. 0, -3 for a bad size or
    // depth, -5 when the memory cannot be had. The same size and depth keep
    // the current pixels untouched.
    int32_t Create(int32_t width, int32_t height, int32_t depth);
    int32_t Allocate(int32_t width, int32_t height, int32_t depth) override;
    void Free() override;

    // Bytes from one row to the next in memory (positive), 0 when empty.
    int32_t MemoryRowBytes() const { return fMemoryRowBytes; }
    const uint8_t* Memory() const { return fBits.get(); }

private:
    std::unique_ptr<uint8_t[]> fBits;
    int32_t fMemoryRowBytes = 0;
};
