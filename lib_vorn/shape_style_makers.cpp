#include "shape_style_makers.h"

#include <atomic>

namespace {

// Installed once at start-up and read by whichever thread builds styles.
std::atomic<SoftEdgeMaker> gSoftEdgeMaker { nullptr };
std::atomic<ShadingMaker> gShadingMaker { nullptr };

} // namespace

void SetShapeStyleValueMakers(SoftEdgeMaker softEdge, ShadingMaker shading)
{
    gSoftEdgeMaker = softEdge;
    gShadingMaker = shading;
}

M_ShapeStyle* CreateSoftEdgeStyle(float radius)
{
    const SoftEdgeMaker maker = gSoftEdgeMaker;
    return maker ? maker(radius) : nullptr;
}

M_ShapeStyle* CreateShadingStyle(float angle, float offset, float blur, rgb_color color)
{
    const ShadingMaker maker = gShadingMaker;
    return maker ? maker(angle, offset, blur, color) : nullptr;
}
