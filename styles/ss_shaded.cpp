#include "ss_shaded.h"

#include <cmath>

#include "alpha_mask.h"
#include "box_blur.h"
#include "qv_iostream.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_geometry.h"
#include "style_document.h"
#include "style_layer.h"
#include "style_record.h"
#include "style_units.h"
#include "xgraphics.h"

SS_Shaded::SS_Shaded()
    : SS_Shaded(2.3561945f, 1.0f / 30.0f, 1.0f / 30.0f, rgb_color { 0, 0, 0, 128 })
{
}

SS_Shaded::SS_Shaded(float angle, float offset, float blur, rgb_color color)
    : fShadowOnly(false)
{
    fLightAngle.SetValue(0, angle);
    fOffset.SetValue(0, offset);
    fBlur.SetValue(0, blur);
    fShadowColor.SetValue(0, color);
}

SS_Shaded::~SS_Shaded() = default;

int32_t SS_Shaded::StyleType()
{
    return 0;
}

bool SS_Shaded::ReadRecord(QV_IoStream* stream)
{
    if (!ReadAnimatedFloat(stream, fLightAngle) || !ReadAnimatedFloat(stream, fOffset)
        || !ReadAnimatedFloat(stream, fBlur) || !ReadAnimatedColor(stream, fShadowColor))
        return false;
    return stream->ReadBool(fShadowOnly);
}

void SS_Shaded::WriteRecord(QV_IoStream* stream)
{
    WriteChannelThenTabs(stream, fLightAngle);
    WriteChannelThenTabs(stream, fOffset);
    WriteChannelThenTabs(stream, fBlur);
    WriteChannelThenTabs(stream, fShadowColor);
    WriteFlag(stream, fShadowOnly);
}

void SS_Shaded::ApplyInLayer(XGraphics* graphics, QV_PixelBuffer*, QV_Rect rect, QV_BBox,
    QV_PixelBuffer* work, StyleDocument* doc, StyleLayer* layer, float scale, M_Shape*, int32_t finalRender)
{
    if (!graphics || !doc || !IsEffectRaster(&graphics->fTarget) || !IsEffectRaster(work))
        return;
    QV_PixelBuffer target = graphics->fTarget;
    // The shading is built in the work buffer at the target's own positions: any buffer holding
    // the shape's rectangle serves.
    if (layer) {
        const int32_t frame = layer->CurrentFrame();
        fLightAngle.SetCurFrame(frame);
        fOffset.SetCurFrame(frame);
        fBlur.SetCurFrame(frame);
        fShadowColor.SetCurFrame(frame);
    }
    const float angle = fLightAngle.value;
    const rgb_color color = fShadowColor.value;
    const int32_t height = doc->HeightPixels();
    const int32_t blur = StylePixelsRounded(fBlur.value, height, scale, 0, 256);

    QV_Rect area = rect;
    if (!area.Intersect(RasterBounds(target)))
        return;
    QV_PixelBuffer shading;
    if (!WorkAreaAt(area, target, *work, shading))
        return;

    // However small or large the offset, the copy moves by 1 to 256 pixels.
    float length = StylePixels(fOffset.value, height, scale);
    length = length < 1.0f ? 1.0f : length > 256.0f ? 256.0f : length;
    const int32_t dx = RoundHalfAwayClamped(std::cos(angle) * length, -256, 256);
    const int32_t dy = RoundHalfAwayClamped(-std::sin(angle) * length, -256, 256);

    // The target shifted by (dx, dy), of which only the part landing in the rectangle is used.
    FillRaster(shading, rgb_color { 0, 0, 0, 0 });
    QV_Rect source { area.left - dx, area.top - dy, area.right - dx, area.bottom - dy };
    QV_PixelBuffer shifted;
    if (source.Intersect(RasterBounds(target)) && MakeSubRaster(source, target, shifted) == 0)
        BlitRaster(shifted, *work, source.left + dx, source.top + dy);
    if (blur > 0)
        BoxBlurAlpha(shading, blur);
    // Full shading where the shifted copy does not cover the shape.
    ForEachPixel32(shading, [color](uint8_t* p) {
        p[kBlue] = color.b;
        p[kGreen] = color.g;
        p[kRed] = color.r;
        p[kAlpha] = static_cast<uint8_t>(255 - p[kAlpha]);
    });
    if (color.a < 255)
        RemapAlphaRange(shading, 0, 255, color.a);

    QV_PixelBuffer shape;
    if (MakeSubRaster(area, target, shape) != 0)
        return;
    if (fShadowOnly)
        BlitIntersectAlpha(shading, shape, 0, 0);
    else if (finalRender)
        BlitRasterAlpha(shading, shape, 0, 0, false);
    else
        BlitRasterAtop(shading, shape, 0, 0);
}

float SS_Shaded::Margin()
{
    return fOffset.value;
}

bool SS_Shaded::HasHandle()
{
    return true;
}

int32_t SS_Shaded::CountChannels()
{
    return 4;
}

AnimChannel* SS_Shaded::Channel(int32_t index)
{
    switch (index) {
    case 0:
        return &fLightAngle;
    case 1:
        return &fOffset;
    case 2:
        return &fBlur;
    case 3:
        return &fShadowColor;
    default:
        return nullptr;
    }
}
