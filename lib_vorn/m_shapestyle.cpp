#include "m_shapestyle.h"

#include "qv_pixelbuffer.h"

namespace {

ShapeStyleFactory gShapeStyleFactory = nullptr;

} // namespace

M_ShapeStyle::~M_ShapeStyle() = default;

int32_t M_ShapeStyle::StyleType()
{
    return 0;
}

bool M_ShapeStyle::ReadRecord(QV_IoStream*)
{
    return true;
}

void M_ShapeStyle::WriteRecord(QV_IoStream*) { }

void M_ShapeStyle::Apply(QV_PixelBuffer*, QV_Rect, QV_PixelBuffer*, StyleDocument*, float) { }

void M_ShapeStyle::ApplyInLayer(XGraphics*, QV_PixelBuffer* shapeImage, QV_Rect rect, QV_BBox,
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

void M_ShapeStyle::Edit(rgb_color, rgb_color, float, QV_Wnd*, StyleDocument*) { }

int32_t M_ShapeStyle::Duration()
{
    return 0;
}

float M_ShapeStyle::Margin()
{
    return 0.0f;
}

bool M_ShapeStyle::HasHandle()
{
    return false;
}

int32_t M_ShapeStyle::CountChannels()
{
    return 0;
}

AnimChannel* M_ShapeStyle::Channel(int32_t)
{
    return nullptr;
}

bool M_ShapeStyle::IsPositionDependent()
{
    return false;
}

void SetShapeStyleFactory(ShapeStyleFactory factory)
{
    gShapeStyleFactory = factory;
}

M_ShapeStyle* CreateShapeStyle(int32_t typeId)
{
    if (!gShapeStyleFactory || typeId == kNoShapeStyleId)
        return nullptr;
    return gShapeStyleFactory(typeId);
}
