#include "ss_soft.h"

#include "box_blur.h"
#include "raster_geometry.h"
#include "style_document.h"
#include "style_layer.h"
#include "style_record.h"
#include "style_units.h"
#include "xgraphics.h"

SS_Soft::SS_Soft()
    : SS_Soft(1.0f / 60.0f)
{
}

SS_Soft::SS_Soft(float radius)
{
    fRadius.SetValue(0, radius);
}

SS_Soft::~SS_Soft() = default;

int32_t SS_Soft::StyleType()
{
    return 2;
}

bool SS_Soft::ReadRecord(QV_IoStream* stream)
{
    return ReadAnimatedFloat(stream, fRadius);
}

void SS_Soft::WriteRecord(QV_IoStream* stream)
{
    WriteChannelThenTabs(stream, fRadius);
}

void SS_Soft::ApplyInLayer(XGraphics* graphics, QV_PixelBuffer*, QV_Rect rect, QV_BBox, QV_PixelBuffer*,
    StyleDocument* doc, StyleLayer* layer, float scale, M_Shape*, int32_t)
{
    if (!graphics || !doc || !IsEffectRaster(&graphics->fTarget))
        return;
    if (layer)
        fRadius.SetCurFrame(layer->CurrentFrame());
    // The blur takes radii up to 256.
    const int32_t radius = StylePixelsRounded(fRadius.value, doc->HeightPixels(), scale, 0, 256);
    if (radius <= 0)
        return;
    QV_PixelBuffer shape;
    if (MakeSubRaster(rect, graphics->fTarget, shape) != 0)
        return;
    BoxBlurAlpha(shape, radius);
}

float SS_Soft::Margin()
{
    return fRadius.value;
}

int32_t SS_Soft::CountChannels()
{
    return 1;
}

AnimChannel* SS_Soft::Channel(int32_t)
{
    return &fRadius;
}
