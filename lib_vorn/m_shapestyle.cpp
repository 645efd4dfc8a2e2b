#include "m_shapestyle.h"

namespace {

ShapeStyleFactory gShapeStyleFactory = nullptr;

} // namespace

M_ShapeStyle::~M_ShapeStyle() = default;

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
