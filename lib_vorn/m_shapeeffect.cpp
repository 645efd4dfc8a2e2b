#include "m_shapeeffect.h"

#include "qv_pixelbuffer.h"

M_ShapeEffect::~M_ShapeEffect() = default;

int32_t M_ShapeEffect::StyleType()
{
    return 0;
}

bool M_ShapeEffect::ReadRecord(QV_IoStream*)
{
    return true;
}

void M_ShapeEffect::WriteRecord(QV_IoStream*) { }

void M_ShapeEffect::Apply(QV_PixelBuffer*, QV_Rect, QV_PixelBuffer*, StyleDocument*, float) { }

void M_ShapeEffect::ApplyInLayer(XGraphics*, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox,
    QV_PixelBuffer* work, StyleDocument* doc, StyleLayer*, float scale, M_Shape*, int32_t)
{
    if (!shapeImage || !work || !shapeImage->pixels || !work->pixels)
        return;
    // The work buffer is cut down to the shape image's size, keeping its rows; a work buffer
    // smaller than the shape image could not serve as its scratch copy.
    if (work->width < shapeImage->width || work->height < shapeImage->height)
        return;
    QV_PixelBuffer shapeWork = *work;
    shapeWork.width = shapeImage->width;
    shapeWork.height = shapeImage->height;
    QV_Rect whole { 0, 0, rect.right - rect.left, rect.bottom - rect.top };
    Apply(shapeImage, whole, &shapeWork, doc, scale);
}

void M_ShapeEffect::Edit(rgb_color, rgb_color, float, QV_Wnd*, StyleDocument*) { }

int32_t M_ShapeEffect::Duration()
{
    return 0;
}

float M_ShapeEffect::Margin()
{
    return 0.0f;
}

bool M_ShapeEffect::HasHandle()
{
    return false;
}

int32_t M_ShapeEffect::CountChannels()
{
    return 0;
}

AnimChannel* M_ShapeEffect::Channel(int32_t)
{
    return nullptr;
}
