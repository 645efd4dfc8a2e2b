#include "box_blur.h"

#include "raster_rows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kRing = 128;

// sum / window rounded down for every sum a window of bytes can make (below 2^15), by a 32-bit
// multiplication and shift, which the compiler can spread over many sums at once: with l the bits
// of window - 1 and m = ceil(2^(15 + l) / window), the product stays below 2^32 and the error of m
// never reaches the next integer.
struct WindowDivider {
    explicit WindowDivider(int32_t window)
    {
        int32_t bits = 0;
        while ((1 << bits) < window)
            bits++;
        shift = 15 + bits;
        multiplier = static_cast<uint32_t>(((uint64_t(1) << shift) + uint64_t(window) - 1) / uint64_t(window));
    }
    uint8_t operator()(uint32_t sum) const { return static_cast<uint8_t>((sum * multiplier) >> shift); }
    uint32_t multiplier;
    int32_t shift;
};

// One running-sum pass along a row of `count` pixels, on the channels first..last: every pixel
// becomes the mean of the window that starts `half` before it. The row is first copied into
// `padded` (count + window pixels) with its end pixels repeated, so the walk needs neither
// clamping nor a ring of the values it overwrites.
template <int first, int last>
void BoxPass(uint8_t* start, int32_t count, int32_t window, int32_t half, uint8_t* padded)
{
    for (int32_t j = 0; j < half; j++)
        std::memcpy(padded + 4 * j, start, 4);
    std::memcpy(padded + 4 * half, start, static_cast<size_t>(count) * 4);
    for (int32_t j = half + count; j < count + window; j++)
        std::memcpy(padded + 4 * j, start + 4 * (count - 1), 4);
    uint32_t sum[4] = { 0, 0, 0, 0 };
    const WindowDivider divide(window);
    for (int32_t k = 0; k < window; k++) {
        for (int c = first; c <= last; c++)
            sum[c] += padded[4 * k + c];
    }
    const uint8_t* leaving = padded;
    const uint8_t* entering = padded + 4 * window;
    uint8_t* p = start;
    for (int32_t x = 0; x < count; x++, p += 4, leaving += 4, entering += 4) {
        for (int c = first; c <= last; c++) {
            p[c] = divide(sum[c]);
            sum[c] += uint32_t(entering[c]) - uint32_t(leaving[c]);
        }
    }
}

// One row of the column pass: each byte of the row becomes its column's mean, and the column's sum
// moves one row on. Nothing here overlaps, which lets the compiler take many columns at once.
template <int first, int last>
void ColumnStep(uint8_t* __restrict out, uint32_t* __restrict sum, const uint8_t* __restrict entering,
    const uint8_t* __restrict leaving, ptrdiff_t bytes, const WindowDivider divide)
{
    for (ptrdiff_t i = 0; i < bytes; i += 4) {
        for (int c = first; c <= last; c++) {
            out[i + c] = divide(sum[i + c]);
            sum[i + c] += uint32_t(entering[i + c]) - uint32_t(leaving[i + c]);
        }
    }
}

// The same pass down `columns` neighbouring columns at once, row by row: walking one column at
// a time touches a new cache line at every pixel. ring holds kRing x columns pixels, sum
// columns x 4 totals, next one row of pixels.
template <int first, int last>
void BoxPassColumns(uint8_t* start, int32_t count, ptrdiff_t stride, int32_t columns, int32_t window, int32_t half,
    uint8_t* ring, uint32_t* sum, uint8_t* next)
{
    const WindowDivider divide(window);
    const ptrdiff_t ringRow = static_cast<ptrdiff_t>(columns) * 4;
    auto row = [start, stride, count](int32_t i) {
        i = i < 0 ? 0 : i >= count ? count - 1 : i;
        return start + static_cast<ptrdiff_t>(i) * stride;
    };
    std::fill(sum, sum + ringRow, 0u);
    for (int32_t k = 0; k < window; k++) {
        const uint8_t* p = row(k - half);
        uint8_t* r = ring + k * ringRow;
        std::memcpy(r, p, static_cast<size_t>(ringRow));
        for (ptrdiff_t i = 0; i < ringRow; i += 4) {
            for (int c = first; c <= last; c++)
                sum[i + c] += p[i + c];
        }
    }
    for (int32_t y = 0; y < count; y++) {
        // The entering row is read before this row is overwritten (at the bottom it is clamped
        // onto this row itself), and the leaving row before the entering one takes its place
        // (they share a place in the ring when the window fills it).
        std::memcpy(next, row(y - half + window), static_cast<size_t>(ringRow));
        uint8_t* leaving = ring + (y % kRing) * ringRow;
        ColumnStep<first, last>(start + static_cast<ptrdiff_t>(y) * stride, sum, next, leaving, ringRow, divide);
        std::memcpy(ring + ((y + window) % kRing) * ringRow, next, static_cast<size_t>(ringRow));
    }
}

template <int first> void BoxBlur(const QV_PixelBuffer& raster, int32_t radius)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return;
    const int32_t window = BoxBlurWindow(radius);
    const int32_t half = window / 2;
    std::vector<uint8_t> padded(static_cast<size_t>(raster.width + window) * 4);
    for (int32_t y = 0; y < raster.height; y++) {
        for (int pass = 0; pass < 2; pass++)
            BoxPass<first, kAlpha>(RasterRow(raster, y), raster.width, window, half, padded.data());
    }
    constexpr int32_t kBlock = 256;
    std::vector<uint8_t> ring(static_cast<size_t>(kRing) * kBlock * 4);
    std::vector<uint32_t> sum(static_cast<size_t>(kBlock) * 4);
    std::vector<uint8_t> next(static_cast<size_t>(kBlock) * 4);
    for (int32_t x = 0; x < raster.width; x += kBlock) {
        const int32_t columns = std::min(kBlock, raster.width - x);
        for (int pass = 0; pass < 2; pass++)
            BoxPassColumns<first, kAlpha>(
                RasterPixel(raster, x, 0), raster.height, raster.rowBytes, columns, window, half, ring.data(), sum.data(), next.data());
    }
}

} // namespace

int32_t BoxBlurWindow(int32_t radius)
{
    radius = radius < 1 ? 1 : radius > 256 ? 256 : radius;
    int32_t window = static_cast<int32_t>(std::floor(static_cast<float>(radius) * 0.5f + 0.5f));
    if (window % 2 == 0)
        window++;
    return window < 3 ? 3 : window > kRing ? kRing : window;
}

void BoxBlurRGBA(const QV_PixelBuffer& raster, int32_t radius)
{
    BoxBlur<kBlue>(raster, radius);
}

void BoxBlurAlpha(const QV_PixelBuffer& raster, int32_t radius)
{
    BoxBlur<kAlpha>(raster, radius);
}
