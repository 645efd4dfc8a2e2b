#include "texel_sampler.h"

#include "raster_rows.h"
#include <cmath>

namespace {

// Far enough outside any raster that clamping gives the edge, near enough that
// the conversion to int stays defined.
constexpr float kCoordinateLimit = 1.0e7f;

int32_t FloorLikeTruncation(float value)
{
    // Truncation minus one for negatives: for whole negative values this is one
    // below the floor, but the fraction then becomes 1 and the sample the same.
    int32_t whole = static_cast<int32_t>(value);
    if (value < 0.0f)
        whole--;
    return whole;
}

int32_t Wrap(int32_t value, int32_t size)
{
    value %= size;
    return value < 0 ? value + size : value;
}

int32_t Clamp(int32_t value, int32_t size)
{
    if (value < 0)
        return 0;
    return value >= size ? size - 1 : value;
}

float Channel(uint32_t pixel, int shift)
{
    return static_cast<float>((pixel >> shift) & 0xFF);
}

} // namespace

uint32_t SampleTexelBilinear(const QV_PixelBuffer& raster, float u, float v, bool wrap)
{
    if (!raster.pixels || raster.width <= 0 || raster.height <= 0 || raster.bytesPerPixel != 4)
        return 0;
    if (!std::isfinite(u) || !std::isfinite(v))
        return 0;
    u = std::fmax(-kCoordinateLimit, std::fmin(u, kCoordinateLimit));
    v = std::fmax(-kCoordinateLimit, std::fmin(v, kCoordinateLimit));

    if (wrap) {
        while (u < 0.0f)
            u += static_cast<float>(raster.width);
        while (v < 0.0f)
            v += static_cast<float>(raster.height);
    }
    int32_t x0 = FloorLikeTruncation(u);
    int32_t y0 = FloorLikeTruncation(v);
    int32_t x1 = x0 + 1;
    int32_t y1 = y0 + 1;
    const float fx = u - static_cast<float>(x0);
    const float fy = v - static_cast<float>(y0);
    if (wrap) {
        x0 = Wrap(x0, raster.width);
        x1 = Wrap(x1, raster.width);
        y0 = Wrap(y0, raster.height);
        y1 = Wrap(y1, raster.height);
    }
    x0 = Clamp(x0, raster.width);
    x1 = Clamp(x1, raster.width);
    y0 = Clamp(y0, raster.height);
    y1 = Clamp(y1, raster.height);

    auto at = [&raster](int32_t x, int32_t y) { return LoadPixel32(RasterPixel(raster, x, y)); };
    const uint32_t p00 = at(x0, y0);
    const uint32_t p10 = at(x1, y0);
    const uint32_t p01 = at(x0, y1);
    const uint32_t p11 = at(x1, y1);

    const float topAlpha = Channel(p00, 24) + fx * (Channel(p10, 24) - Channel(p00, 24));
    if (topAlpha == 0.0f && (p01 >> 24) == 0 && (p11 >> 24) == 0)
        return 0;

    uint32_t result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const float top = Channel(p00, shift) + fx * (Channel(p10, shift) - Channel(p00, shift));
        const float bottom = Channel(p01, shift) + fx * (Channel(p11, shift) - Channel(p01, shift));
        const float value = std::round(top + fy * (bottom - top));
        const uint32_t byte = value <= 0.0f ? 0u : value >= 255.0f ? 255u : static_cast<uint32_t>(value);
        result |= byte << shift;
    }
    return result;
}
