#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Layer blend modes: the blend_mode values stored with layers and seen by
// scripts.
constexpr int32_t BM_NORMAL = 0;
constexpr int32_t BM_MULTIPLY = 1;
constexpr int32_t BM_SCREEN = 2;
constexpr int32_t BM_OVERLAY = 3;
constexpr int32_t BM_ADD = 4;
constexpr int32_t BM_DIFFERENCE = 5;
constexpr int32_t BM_HUE = 6;
constexpr int32_t BM_SATURATION = 7;
constexpr int32_t BM_COLOR = 8;
constexpr int32_t BM_LUMINOSITY = 9;

// Each composite works like BlitRasterAlpha, with the mode's blend of source
// and destination colour standing in for the source colour: the source alpha
// weights it over the destination, and with mergeAlpha the destination alpha
// grows toward opaque. Rasters that are not both 32-bit but have equal pixel
// sizes are copied plainly.
void CompositeMultiply(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeScreen(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
// The destination value picks the branch: multiply-like below 128,
// screen-like from 128.
void CompositeOverlay(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeAdd(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeDifference(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
// The four colour modes mix hue, saturation and lightness bytes of the two
// pixels and convert the result back to RGB.
void CompositeHue(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeSaturation(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeColor(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);
void CompositeLuminosity(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha);

// Composites with the operation of a layer's blend mode; unknown modes
// composite as BM_NORMAL.
void CompositeRasterMode(int32_t blendMode, QV_PixelBuffer& source, const QV_PixelBuffer& destination,
    int32_t x, int32_t y, bool mergeAlpha);
