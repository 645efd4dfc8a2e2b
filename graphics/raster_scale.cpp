#include "raster_scale.h"

#include "blend_tables.h"
#include "raster_rows.h"

#include <algorithm>
#include <cstring>

namespace {

// The part of the destination rectangle that lies inside the destination,
// as rectangle-relative rows and columns [first, end).
struct ScaleSpan {
    int64_t firstRow;
    int64_t endRow;
    int64_t firstColumn;
    int64_t endColumn;
};

// 16.16 source position of rectangle row or column i.
inline int64_t Position(int64_t i, int64_t step)
{
    return i * step;
}

void ScaleNearest(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    const ScaleSpan& span, int64_t horizontalStep, int64_t verticalStep)
{
    const int32_t size = source.bytesPerPixel;
    for (int64_t j = span.firstRow; j < span.endRow; j++) {
        const uint8_t* from = RasterRow(source, static_cast<int32_t>(Position(j, verticalStep) >> 16));
        uint8_t* to = RasterPixel(
            destination, static_cast<int32_t>(x + span.firstColumn), static_cast<int32_t>(y + j));
        for (int64_t i = span.firstColumn; i < span.endColumn; i++, to += size)
            std::memcpy(to, from + (Position(i, horizontalStep) >> 16) * size, size);
    }
}

inline uint8_t Mix(uint32_t f, uint8_t a, uint8_t b)
{
    return static_cast<uint8_t>(BlendMulTable[255 - f][a] + BlendMulTable[f][b]);
}

// One destination row from one source row, mixing neighbouring columns.
void ScaleRow32(const QV_PixelBuffer& source, int32_t sourceRow, uint8_t* to, const ScaleSpan& span,
    int64_t horizontalStep)
{
    const uint8_t* from = RasterRow(source, sourceRow);
    const int64_t lastColumn = source.width - 1;
    for (int64_t i = span.firstColumn; i < span.endColumn; i++, to += 4) {
        const int64_t position = Position(i, horizontalStep);
        const int64_t column = position >> 16;
        // A one-pixel-wide source has no right neighbour; its weight is 0 then.
        const uint8_t* p0 = from + column * 4;
        const uint8_t* p1 = from + std::min(column + 1, lastColumn) * 4;
        const uint32_t f = static_cast<uint32_t>(position >> 8) & 0xFF;
        for (int c = 0; c < 4; c++)
            to[c] = Mix(f, p0[c], p1[c]);
    }
}

void Scale32(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    const ScaleSpan& span, int64_t horizontalStep, int64_t verticalStep)
{
    auto sourceRow
        = [verticalStep](int64_t j) { return static_cast<int32_t>(Position(j, verticalStep) >> 16); };
    // A row is computed from the source when it starts a run of rows that
    // share one source row; the rest of each run is mixed from the rows above
    // and below it afterwards.
    auto startsRun = [&](int64_t j) { return j == span.firstRow || sourceRow(j) != sourceRow(j - 1); };
    auto rowAt = [&](int64_t j) {
        return RasterPixel(
            destination, static_cast<int32_t>(x + span.firstColumn), static_cast<int32_t>(y + j));
    };
    const size_t rowLength = static_cast<size_t>(span.endColumn - span.firstColumn) * 4;

    for (int64_t j = span.firstRow; j < span.endRow; j++)
        if (startsRun(j))
            ScaleRow32(source, sourceRow(j), rowAt(j), span, horizontalStep);

    for (int64_t top = span.firstRow; top < span.endRow;) {
        int64_t next = top + 1;
        while (next < span.endRow && !startsRun(next))
            next++;
        const uint8_t* upper = rowAt(top);
        const uint8_t* lower = next < span.endRow ? rowAt(next) : upper;
        for (int64_t j = top + 1; j < next; j++) {
            const uint32_t f = static_cast<uint32_t>(Position(j, verticalStep) >> 8) & 0xFF;
            uint8_t* to = rowAt(j);
            for (size_t k = 0; k < rowLength; k++)
                to[k] = Mix(f, upper[k], lower[k]);
        }
        top = next;
    }
}

} // namespace

void BlitRasterScaled(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y,
    int32_t width, int32_t height)
{
    // A target that rounded to nothing would divide by zero below.
    if (width <= 0 || height <= 0)
        return;
    if (!source.pixels || !destination.pixels || source.width <= 0 || source.height <= 0)
        return;
    const int32_t size = source.bytesPerPixel;
    if (size != destination.bytesPerPixel || (size != 1 && size != 2 && size != 4))
        return;

    ScaleSpan span;
    span.firstRow = std::max<int64_t>(0, -int64_t(y));
    span.endRow = std::min<int64_t>(height, int64_t(destination.height) - y);
    span.firstColumn = std::max<int64_t>(0, -int64_t(x));
    span.endColumn = std::min<int64_t>(width, int64_t(destination.width) - x);
    if (span.firstRow >= span.endRow || span.firstColumn >= span.endColumn)
        return;

    // 16.16 steps; the 32-bit path steps over width - 1 source columns so that
    // every sample has a right neighbour to mix with.
    const int64_t verticalStep = int64_t(source.height) * 65536 / height;
    if (size == 4) {
        const int64_t horizontalStep = int64_t(source.width - 1) * 65536 / width;
        Scale32(source, destination, x, y, span, horizontalStep, verticalStep);
    } else {
        const int64_t horizontalStep = int64_t(source.width) * 65536 / width;
        ScaleNearest(source, destination, x, y, span, horizontalStep, verticalStep);
    }
}
