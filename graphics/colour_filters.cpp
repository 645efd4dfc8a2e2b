#include "colour_filters.h"

#include "qv_random.h"
#include "raster_rows.h"

#include <cmath>

namespace {

bool Is32(const QV_PixelBuffer& raster)
{
    return raster.pixels && raster.bytesPerPixel == 4 && raster.width > 0 && raster.height > 0;
}

uint8_t ClampByte(int32_t value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
}

} // namespace

void AdjustMidtones(const QV_PixelBuffer& raster, float factor)
{
    if (!Is32(raster))
        return;
    float middle = std::fabs(factor * 127.0f);
    middle = middle > 255 ? 255 : middle;
    if (!(middle >= 0))
        middle = 0;
    uint8_t ramp[256];
    for (int32_t i = 0; i < 256; i++) {
        const float value = i < 128 ? static_cast<float>(i) / 127.0f * middle
                                    : static_cast<float>(i - 128) / 127.0f * (255.0f - middle) + middle;
        ramp[i] = ClampByte(static_cast<int32_t>(std::floor(value + 0.5f)));
    }
    ForEachPixel32Of(raster, [&ramp](uint8_t* p) {
        p[kBlue] = ramp[p[kBlue]];
        p[kGreen] = ramp[p[kGreen]];
        p[kRed] = ramp[p[kRed]];
    });
}

void AddNoise(const QV_PixelBuffer& raster, int32_t spread)
{
    if (!Is32(raster) || spread < 1)
        return;
    ForEachPixel32Of(raster, [spread](uint8_t* p) {
        const int32_t offset = QV_Rand() % spread - spread / 2;
        p[kBlue] = ClampByte(p[kBlue] + offset);
        p[kGreen] = ClampByte(p[kGreen] + offset);
        p[kRed] = ClampByte(p[kRed] + offset);
    });
}

void Desaturate(const QV_PixelBuffer& raster)
{
    if (!Is32(raster))
        return;
    ForEachPixel32Of(raster, [](uint8_t* p) {
        const uint8_t grey = static_cast<uint8_t>((2 * p[kRed] + 2 * p[kGreen] + p[kBlue]) / 5);
        p[kBlue] = grey;
        p[kGreen] = grey;
        p[kRed] = grey;
    });
}
