#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_pixelbuffer.h"

class VornDoc;
class VornLayer;

// The raster steps of a layer's effects pass (VornLayer::FinishRender), each working in place on
// the layer image with one scratch raster of the same size. Distances arrive in pixels; the pass
// converts the layer's channel values.

// Half away from zero, the rounding of every effect distance.
int32_t RoundEffect(float value);

// An opacity fraction as an alpha byte: fraction x 255 rounded half away from zero, within 0..255.
int32_t AlphaByte(float fraction);

// Extra blur (a fraction of the frame height) that the document's depth of field gives a vector,
// image or 3D layer at the layer's distance from the camera; 0 for every other layer, for layers
// immune to the camera or to depth of field, and when the document's depth of field is off.
float DepthOfFieldAmount(VornLayer* layer, VornDoc* doc);

// Darkens creases and edges: the difference to a blurred copy, inverted and desaturated, multiplies
// the layer's colours.
void ApplyAutoShading(QV_PixelBuffer& image, QV_PixelBuffer& scratch, int32_t radius);

// Shifts hue, saturation and lightness of every pixel by the tiled modulation image's red, green
// and blue less 128 (hue does not wrap); alpha stays.
void ApplyHsvModulation(const QV_PixelBuffer& image, const QV_PixelBuffer& modulation);

// Settings of the shading (inner) and shadow (outer) copies of a layer, in pixels.
struct LayerShadowShape {
    int32_t dx;
    int32_t dy;
    // Shading: positive erodes, negative dilates. Shadow: positive dilates, negative erodes.
    int32_t grow;
    int32_t blur;
    rgb_color color;
    float noiseAmplitude;
    float noiseScale;
};

// A tinted, shifted copy of the layer laid over it only where the layer already is.
void ApplyLayerShading(QV_PixelBuffer& image, QV_PixelBuffer& scratch, const LayerShadowShape& shape);

// A shifted, coloured copy of the layer put under it. The image comes back premultiplied like it
// went in.
void ApplyLayerShadow(QV_PixelBuffer& image, QV_PixelBuffer& scratch, const LayerShadowShape& shape);

// Changes the extent of the raster's alpha by |amount| pixels: grows it for a positive amount,
// shrinks it for a negative one. False (nothing changed) when the working copy cannot be made.
bool ChangeAlphaExtent(const QV_PixelBuffer& raster, int32_t amount);

// Transparent black over the whole raster.
void ClearRaster(const QV_PixelBuffer& raster);
