#include "qv_color.h"
#include <algorithm>
#include <cmath>

namespace {

constexpr float kByteScale = 1.0f / 255.0f;

// value * 255, half away from zero, clamped to a byte.
uint8_t UnitToByte(float v)
{
    float scaled = std::round(v * 255.0f);
    return static_cast<uint8_t>(std::clamp(scaled, 0.0f, 255.0f));
}

} // namespace

void QV_ColorVector::Set(rgb_color c)
{
    r = c.r * kByteScale;
    g = c.g * kByteScale;
    b = c.b * kByteScale;
    a = c.a * kByteScale;
}

void QV_ColorVector::Normalize()
{
    r = std::clamp(r, 0.0f, 1.0f);
    g = std::clamp(g, 0.0f, 1.0f);
    b = std::clamp(b, 0.0f, 1.0f);
    a = std::clamp(a, 0.0f, 1.0f);
}

rgb_color QV_ColorVector::AsColorStruct() const
{
    return rgb_color { UnitToByte(r), UnitToByte(g), UnitToByte(b), UnitToByte(a) };
}

QV_ColorVector QV_ColorVector::operator+(const QV_ColorVector& c) const
{
    return QV_ColorVector { r + c.r, g + c.g, b + c.b, a };
}

QV_ColorVector QV_ColorVector::operator-(const QV_ColorVector& c) const
{
    return QV_ColorVector { r - c.r, g - c.g, b - c.b, a };
}

QV_ColorVector QV_ColorVector::operator*(const QV_ColorVector& c) const
{
    return QV_ColorVector { r * c.r, g * c.g, b * c.b, a };
}

QV_ColorVector QV_ColorVector::operator*(float f) const
{
    return QV_ColorVector { r * f, g * f, b * f, a };
}

QV_ColorVector QV_ColorVector::operator/(float f) const
{
    return QV_ColorVector { r / f, g / f, b / f, a };
}

QV_ColorVector QV_ColorVector::operator+=(const QV_ColorVector& c)
{
    return *this = *this + c;
}

QV_ColorVector QV_ColorVector::operator*=(const QV_ColorVector& c)
{
    return *this = *this * c;
}

QV_ColorVector QV_ColorVector::operator*=(float f)
{
    return *this = *this * f;
}

QV_ColorVector QV_ColorVector::operator/=(float f)
{
    return *this = *this / f;
}

void RGBToHSL(uint8_t rb, uint8_t gb, uint8_t bb, uint8_t& h, uint8_t& s, uint8_t& l)
{
    float r = rb * kByteScale;
    float g = gb * kByteScale;
    float b = bb * kByteScale;
    float max = std::max({ r, g, b });
    float min = std::min({ r, g, b });
    float L = (max + min) / 2;
    if (L <= 0) {
        h = s = l = 0;
        return;
    }
    float delta = max - min;
    if (delta <= 0) {
        // A grey keeps its input byte exactly, with no round trip through
        // float.
        h = 0;
        s = 0;
        l = rb;
        return;
    }
    float S = (L < 0.5f) ? delta / (max + min) : delta / (2 - max - min);
    float rc = (max - r) / delta;
    float gc = (max - g) / delta;
    float bc = (max - b) / delta;
    float h6;
    if (b > r && b > g)
        h6 = (r == min) ? 3 + gc : 5 - rc;
    else if (g > r)
        h6 = (b == min) ? 1 + rc : 3 - bc;
    else
        h6 = (g == min) ? 5 + bc : 1 - gc;
    uint8_t hue = UnitToByte(h6 / 6);
    // Full circle is red again: the hue byte wraps before 255.
    h = (hue == 255) ? 0 : hue;
    s = UnitToByte(S);
    l = UnitToByte(L);
}

void HSLToRGB(uint8_t hb, uint8_t sb, uint8_t lb, uint8_t& r, uint8_t& g, uint8_t& b)
{
    if (lb == 255) {
        r = g = b = 255;
        return;
    }
    if (lb == 0) {
        r = g = b = 0;
        return;
    }
    float L = lb * kByteScale;
    float S = sb * kByteScale;
    float m2 = (L < 0.5f) ? L * (S + 1) : L + S - L * S;
    float m1 = 2 * L - m2;
    float H = (hb == 255 ? 0 : hb) * kByteScale;
    float h6 = H * 6;
    int32_t k = std::clamp(static_cast<int32_t>(h6), 0, 5);
    float f = h6 - k;
    float rising = m1 + (m2 - m1) * f;
    float falling = m2 - (m2 - m1) * f;
    float cr, cg, cb;
    switch (k) {
    case 0:
        cr = m2, cg = rising, cb = m1;
        break;
    case 1:
        cr = falling, cg = m2, cb = m1;
        break;
    case 2:
        cr = m1, cg = m2, cb = rising;
        break;
    case 3:
        cr = m1, cg = falling, cb = m2;
        break;
    case 4:
        cr = rising, cg = m1, cb = m2;
        break;
    default:
        cr = m2, cg = m1, cb = falling;
        break;
    }
    r = UnitToByte(cr);
    g = UnitToByte(cg);
    b = UnitToByte(cb);
}
