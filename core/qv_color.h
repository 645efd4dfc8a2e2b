#pragma once
#include <cstdint>

// The packed 8-bit colour of documents, settings and the graphics context.
// Its bytes lie r, g, b, a in memory, so read as one little-endian 32-bit
// value it is r | g << 8 | b << 16 | a << 24. Alpha 255 is opaque.
struct rgb_color {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    uint8_t a;
};
static_assert(sizeof(rgb_color) == 4, "rgb_color is stored and blended as 4 bytes");

// Floating-point colour for arithmetic; channels may leave 0..1 on the way.
// Alpha never takes part in the arithmetic: it rides along with the left
// operand.
struct QV_ColorVector {
    float r = 1;
    float g = 1;
    float b = 1;
    float a = 1;

    void Set(rgb_color c);
    // Opaque.
    void Set(float nr, float ng, float nb);
    void Set(float nr, float ng, float nb, float na);
    void Set(const QV_ColorVector& c);
    // Alpha takes no part in the magnitude, the inversion and the black and white tests.
    float Mag() const;
    float SquaredMag() const;
    void Invert();
    bool IsBlack() const;
    bool IsWhite() const;
    bool IsOpaque() const;
    bool IsTransparent() const;
    // Clamps all four channels to 0..1.
    void Normalize();
    // Rounded half away from zero and clamped to 0..255.
    rgb_color AsColorStruct() const;

    QV_ColorVector operator+(const QV_ColorVector& c) const;
    QV_ColorVector operator-(const QV_ColorVector& c) const;
    QV_ColorVector operator*(const QV_ColorVector& c) const;
    QV_ColorVector operator*(float f) const;
    QV_ColorVector operator/(float f) const;
    QV_ColorVector operator+=(const QV_ColorVector& c);
    QV_ColorVector operator*=(const QV_ColorVector& c);
    QV_ColorVector operator*=(float f);
    QV_ColorVector operator/=(float f);
};

// Byte RGB to byte hue, saturation, lightness (hexcone model). The hue wraps,
// so it only takes 0..254.
void RGBToHSL(uint8_t r, uint8_t g, uint8_t b, uint8_t& h, uint8_t& s, uint8_t& l);
// Byte hue, saturation, lightness back to byte RGB; hue 255 reads as 0.
void HSLToRGB(uint8_t h, uint8_t s, uint8_t l, uint8_t& r, uint8_t& g, uint8_t& b);
