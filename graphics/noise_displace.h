#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Noise displacement of a 32-bit raster in place: every pixel takes the pixel at a position moved
// by lattice noise, and visible pixels get noise added to their colour and alpha. Positions are
// measured in raster heights, so the pattern scales with the raster. An amplitude below 1e-6
// switches its stage off. Each call advances a process-wide counter that seeds the displacement,
// so successive frames differ. Nothing happens when the working copy cannot be allocated or the
// raster is not 32-bit.
void DisplaceByNoise(const QV_PixelBuffer& raster, float displaceAmplitude, float displaceFrequency,
    float colorAmplitude, float colorFrequency, float alphaAmplitude, float alphaFrequency);
