#include "qv_platform_image.h"

#include <new>

#include "system_palette.h"

QV_PlatformImage::~QV_PlatformImage()
{
    Free();
}

int32_t QV_PlatformImage::Create(int32_t width, int32_t height, int32_t depth)
{
    // 8-bit images index the system palette, which must exist before any is drawn.
    EnsureSystemPalette();
    if (buffer.pixels && buffer.width == width && buffer.height == height && buffer.depth == depth)
        return 0;
    Free();
    const int32_t bytesPerPixel = BytesPerPixelOf(depth);
    if (width <= 0 || height <= 0 || bytesPerPixel == 0)
        return -3;
    const int64_t paddedWidth = (int64_t(width) + 3) & ~int64_t(3);
    if (paddedWidth * height > kMaxPixels)
        return -5;
    const int64_t rowBytes = paddedWidth * bytesPerPixel;
    fBits.reset(new (std::nothrow) uint8_t[static_cast<size_t>(rowBytes * height)]());
    if (!fBits)
        return -5;
    fMemoryRowBytes = static_cast<int32_t>(rowBytes);
    buffer.width = width;
    buffer.height = height;
    buffer.depth = depth;
    buffer.bytesPerPixel = bytesPerPixel;
    buffer.pixels = fBits.get() + rowBytes * (height - 1);
    buffer.rowBytes = -fMemoryRowBytes;
    return 0;
}

int32_t QV_PlatformImage::Allocate(int32_t width, int32_t height, int32_t depth)
{
    return Create(width, height, depth);
}

void QV_PlatformImage::Free()
{
    fBits.reset();
    fMemoryRowBytes = 0;
    buffer.pixels = nullptr;
}
