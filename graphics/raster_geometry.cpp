#include "raster_geometry.h"

#include "raster_overlap.h"
#include "raster_rows.h"

#include <algorithm>

int32_t MakeSubRaster(QV_Rect rect, QV_PixelBuffer& source, QV_PixelBuffer& out)
{
    FillInRowBytes(source);
    out = source;
    if (!source.pixels)
        return QV_RESULT_NO_PIXELS;
    QV_Rect bounds;
    bounds.right = source.width - 1;
    bounds.bottom = source.height - 1;
    if (!rect.Intersect(bounds))
        return QV_RESULT_BAD_SIZE;
    out.pixels = RasterPixel(source, rect.left, rect.top);
    out.width = rect.right - rect.left + 1;
    out.height = rect.bottom - rect.top + 1;
    return QV_RESULT_OK;
}

void FlipRasterHorizontal(const QV_PixelBuffer& raster)
{
    if (!raster.pixels || raster.bytesPerPixel != 4)
        return;
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* left = RasterRow(raster, y);
        uint8_t* right = left + static_cast<ptrdiff_t>(raster.width - 1) * 4;
        for (; left < right; left += 4, right -= 4)
            std::swap_ranges(left, left + 4, right);
    }
}

void FlipRasterVertical(const QV_PixelBuffer& raster)
{
    if (!raster.pixels || raster.width <= 0)
        return;
    const size_t length = static_cast<size_t>(raster.width) * static_cast<size_t>(raster.bytesPerPixel);
    for (int32_t top = 0, bottom = raster.height - 1; top < bottom; top++, bottom--) {
        uint8_t* upper = RasterRow(raster, top);
        std::swap_ranges(upper, upper + length, RasterRow(raster, bottom));
    }
}
