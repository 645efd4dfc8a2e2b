#include "blur_kernels.h"

#include "raster_rows.h"

#include <cmath>
#include <cstddef>
#include <memory>
#include <new>

namespace {

int32_t RoundHalfAway(float value)
{
    return static_cast<int32_t>(value >= 0 ? std::floor(value + 0.5f) : std::ceil(value - 0.5f));
}

int32_t ClampInt(int32_t value, int32_t lo, int32_t hi)
{
    return value < lo ? lo : value > hi ? hi : value;
}

float Ease(float t)
{
    return 3 * t * t - 2 * t * t * t;
}

bool Is32(const QV_PixelBuffer& raster)
{
    return raster.pixels && raster.bytesPerPixel == 4 && raster.width > 0 && raster.height > 0;
}

bool SameSize32(const QV_PixelBuffer& a, const QV_PixelBuffer& b)
{
    return Is32(a) && Is32(b) && a.width == b.width && a.height == b.height;
}

void SumWeights(PixelKernel& kernel)
{
    const int32_t size = 2 * kernel.radius + 1;
    int32_t sum = 0;
    for (int32_t y = 0; y < size; y++)
        for (int32_t x = 0; x < size; x++)
            sum += kernel.weights[y][x];
    kernel.weightSum = sum < 1 ? 1 : sum;
}

// The alpha bytes of a raster, row after row; null when out of memory.
std::unique_ptr<uint8_t[]> CopyAlpha(const QV_PixelBuffer& raster)
{
    const size_t width = static_cast<size_t>(raster.width);
    std::unique_ptr<uint8_t[]> plane(new (std::nothrow) uint8_t[width * static_cast<size_t>(raster.height)]);
    if (!plane)
        return plane;
    for (int32_t y = 0; y < raster.height; y++) {
        const uint8_t* p = RasterRow(raster, y);
        uint8_t* out = plane.get() + y * width;
        for (int32_t x = 0; x < raster.width; x++)
            out[x] = p[x * 4 + kAlpha];
    }
    return plane;
}

// Minimum or maximum over the clamped square window, separably: rows first, then columns.
template <typename Pick>
void RankAlpha(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t radius, uint8_t start, Pick pick)
{
    if (!SameSize32(source, destination))
        return;
    if (radius < 0)
        radius = 0;
    const int32_t width = source.width;
    const int32_t height = source.height;
    std::unique_ptr<uint8_t[]> alpha = CopyAlpha(source);
    std::unique_ptr<uint8_t[]> across(new (std::nothrow) uint8_t[size_t(width) * size_t(height)]);
    if (!alpha || !across)
        return;
    for (int32_t y = 0; y < height; y++) {
        const uint8_t* in = alpha.get() + size_t(y) * size_t(width);
        uint8_t* out = across.get() + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; x++) {
            uint8_t value = start;
            const int32_t last = x + radius < width ? x + radius : width - 1;
            for (int32_t k = x - radius < 0 ? 0 : x - radius; k <= last; k++)
                value = pick(value, in[k]);
            out[x] = value;
        }
    }
    for (int32_t y = 0; y < height; y++) {
        uint8_t* p = RasterRow(destination, y);
        const int32_t last = y + radius < height ? y + radius : height - 1;
        for (int32_t x = 0; x < width; x++) {
            uint8_t value = start;
            for (int32_t k = y - radius < 0 ? 0 : y - radius; k <= last; k++)
                value = pick(value, across[size_t(k) * size_t(width) + size_t(x)]);
            p[x * 4 + kAlpha] = value;
        }
    }
}

// One pass of the 1-D disc weights over `count` alphas at `stride` bytes apart, in place.
void DiscPass(uint8_t* first, int32_t count, ptrdiff_t stride, const int32_t* weights, int32_t r, int32_t sum)
{
    constexpr int32_t kRing = 64;
    uint8_t ring[kRing];
    auto at = [first, stride](int32_t i) -> uint8_t& { return first[static_cast<ptrdiff_t>(i) * stride]; };
    for (int32_t k = 0; k <= 2 * r; k++)
        ring[k] = at(ClampInt(k - r, 0, count - 1));
    for (int32_t x = 0; x < count; x++) {
        int32_t total = 0;
        for (int32_t k = 0; k <= 2 * r; k++)
            total += ring[(x + k) % kRing] * weights[k];
        // The column entering the window is read before it is overwritten.
        const int32_t entering = x + r + 1 < count ? x + r + 1 : count - 1;
        const uint8_t next = at(entering);
        const int32_t value = total / sum;
        at(x) = static_cast<uint8_t>(value > 255 ? 255 : value);
        ring[(x + 2 * r + 1) % kRing] = next;
    }
}

} // namespace

void BuildDiscKernel(int32_t& radius, PixelKernel& kernel)
{
    const int32_t r = ClampInt(radius / 2, 1, PixelKernel::kMaxRadius);
    radius = r;
    kernel.radius = r;
    for (int32_t dy = -r; dy <= r; dy++) {
        for (int32_t dx = -r; dx <= r; dx++) {
            float l = std::sqrt(static_cast<float>(dx * dx + dy * dy)) / static_cast<float>(r);
            l = l < 0 ? 0 : l > 1 ? 1 : l;
            kernel.weights[dy + r][dx + r]
                = RoundHalfAway(static_cast<float>(r + 1) - static_cast<float>(r) * Ease(l));
        }
    }
    SumWeights(kernel);
}

