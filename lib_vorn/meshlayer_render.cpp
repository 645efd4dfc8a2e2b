// Placeholder until vector shape rendering lands.
#include "meshlayer.h"

int32_t MeshLayer::CountRenderItems()
{
    return fMesh.fNumShapes;
}

void MeshLayer::RenderItem(VornDoc*, XGraphics*, QV_PixelBuffer*, QV_PixelBuffer*, int32_t, RenderSettings*) { }

bool MeshLayer::IsFlatAndStatic()
{
    return false;
}
