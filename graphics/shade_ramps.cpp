#include "shade_ramps.h"

#include <atomic>
#include <mutex>

uint32_t ShadeRamp32[256][256];
uint16_t ShadeRamp15[256][256];
uint8_t ShadeRamp8[256][256];

namespace {

std::once_flag gRampsOnce;
std::atomic<bool> gRampsBuilt { false };

uint32_t Shade(uint32_t channel, int32_t s)
{
    const float c = static_cast<float>(channel);
    float value;
    if (s < 128)
        value = c * (static_cast<float>(s) * 0.0078125f);
    else if (s == 128)
        value = c;
    else
        value = c + (255.0f - c) * (static_cast<float>(s - 128) / 127.0f);
    if (value < 0)
        value = 0;
    if (value > 255.05f)
        value = 255.05f;
    return static_cast<uint32_t>(value);
}

void Fill(const uint32_t* colors, const uint8_t* inverseMap)
{
    for (int32_t k = 0; k < 256; k++) {
        const uint32_t color = colors[k];
        const uint32_t red = (color >> 16) & 0xFF;
        const uint32_t green = (color >> 8) & 0xFF;
        const uint32_t blue = color & 0xFF;
        for (int32_t s = 0; s < 256; s++) {
            const uint32_t r = Shade(red, s);
            const uint32_t g = Shade(green, s);
            const uint32_t b = Shade(blue, s);
            ShadeRamp32[k][s] = 0xFF000000u | r << 16 | g << 8 | b;
            const uint32_t c15 = (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
            ShadeRamp15[k][s] = static_cast<uint16_t>(c15);
            ShadeRamp8[k][s] = inverseMap[c15];
        }
    }
}

} // namespace

void BuildShadeRamps(const uint32_t* colors, const uint8_t* inverseMap)
{
    if (!colors || !inverseMap)
        return;
    // The flag is published only after every entry is written.
    std::call_once(gRampsOnce, [colors, inverseMap] {
        Fill(colors, inverseMap);
        gRampsBuilt.store(true, std::memory_order_release);
    });
}

bool ShadeRampsBuilt()
{
    return gRampsBuilt.load(std::memory_order_acquire);
}
