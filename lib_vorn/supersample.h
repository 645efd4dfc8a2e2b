#pragma once

#include <cstdint>

#include "qv_pixelbuffer.h"

class RenderSettings;

// The supersampled render of image and 3D layers: the layer draws into the caller's scratch
// image at 2 (4 with extra smoothing) times the target's size, which is then reduced, and
// composited over the target.
//
// The factor the layer draws at: 1 without antialiasing, without a scratch image, for a target
// that is not 32-bit or when the scratch image cannot be had; otherwise big is the cleared
// scratch image at factor times the target's size.
int32_t BeginSupersample(RenderSettings* settings, const QV_PixelBuffer& target, QV_PixelBuffer& big);
// Each k x k block summed and shifted down into the top-left of big, un-premultiplied, and
// composited over the target with alpha merged.
void FinishSupersample(QV_PixelBuffer& big, int32_t factor, QV_PixelBuffer& target);
