#include "raster_overlap.h"

#include <algorithm>

namespace {

// One axis: the source starts at -offset when placed before the destination's
// start, and the run stops at the end of either raster.
bool OverlapAxis(int32_t offset, int32_t sourceSize, int32_t destinationSize, int32_t& sourceStart,
    int32_t& destinationStart, int32_t& length)
{
    if (offset >= destinationSize || int64_t(offset) + sourceSize <= 0)
        return false;
    sourceStart = offset < 0 ? -offset : 0;
    destinationStart = offset < 0 ? 0 : offset;
    length = std::min(sourceSize - sourceStart, destinationSize - destinationStart);
    return length > 0;
}

} // namespace

bool FindRasterOverlap(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, RasterOverlap& out)
{
    if (!source.pixels || !destination.pixels)
        return false;
    return OverlapAxis(x, source.width, destination.width, out.sourceX, out.destinationX, out.width)
        && OverlapAxis(y, source.height, destination.height, out.sourceY, out.destinationY, out.height);
}

void FillInRowBytes(QV_PixelBuffer& source)
{
    if (source.rowBytes == 0)
        source.rowBytes = source.bytesPerPixel * source.width;
}
