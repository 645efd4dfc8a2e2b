#pragma once
#include <cstdint>

// Blend one colour, weighted by its own alpha, into one pixel in place.
//
// The colour is packed as an rgb_color read as a little-endian 32-bit value:
// red in bits 0-7, green 8-15, blue 16-23, alpha 24-31. That is NOT the layout
// of a 32-bit pixel (red in bits 16-23); callers holding a pixel value swap red
// and blue first. The blend tables must have been built.
//
// A 32-bit pixel's new alpha is its alpha plus 255 minus the colour's alpha
// (capped at 255): an opaque colour keeps the pixel's alpha, a transparent one
// keeps its colour and makes it opaque. Shadows and span fillers rely on this.
void BlendPixel32(uint32_t* pixel, uint32_t color);
// 5:5:5; bit 15 is cleared.
void BlendPixel15(uint16_t* pixel, uint32_t color);
// 5:6:5.
void BlendPixel16(uint16_t* pixel, uint32_t color);
// Palette index; the result is the nearest palette entry (index 0 included).
void BlendPixel8(uint8_t* pixel, uint32_t color);
