#include "coverage_accumulator.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "coverage_composite.h"
#include "raster_rows.h"

bool CoverageAccumulator::Begin(const QV_Rect& area)
{
    // Whatever was left from an area never composited is emptied first.
    if (fTop <= fBottom)
        CompositeAndClear(rgb_color {}, QV_PixelBuffer {}, 0);
    fArea = QV_Rect { 0, 0, -1, -1 };
    fWidth = 0;
    fTop = 0;
    fBottom = -1;
    fOutside = false;
    if (area.left > area.right || area.top > area.bottom)
        return false;
    const int32_t width = area.right - area.left + 1;
    const int32_t height = area.bottom - area.top + 1;
    const size_t bytes = size_t(width) * size_t(height);
    if (bytes > fCapacity) {
        fCoverage.reset(new (std::nothrow) uint8_t[bytes]());
        fCapacity = fCoverage ? bytes : 0;
        if (!fCoverage)
            return false;
    }
    if (height > fRowCapacity) {
        fFirst.reset(new (std::nothrow) int32_t[size_t(height)]);
        fLast.reset(new (std::nothrow) int32_t[size_t(height)]);
        if (!fFirst || !fLast) {
            fRowCapacity = 0;
            return false;
        }
        fRowCapacity = height;
        std::fill_n(fFirst.get(), height, 1);
        std::fill_n(fLast.get(), height, 0);
    }
    fArea = area;
    fWidth = width;
    return true;
}

void CoverageAccumulator::Covers(int32_t x, int32_t y, int32_t count, const uint8_t* covers)
{
    if (count <= 0)
        return;
    if (y < fArea.top || y > fArea.bottom || x < fArea.left || x + count - 1 > fArea.right) {
        fOutside = true;
        return;
    }
    const int32_t row = y - fArea.top;
    const int32_t column = x - fArea.left;
    uint8_t* bytes = fCoverage.get() + size_t(row) * size_t(fWidth) + column;
    for (int32_t i = 0; i < count; i++) {
        const int32_t cover = covers[i];
        // What the smooth renderer's blend of opaque white does to the byte.
        bytes[i] = cover == 255 ? 255 : uint8_t(bytes[i] + ((255 - bytes[i]) * 255 * cover >> 16));
    }
    if (fFirst[row] > fLast[row]) {
        fFirst[row] = column;
        fLast[row] = column + count - 1;
    } else {
        fFirst[row] = std::min(fFirst[row], column);
        fLast[row] = std::max(fLast[row], column + count - 1);
    }
    if (fTop > fBottom) {
        fTop = fBottom = row;
    } else {
        fTop = std::min(fTop, row);
        fBottom = std::max(fBottom, row);
    }
}

bool CoverageAccumulator::CompositeAndClear(rgb_color color, const QV_PixelBuffer& destination, int32_t offset)
{
    const bool composite = !fOutside && destination.bytesPerPixel == 4 && destination.pixels;
    const CoverageRunComposite run(color, true);
    for (int32_t row = fTop; row <= fBottom; row++) {
        const int32_t first = fFirst[row];
        const int32_t last = fLast[row];
        if (first > last)
            continue;
        uint8_t* bytes = fCoverage.get() + size_t(row) * size_t(fWidth);
        const int32_t line = fArea.top + row - offset;
        if (composite && line >= 0 && line < destination.height) {
            // Raster columns left + first .. left + last, clipped to the destination's.
            const int32_t from = std::max(fArea.left + first, offset) - fArea.left;
            const int32_t to = std::min(fArea.left + last, offset + destination.width - 1) - fArea.left;
            if (from <= to)
                run.Mask(bytes + from, to - from + 1, RasterPixel(destination, fArea.left + from - offset, line));
        }
        std::memset(bytes + first, 0, size_t(last - first + 1));
        fFirst[row] = 1;
        fLast[row] = 0;
    }
    fTop = 0;
    fBottom = -1;
    const bool composited = !fOutside;
    fOutside = false;
    return composited;
}
