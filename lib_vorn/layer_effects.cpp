#include "layer_effects.h"

#include <algorithm>
#include <cmath>

#include "blend_tables.h"
#include "blur_kernels.h"
#include "box_blur.h"
#include "colour_filters.h"
#include "composite_modes.h"
#include "noise_displace.h"
#include "qv_baseimage.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_rows.h"
#include "vorndoc.h"
#include "vornlayer.h"

int32_t RoundEffect(float value)
{
    // Channel values come from documents as any float; far beyond every raster they all mean
    // the same, and the conversion stays defined.
    constexpr float kLimit = float(1 << 24);
    if (!(value > -kLimit))
        return value != value ? 0 : -(1 << 24);
    if (value > kLimit)
        return 1 << 24;
    return static_cast<int32_t>(value < 0 ? value - 0.5f : value + 0.5f);
}

int32_t AlphaByte(float fraction)
{
    return std::clamp(RoundEffect(fraction * 255), 0, 255);
}

float DepthOfFieldAmount(VornLayer* layer, VornDoc* doc)
{
    if (!layer || !doc || !doc->fDepthOfField)
        return 0;
    const int32_t type = layer->LayerType();
    if (type != LT_VECTOR && type != LT_IMAGE && type != LT_3D)
        return 0;
    if (layer->fImmuneToCamera || layer->fImmuneToDof)
        return 0;

    QV_Matrix full;
    layer->GetFullTransform(doc->fCurFrame, full, nullptr);
    QV_Vector3 p { layer->fOrigin.x, layer->fOrigin.y, 0 };
    full.TransformAffine(p);
    const QV_Vector3 camera = doc->fCameraTrack.value;
    const float dx = p.x - camera.x, dy = p.y - camera.y, dz = p.z - camera.z;
    const float d = std::sqrt(dx * dx + dy * dy + dz * dz);

    const float nearLimit = doc->fFocusDistance - doc->fFocusRange / 2;
    const float farLimit = doc->fFocusDistance + doc->fFocusRange / 2;
    const float maxBlur = doc->fMaxBlur;
    if (d < nearLimit)
        return maxBlur * (1 - d / nearLimit);
    if (d <= farLimit)
        return 0;
    // The document refuses a far limit at or before the eye, but a record may still hold one.
    if (farLimit <= 0)
        return 0;
    return maxBlur * (std::min(d, 5 * farLimit) - farLimit) / (4 * farLimit);
}

void ClearRaster(const QV_PixelBuffer& raster)
{
    FillRaster(raster, rgb_color { 0, 0, 0, 0 });
}

void ApplyAutoShading(QV_PixelBuffer& image, QV_PixelBuffer& scratch, int32_t radius)
{
    BlitRaster(image, scratch, 0, 0);
    BoxBlurRGBA(scratch, radius);
    CompositeDifference(image, scratch, 0, 0, false);
    BoxBlurRGBA(scratch, 1);
    InvertRaster(scratch);
    Desaturate(scratch);
    AdjustMidtones(scratch, 0.1f);
    CompositeMultiply(scratch, image, 0, 0, false);
}

void ApplyHsvModulation(const QV_PixelBuffer& image, const QV_PixelBuffer& modulation)
{
    if (image.bytesPerPixel != 4 || modulation.bytesPerPixel != 4 || !image.pixels || !modulation.pixels
        || modulation.width < 1 || modulation.height < 1)
        return;
    auto shifted = [](uint8_t value, uint8_t shift) {
        const int32_t v = int32_t(value) + int32_t(shift) - 128;
        return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    };
    for (int32_t y = 0; y < image.height; y++) {
        uint8_t* p = RasterRow(image, y);
        const int32_t my = y % modulation.height;
        for (int32_t x = 0; x < image.width; x++, p += 4) {
            const uint8_t* q = RasterPixel(modulation, x % modulation.width, my);
            uint8_t h, s, l;
            RGBToHSL(p[kRed], p[kGreen], p[kBlue], h, s, l);
            h = shifted(h, q[kRed]);
            s = shifted(s, q[kGreen]);
            l = shifted(l, q[kBlue]);
            HSLToRGB(h, s, l, p[kRed], p[kGreen], p[kBlue]);
        }
    }
}

bool ChangeAlphaExtent(const QV_PixelBuffer& raster, int32_t amount)
{
    if (amount == 0)
        return true;
    // Beyond the raster's larger side every amount has the same effect, and the work grows with it.
    const int32_t most = std::max(raster.width, raster.height);
    amount = std::clamp(amount, -most, most);
    QV_BaseImage copy;
    if (copy.Allocate(raster.width, raster.height, 32) != QV_RESULT_OK)
        return false;
    QV_PixelBuffer source = raster;
    BlitRaster(source, copy.buffer, 0, 0);
    if (amount > 0)
        DilateAlpha(copy.buffer, raster, amount);
    else
        ErodeAlpha(copy.buffer, raster, -amount);
    return true;
}

namespace {

uint32_t OpaqueTint(rgb_color color)
{
    return uint32_t(color.r) | uint32_t(color.g) << 8 | uint32_t(color.b) << 16 | 0xFF000000u;
}

// The layer copied into the cleared scratch at the shift, its alpha grown or shrunk and blurred.
void ShiftedAlphaCopy(QV_PixelBuffer& image, QV_PixelBuffer& scratch, const LayerShadowShape& shape)
{
    ClearRaster(scratch);
    BlitRaster(image, scratch, shape.dx, shape.dy);
    // Without room for the working copy the copy keeps its outline.
    ChangeAlphaExtent(scratch, shape.grow);
}

} // namespace

void ApplyLayerShading(QV_PixelBuffer& image, QV_PixelBuffer& scratch, const LayerShadowShape& shape)
{
    ShiftedAlphaCopy(image, scratch, shape);
    TintRaster(scratch, OpaqueTint(shape.color));
    if (shape.blur > 0)
        BoxBlurAlpha(scratch, shape.blur);
    RemapAlphaRange(scratch, 0, 255, shape.color.a);
    DisplaceByNoise(scratch, shape.noiseAmplitude, shape.noiseScale, 0, 0.1f, 0, 32);
    BlitRasterAlpha(scratch, image, 0, 0, false);
}

void ApplyLayerShadow(QV_PixelBuffer& image, QV_PixelBuffer& scratch, const LayerShadowShape& shape)
{
    ShiftedAlphaCopy(image, scratch, shape);
    if (shape.blur > 0)
        BoxBlurAlpha(scratch, shape.blur);
    // The colour is premultiplied by the final alpha, after the shadow colour's own opacity has
    // scaled it: premultiplied by the alpha before scaling, a see-through coloured shadow would
    // come out brighter than its colour once the layer is un-premultiplied.
    RemapAlphaRange(scratch, 0, 255, shape.color.a);
    const rgb_color c = shape.color;
    ForEachPixel32Of(scratch, [&c](uint8_t* p) {
        const uint8_t* mul = BlendMulTable[p[kAlpha]];
        p[kBlue] = mul[c.b];
        p[kGreen] = mul[c.g];
        p[kRed] = mul[c.r];
    });
    DisplaceByNoise(scratch, shape.noiseAmplitude, shape.noiseScale, 0, 0.1f, 0, 32);
    UnpremultiplyRaster(image);
    BlitRasterAlpha(image, scratch, 0, 0, true);
    BlitRaster(scratch, image, 0, 0);
}
