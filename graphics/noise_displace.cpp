#include "noise_displace.h"

#include "qv_noise.h"
#include "raster_rows.h"

#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace {

std::atomic<int32_t> gDisplacementCounter { 0 };

int32_t RoundHalfAway(float value)
{
    // Clamped well inside int32 first: noise amplitudes are the caller's.
    value = value < -1e9f ? -1e9f : value > 1e9f ? 1e9f : value;
    if (!(value == value))
        return 0;
    return static_cast<int32_t>(value >= 0 ? std::floor(value + 0.5f) : std::ceil(value - 0.5f));
}

uint8_t ClampByte(int32_t value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

int32_t ClampIndex(int32_t value, int32_t size)
{
    return value < 0 ? 0 : value >= size ? size - 1 : value;
}

} // namespace

void DisplaceByNoise(const QV_PixelBuffer& raster, float displaceAmplitude, float displaceFrequency,
    float colorAmplitude, float colorFrequency, float alphaAmplitude, float alphaFrequency)
{
    if (!raster.pixels || raster.bytesPerPixel != 4 || raster.width <= 0 || raster.height <= 0)
        return;
    const size_t rowBytes = static_cast<size_t>(raster.width) * 4;
    std::unique_ptr<uint8_t[]> copy(
        new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(raster.height)]);
    if (!copy)
        return;
    for (int32_t y = 0; y < raster.height; y++)
        std::memcpy(copy.get() + y * rowBytes, RasterRow(raster, y), rowBytes);

    const bool displace = displaceAmplitude >= 1e-6f;
    const bool colour = colorAmplitude >= 1e-6f;
    const bool alpha = alphaAmplitude >= 1e-6f;
    const int32_t seed = gDisplacementCounter.load();
    const float height = static_cast<float>(raster.height);
    for (int32_t y = 0; y < raster.height; y++) {
        uint8_t* out = RasterRow(raster, y);
        for (int32_t x = 0; x < raster.width; x++, out += 4) {
            const float px = static_cast<float>(x) / height;
            const float py = static_cast<float>(y) / height;
            int32_t sx = x;
            int32_t sy = y;
            if (displace) {
                const QV_Vector2 d
                    = JitterVector2D(QV_Vector2 { px, py }, displaceAmplitude, displaceFrequency, seed);
                sx = ClampIndex(RoundHalfAway(static_cast<float>(x) + d.x), raster.width);
                sy = ClampIndex(RoundHalfAway(static_cast<float>(y) + d.y), raster.height);
            }
            const uint8_t* in = copy.get() + static_cast<size_t>(sy) * rowBytes + static_cast<size_t>(sx) * 4;
            uint8_t pixel[4] = { in[kBlue], in[kGreen], in[kRed], in[kAlpha] };
            if (pixel[kAlpha] != 0) {
                const QV_Vector3 at { px, py, 0 };
                if (colour) {
                    const QV_Vector3 n = FractalNoiseVector3D(at, colorAmplitude, colorFrequency);
                    pixel[kRed] = ClampByte(pixel[kRed] + RoundHalfAway(n.x));
                    pixel[kGreen] = ClampByte(pixel[kGreen] + RoundHalfAway(n.y));
                    pixel[kBlue] = ClampByte(pixel[kBlue] + RoundHalfAway(n.z));
                }
                if (alpha)
                    pixel[kAlpha] = ClampByte(
                        pixel[kAlpha] + RoundHalfAway(FractalNoise3D(at, alphaAmplitude, alphaFrequency)));
            }
            std::memcpy(out, pixel, 4);
        }
    }
    gDisplacementCounter.fetch_add(1);
}
