#pragma once
#include "qv_pixelbuffer.h"
#include "qv_rect.h"
#include <cstdint>
#include <memory>

// An image that owns one pixel allocation and hands out descriptors of all
// of it or of a rectangle of it. Derived images may keep their pixels
// elsewhere by overriding Allocate and Free.
class QV_BaseImage {
public:
    // No image exceeds this many pixels: it keeps every byte offset of a
    // 32-bit raster inside int32 and stops forged file headers from asking
    // for absurd blocks.
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

    QV_BaseImage() = default;
    QV_BaseImage(const QV_BaseImage&) = delete;
    QV_BaseImage& operator=(const QV_BaseImage&) = delete;
    virtual ~QV_BaseImage();

    // 0, -1 (out of memory) or -3 (bad size or depth). The same size and
    // depth keep the current pixels untouched; anything else replaces them,
    // and the new contents are not cleared. Rows are padded to 4 bytes.
    virtual int32_t Allocate(int32_t width, int32_t height, int32_t depth);
    // Frees the pixels; width, height and depth keep their last values.
    virtual void Free();

    // -1 when there are no pixels.
    int32_t Width() const;
    int32_t Height() const;

    // Always copies the descriptor; 0, or -4 when there are no pixels.
    int32_t GetPixelBuffer(QV_PixelBuffer& out) const;
    // Descriptor of the inclusive rectangle (normalised, clipped to the
    // image) sharing the image's rows. -3 when nothing of it lies inside,
    // -4 when there are no pixels, else 0.
    int32_t GetSubPixelBuffer(QV_Rect rect, QV_PixelBuffer& out) const;

    QV_PixelBuffer buffer;
    std::unique_ptr<uint8_t[]> allocation;
};
