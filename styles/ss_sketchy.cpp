#include "ss_sketchy.h"

#include "box_blur.h"
#include "qv_iostream.h"
#include "raster_blit.h"
#include "style_alpha_tables.h"
#include "style_document.h"
#include "style_record.h"
#include "style_units.h"

SS_Sketchy::SS_Sketchy()
    : fRadius(1.0f / 240.0f)
{
    SketchAlphaTable();
}

SS_Sketchy::~SS_Sketchy() = default;

int32_t SS_Sketchy::StyleType()
{
    return 7;
}

bool SS_Sketchy::ReadRecord(QV_IoStream* stream)
{
    return stream->ReadFloat(fRadius);
}

void SS_Sketchy::WriteRecord(QV_IoStream* stream)
{
    WriteFloatThenBlank(stream, fRadius);
}

void SS_Sketchy::Apply(QV_PixelBuffer* image, QV_Rect, QV_PixelBuffer* work, StyleDocument* doc, float scale)
{
    if (!doc || !IsEffectRaster(image) || !IsEffectRaster(work))
        return;
    BlitRaster(*image, *work, 0, 0);
    // The blur takes radii up to 256 (and blurs a radius below 1 as 1).
    BoxBlurAlpha(*work, StylePixelsRounded(fRadius, doc->HeightPixels(), scale, 0, 256));
    MapAlphaThroughTable(*work, *image, SketchAlphaTable());
}
