#include "shape_style_factory.h"
#include "swf_gradient_export.h"

#include "m_shapestyle.h"
#include "shape_style_makers.h"
#include "ss_angledpen.h"
#include "ss_gradient.h"
#include "ss_gradient2.h"
#include "ss_halo.h"
#include "ss_shaded.h"
#include "ss_sketchy.h"
#include "ss_soft.h"
#include "ss_splotchy.h"
#include "ss_spots.h"
#include "ss_texture.h"
#include "ss_texture2.h"

namespace {

M_ShapeStyle* MakeShapeStyle(int32_t typeId)
{
    return NewShapeStyle(typeId);
}

M_ShapeStyle* MakeSoftEdge(float radius)
{
    return new SS_Soft(radius);
}

M_ShapeStyle* MakeShading(float angle, float offset, float blur, rgb_color color)
{
    return new SS_Shaded(angle, offset, blur, color);
}

} // namespace

M_ShapeStyle* NewShapeStyle(int32_t typeId)
{
    if (typeId < kFirstShapeStyleId || typeId >= kFirstShapeStyleId + kStyleKindCount)
        return nullptr;
    switch (typeId - kFirstShapeStyleId) {
    case kStyleShaded:
        return new SS_Shaded();
    case kStyleSplotchy:
        return new SS_Splotchy();
    case kStyleSoftEdge:
        return new SS_Soft();
    case kStyleSpots:
        return new SS_Spots();
    case kStyleHalo:
        return new SS_Halo();
    case kStyleGradient:
        return new SS_Gradient();
    case kStyleTexture:
        return new SS_Texture();
    case kStyleSketchy:
        return new SS_Sketchy();
    case kStyleAngledPen:
        return new SS_AngledPen();
    case kStyleGradient2:
        return new SS_Gradient2();
    case kStyleTexture2:
        return new SS_Texture2();
    default:
        return nullptr;
    }
}

void RegisterShapeStyles()
{
    SetShapeStyleFactory(MakeShapeStyle);
    SetShapeStyleValueMakers(MakeSoftEdge, MakeShading);
    RegisterSwfGradientReader();
}
