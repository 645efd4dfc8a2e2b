#include "qv_baseimage.h"
#include <cstddef>
#include <new>

QV_BaseImage::~QV_BaseImage()
{
    // Only this class's allocation: a derived image has released its own
    // resources in its destructor already.
    allocation.reset();
    buffer.pixels = nullptr;
}

int32_t QV_BaseImage::Allocate(int32_t width, int32_t height, int32_t depth)
{
    if (buffer.pixels && width == buffer.width && height == buffer.height && depth == buffer.depth)
        return 0;
    Free();
    if (width <= 0 || height <= 0)
        return -3;
    int32_t bytesPerPixel = BytesPerPixelOf(depth);
    if (bytesPerPixel == 0)
        return -3;
    // Sizes come straight from file headers: check them in 64 bits so that a
    // huge image is refused rather than wrapped into a small block.
    int64_t pixelCount = int64_t(width) * height;
    if (pixelCount > kMaxPixels)
        return -3;
    int64_t rowBytes = (int64_t(width) * bytesPerPixel + 3) & ~int64_t(3);
    int64_t size = rowBytes * height;

    buffer.width = width;
    buffer.height = height;
    buffer.depth = depth;
    buffer.bytesPerPixel = bytesPerPixel;
    buffer.rowBytes = static_cast<int32_t>(rowBytes);

    allocation.reset(new (std::nothrow) uint8_t[static_cast<size_t>(size)]);
    if (!allocation)
        return -1;
    buffer.pixels = allocation.get();
    return 0;
}

void QV_BaseImage::Free()
{
    allocation.reset();
    buffer.pixels = nullptr;
}

int32_t QV_BaseImage::Width() const
{
    return buffer.pixels ? buffer.width : -1;
}

int32_t QV_BaseImage::Height() const
{
    return buffer.pixels ? buffer.height : -1;
}

int32_t QV_BaseImage::GetPixelBuffer(QV_PixelBuffer& out) const
{
    out = buffer;
    return buffer.pixels ? 0 : -4;
}

int32_t QV_BaseImage::GetSubPixelBuffer(QV_Rect rect, QV_PixelBuffer& out) const
{
    out = buffer;
    QV_Rect bounds;
    bounds.right = buffer.width - 1;
    bounds.bottom = buffer.height - 1;
    if (!rect.Intersect(bounds))
        return -3;
    out.width = rect.right - rect.left + 1;
    out.height = rect.bottom - rect.top + 1;
    if (!buffer.pixels)
        return -4;
    out.pixels
        = buffer.pixels + ptrdiff_t(rect.left) * buffer.bytesPerPixel + ptrdiff_t(rect.top) * buffer.rowBytes;
    return 0;
}