void BuildMotionBlurKernel(int32_t& length, PixelKernel& kernel, int32_t angle)
{
    const int32_t n = ClampInt(length, 1, PixelKernel::kMaxRadius);
    length = n;
    kernel.radius = n;
    int32_t folded = angle % 360;
    if (folded < 0)
        folded += 360;
    if (folded >= 180)
        folded -= 180;
    const float pi = 3.1415927f;
    const float twoPi = 6.2831855f;
    const float quarter = 1.5707964f;
    const float along = static_cast<float>(folded) * pi / 180.0f;
    const float fn = static_cast<float>(n);
    for (int32_t dy = -n; dy <= n; dy++) {
        for (int32_t dx = -n; dx <= n; dx++) {
            const float dist = std::sqrt(static_cast<float>(dx * dx + dy * dy));
            float reach = 1;
            if (dx != 0 || dy != 0) {
                float theta = std::atan2(static_cast<float>(-dy), static_cast<float>(dx));
                if (theta < 0)
                    theta += twoPi;
                if (theta > twoPi)
                    theta -= twoPi;
                if (theta >= pi)
                    theta -= pi;
                float u = std::fabs(theta - along);
                if (u > 1.5707973f)
                    u -= quarter;
                float v = u / quarter;
                v = v < 0 ? 0 : v > 1 ? 1 : v;
                reach = (fn - 1) * v + 1;
            }
            const float q = reach * dist / fn;
            kernel.weights[dy + n][dx + n] = q > 1 ? 0 : RoundHalfAway((fn + 1) - fn * Ease(q));
        }
    }
    SumWeights(kernel);
}

void ApplyBlurKernel(
    const QV_PixelBuffer& source, const QV_PixelBuffer& destination, const PixelKernel& kernel)
{
    if (!SameSize32(source, destination) || kernel.radius < 0 || kernel.radius > PixelKernel::kMaxRadius)
        return;
    const int32_t r = kernel.radius;
    const int32_t width = source.width;
    const int32_t height = source.height;
    std::unique_ptr<uint8_t[]> alpha = CopyAlpha(source);
    if (!alpha)
        return;
    for (int32_t y = 0; y < height; y++) {
        const uint8_t* in = RasterRow(source, y);
        uint8_t* out = RasterRow(destination, y);
        for (int32_t x = 0; x < width; x++) {
            int32_t total = 0;
            int32_t divisor = kernel.weightSum;
            const bool inside = x - r >= 0 && x + r < width && y - r >= 0 && y + r < height;
            for (int32_t dy = -r; dy <= r; dy++) {
                const int32_t sy = y + dy;
                const int32_t* weights = kernel.weights[dy + r];
                if (!inside && (sy < 0 || sy >= height)) {
                    for (int32_t dx = -r; dx <= r; dx++)
                        divisor -= weights[dx + r];
                    continue;
                }
                const uint8_t* line = alpha.get() + size_t(sy) * size_t(width);
                for (int32_t dx = -r; dx <= r; dx++) {
                    const int32_t sx = x + dx;
                    if (!inside && (sx < 0 || sx >= width)) {
                        divisor -= weights[dx + r];
                        continue;
                    }
                    total += weights[dx + r] * line[sx];
                }
            }
            if (divisor < 1)
                divisor = 1;
            int32_t value = total / divisor;
            value = ClampInt(value, 0, 255);
            // Colour from the source; when the rasters are one, the colour is already in place.
            out[x * 4 + kBlue] = in[x * 4 + kBlue];
            out[x * 4 + kGreen] = in[x * 4 + kGreen];
            out[x * 4 + kRed] = in[x * 4 + kRed];
            out[x * 4 + kAlpha] = static_cast<uint8_t>(value);
        }
    }
}

void ErodeAlpha(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t radius)
{
    RankAlpha(source, destination, radius, 255, [](uint8_t a, uint8_t b) { return b < a ? b : a; });
}

void DilateAlpha(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t radius)
{
    RankAlpha(source, destination, radius, 0, [](uint8_t a, uint8_t b) { return b > a ? b : a; });
}

void DiscBlur(const QV_PixelBuffer& raster, int32_t radius)
{
    if (radius < 1 || !Is32(raster))
        return;
    PixelKernel kernel;
    int32_t r = radius;
    BuildDiscKernel(r, kernel);
    const int32_t* weights = kernel.weights[r];
    int32_t sum = 0;
    for (int32_t k = 0; k <= 2 * r; k++)
        sum += weights[k];
    if (sum < 1)
        sum = 1;
    for (int32_t y = 0; y < raster.height; y++)
        DiscPass(RasterRow(raster, y) + kAlpha, raster.width, 4, weights, r, sum);
    for (int32_t x = 0; x < raster.width; x++)
        DiscPass(RasterPixel(raster, x, 0) + kAlpha, raster.height, raster.rowBytes, weights, r, sum);
}
