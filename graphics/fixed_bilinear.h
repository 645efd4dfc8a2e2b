#pragma once
#include "qv_color.h"
#include "qv_pixelbuffer.h"
#include <cstdint>

// The rasterisers' filtered texel of a 32-bit texture (bytes b, g, r, a) at 16.16 texel
// coordinates, read through the texture's row table. Neighbour columns and rows are taken modulo
// the texture size, so the right neighbour of the last column is the first column (weighted 0 when
// u lies exactly on the last column). With wrap, u and v are first brought into the texture.
// Colours are not premultiplied: transparent texels still pull their neighbours' colour, except
// that four transparent texels give (0, 0, 0, 0). Gives (0, 0, 0, 0) for a texture that is not
// 32-bit or has no rows.
rgb_color SampleBilinearFixed(
    const QV_PixelBuffer& texture, uint8_t* const* rows, int32_t u, int32_t v, bool wrap);
