// Seed flood fill by rows, which also tells whether the filled region is enclosed.
#include "qv_graphics.h"
#include "raster_rows.h"
#include "system_palette.h"
#include <new>
#include <vector>

namespace {

// One filled run and how far its scan of the neighbouring rows has got: the state a recursive
// fill keeps in its stack frame, kept here on the heap so that no region can exhaust the call
// stack.
struct PendingRun {
    int32_t y;
    int32_t start;
    int32_t end;
    int32_t next; // column of the neighbouring row to test next
    bool below; // scanning the row below (after the row above)
    bool enclosed; // no nested run reached the first or last column
};

// The pixels of the region: equal to the target and, when the fill writes nothing (the fill value
// is the target value), not visited yet.
class Region {
public:
    Region(const QV_PixelBuffer& raster, uint32_t target, uint32_t fill)
        : fRaster(raster)
        , fTarget(target)
        , fFill(fill)
        , fWrites(fill != target)
    {
        if (!fWrites)
            fVisited.assign(size_t(raster.width) * size_t(raster.height), false);
    }

    bool Matches(int32_t x, int32_t y) const
    {
        if (Read(x, y) != fTarget)
            return false;
        return fWrites || !fVisited[size_t(y) * size_t(fRaster.width) + size_t(x)];
    }

    void Take(int32_t x, int32_t y)
    {
        if (!fWrites) {
            fVisited[size_t(y) * size_t(fRaster.width) + size_t(x)] = true;
            return;
        }
        uint8_t* p = RasterPixel(fRaster, x, y);
        switch (fRaster.bytesPerPixel) {
        case 1:
            *p = uint8_t(fFill);
            break;
        case 2:
            StorePixel16(p, uint16_t(fFill));
            break;
        default:
            StorePixel32(p, fFill);
            break;
        }
    }

private:
    uint32_t Read(int32_t x, int32_t y) const
    {
        const uint8_t* p = RasterPixel(fRaster, x, y);
        switch (fRaster.bytesPerPixel) {
        case 1:
            return *p;
        case 2:
            return LoadPixel16(p);
        default:
            return LoadPixel32(p);
        }
    }

    const QV_PixelBuffer& fRaster;
    uint32_t fTarget;
    uint32_t fFill;
    bool fWrites;
    std::vector<bool> fVisited;
};

// Takes the seed and the run of matching pixels through it.
PendingRun TakeRun(Region& region, int32_t width, int32_t x, int32_t y)
{
    region.Take(x, y);
    int32_t end = x;
    while (end + 1 < width && region.Matches(end + 1, y))
        region.Take(++end, y);
    int32_t start = x;
    while (start - 1 >= 0 && region.Matches(start - 1, y))
        region.Take(--start, y);
    return PendingRun { y, start, end, start, false, true };
}

} // namespace

bool QV_Graphics::ScanFill(int32_t x, int32_t y, uint32_t target, uint32_t fill)
{
    // The same visiting order as filling each run, then recursing into every matching pixel of
    // the row above and then of the row below, one nested run at a time.
    const int32_t width = fTarget.width, height = fTarget.height;
    Region region(fTarget, target, fill);
    std::vector<PendingRun> stack;
    stack.push_back(TakeRun(region, width, x, y));
    bool result = true;
    while (!stack.empty()) {
        PendingRun& run = stack.back();
        const int32_t row = run.below ? run.y + 1 : run.y - 1;
        const bool rowExists = run.below ? run.y < height - 1 : run.y >= 1;
        if (rowExists) {
            while (run.next <= run.end && !region.Matches(run.next, row))
                run.next++;
            if (run.next <= run.end) {
                const int32_t column = run.next++;
                stack.push_back(TakeRun(region, width, column, row));
                continue;
            }
        }
        if (!run.below) {
            run.below = true;
            run.next = run.start;
            continue;
        }
        const bool enclosed = run.enclosed && run.start > 0 && run.end < width - 1;
        stack.pop_back();
        if (stack.empty())
            result = enclosed;
        else if (!enclosed)
            stack.back().enclosed = false;
    }
    return result;
}

bool QV_Graphics::FloodFill(int32_t x, int32_t y)
{
    if (!fTarget.pixels || x < 0 || y < 0 || x >= fTarget.width || y >= fTarget.height)
        return false;
    const rgb_color seed = GetPixel(x, y);
    uint32_t target, fill;
    switch (fTarget.bytesPerPixel) {
    case 1:
        target = EnsureSystemPalette().NearestIndex(seed.r, seed.g, seed.b);
        fill = fColorIndex;
        break;
    case 2:
        if (fTarget.depth == 16) {
            target = uint32_t(((seed.r >> 3) << 11) | ((seed.g >> 2) << 5) | (seed.b >> 3));
            fill = fColor565;
        } else {
            target = uint32_t(((seed.r & 0xF8) << 7) | ((seed.g & 0xF8) << 2) | (seed.b >> 3));
            fill = fColor555;
        }
        break;
    case 4:
        target = uint32_t(seed.a) << 24 | uint32_t(seed.r) << 16 | uint32_t(seed.g) << 8 | seed.b;
        fill = fColor32;
        break;
    default:
        // Not filled; the answer still tells whether the seed touches a side column.
        return x > 0 && x < fTarget.width - 1;
    }
    try {
        return ScanFill(x, y, target, fill);
    } catch (const std::bad_alloc&) {
        // The pending runs (or the visited map) did not fit in memory: the region is unknown.
        return false;
    }
}
