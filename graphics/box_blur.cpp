#include "box_blur.h"

#include "raster_rows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace {

constexpr int32_t kRing = 128;

// One running-sum pass over `count` pixels `stride` bytes apart, on the channels first..last:
// every pixel becomes the mean of the window that starts `half` before it.
template <int first, int last>
void BoxPass(uint8_t* start, int32_t count, ptrdiff_t stride, int32_t window, int32_t half)
{
    uint8_t ring[kRing][4];
    int32_t sum[4] = { 0, 0, 0, 0 };
    // sum / window by a multiplication: sums stay below 2^15, where this reciprocal is exact.
    const uint64_t reciprocal
        = ((uint64_t(1) << 32) + static_cast<uint64_t>(window) - 1) / static_cast<uint64_t>(window);
    auto pixel = [start, stride, count](int32_t i) {
        i = i < 0 ? 0 : i >= count ? count - 1 : i;
        return start + static_cast<ptrdiff_t>(i) * stride;
    };
    for (int32_t k = 0; k < window; k++) {
        const uint8_t* p = pixel(k - half);
        for (int c = first; c <= last; c++) {
            ring[k][c] = p[c];
            sum[c] += p[c];
        }
    }
    for (int32_t x = 0; x < count; x++) {
        // Read the value entering the window before this pixel is overwritten (at the end of the
        // row the entering position is clamped onto the pixel itself).
        const uint8_t* entering = pixel(x - half + window);
        uint8_t next[4];
        for (int c = first; c <= last; c++)
            next[c] = entering[c];
        uint8_t* p = start + static_cast<ptrdiff_t>(x) * stride;
        uint8_t* leaving = ring[x % kRing];
        uint8_t* arriving = ring[(x + window) % kRing];
        for (int c = first; c <= last; c++) {
            p[c] = static_cast<uint8_t>((static_cast<uint64_t>(sum[c]) * reciprocal) >> 32);
            sum[c] += next[c] - leaving[c];
            arriving[c] = next[c];
        }
    }
}

// The same pass down `columns` neighbouring columns at once, row by row: walking one column at
// a time touches a new cache line at every pixel. ring holds kRing x columns pixels, sum
// columns x 4 totals.
template <int first, int last>
void BoxPassColumns(uint8_t* start, int32_t count, ptrdiff_t stride, int32_t columns, int32_t window, int32_t half,
    uint8_t* ring, int32_t* sum)
{
    const uint64_t reciprocal
        = ((uint64_t(1) << 32) + static_cast<uint64_t>(window) - 1) / static_cast<uint64_t>(window);
    const ptrdiff_t ringRow = static_cast<ptrdiff_t>(columns) * 4;
    auto row = [start, stride, count](int32_t i) {
        i = i < 0 ? 0 : i >= count ? count - 1 : i;
        return start + static_cast<ptrdiff_t>(i) * stride;
    };
    std::fill(sum, sum + ringRow, 0);
    for (int32_t k = 0; k < window; k++) {
        const uint8_t* p = row(k - half);
        uint8_t* r = ring + k * ringRow;
        for (ptrdiff_t i = 0; i < ringRow; i += 4) {
            for (int c = first; c <= last; c++) {
                r[i + c] = p[i + c];
                sum[i + c] += p[i + c];
            }
        }
    }
    for (int32_t y = 0; y < count; y++) {
        // The entering row is read before this row is overwritten (at the bottom it is clamped
        // onto this row itself).
        const uint8_t* entering = row(y - half + window);
        uint8_t* p = start + static_cast<ptrdiff_t>(y) * stride;
        uint8_t* leaving = ring + (y % kRing) * ringRow;
        uint8_t* arriving = ring + ((y + window) % kRing) * ringRow;
        for (ptrdiff_t i = 0; i < ringRow; i += 4) {
            for (int c = first; c <= last; c++) {
                const uint8_t next = entering[i + c];
                p[i + c] = static_cast<uint8_t>((static_cast<uint64_t>(sum[i + c]) * reciprocal) >> 32);
                sum[i + c] += next - leaving[i + c];
                arriving[i + c] = next;
            }
        }
    }
}

template <int first> void BoxBlur(const QV_PixelBuffer& raster, int32_t radius)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return;
    const int32_t window = BoxBlurWindow(radius);
    const int32_t half = window / 2;
    for (int32_t y = 0; y < raster.height; y++) {
        for (int pass = 0; pass < 2; pass++)
            BoxPass<first, kAlpha>(RasterRow(raster, y), raster.width, 4, window, half);
    }
    constexpr int32_t kBlock = 64;
    std::vector<uint8_t> ring(static_cast<size_t>(kRing) * kBlock * 4);
    std::vector<int32_t> sum(static_cast<size_t>(kBlock) * 4);
    for (int32_t x = 0; x < raster.width; x += kBlock) {
        const int32_t columns = std::min(kBlock, raster.width - x);
        for (int pass = 0; pass < 2; pass++)
            BoxPassColumns<first, kAlpha>(
                RasterPixel(raster, x, 0), raster.height, raster.rowBytes, columns, window, half, ring.data(), sum.data());
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
