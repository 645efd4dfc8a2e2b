#include "fixed_bilinear.h"

#include <cmath>
#include <cstddef>

namespace {

int32_t Modulo(int32_t value, int32_t size)
{
    // The remainder keeps the dividend's sign; a negative one (only reachable from coordinates the
    // callers failed to clamp) is brought into the texture so that no read leaves it.
    value %= size;
    return value < 0 ? value + size : value;
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

uint8_t ToByte(float value)
{
    const float rounded = value >= 0 ? std::floor(value + 0.5f) : std::ceil(value - 0.5f);
    if (!(rounded >= 0))
        return 0;
    return rounded > 255 ? 255 : static_cast<uint8_t>(rounded);
}

struct Texel {
    float b, g, r, a;
};

Texel Read(uint8_t* const* rows, int32_t x, int32_t y)
{
    const uint8_t* p = rows[y] + static_cast<ptrdiff_t>(x) * 4;
    return Texel { float(p[0]), float(p[1]), float(p[2]), float(p[3]) };
}

} // namespace

rgb_color SampleBilinearFixed(
    const QV_PixelBuffer& texture, uint8_t* const* rows, int32_t u, int32_t v, bool wrap)
{
    const int32_t width = texture.width;
    const int32_t height = texture.height;
    if (!rows || !texture.pixels || texture.bytesPerPixel != 4 || width <= 0 || height <= 0)
        return rgb_color { 0, 0, 0, 0 };
    float fu = static_cast<float>(u) * (1.0f / 65536.0f);
    float fv = static_cast<float>(v) * (1.0f / 65536.0f);
    if (wrap) {
        fu = std::fmod(fu, static_cast<float>(width));
        if (fu < 0)
            fu += static_cast<float>(width);
        fv = std::fmod(fv, static_cast<float>(height));
        if (fv < 0)
            fv += static_cast<float>(height);
    }
    const int32_t floorU = static_cast<int32_t>(std::floor(fu));
    const int32_t floorV = static_cast<int32_t>(std::floor(fv));
    const int32_t x0 = Modulo(floorU, width);
    const int32_t x1 = Modulo(floorU + 1, width);
    const int32_t y0 = Modulo(floorV, height);
    const int32_t y1 = Modulo(floorV + 1, height);
    const float fx = fu - static_cast<float>(x0);
    const float fy = fv - static_cast<float>(y0);

    const Texel t0 = Read(rows, x0, y0);
    const Texel t1 = Read(rows, x1, y0);
    const Texel b0 = Read(rows, x0, y1);
    const Texel b1 = Read(rows, x1, y1);
    const Texel top { Lerp(t0.b, t1.b, fx), Lerp(t0.g, t1.g, fx), Lerp(t0.r, t1.r, fx),
        (t0.a == 0 && t1.a == 0) ? 0.0f : Lerp(t0.a, t1.a, fx) };
    const Texel bottom { Lerp(b0.b, b1.b, fx), Lerp(b0.g, b1.g, fx), Lerp(b0.r, b1.r, fx),
        (b0.a == 0 && b1.a == 0) ? 0.0f : Lerp(b0.a, b1.a, fx) };
    if (b0.a == 0 && b1.a == 0 && top.a == 0)
        return rgb_color { 0, 0, 0, 0 };
    return rgb_color { ToByte(Lerp(top.r, bottom.r, fy)), ToByte(Lerp(top.g, bottom.g, fy)),
        ToByte(Lerp(top.b, bottom.b, fy)), ToByte(Lerp(top.a, bottom.a, fy)) };
}
