// Placeholder until the layer render passes land.
#include "vornlayer.h"

bool VornLayer::BeginRender(VornDoc*, XGraphics*, QV_PixelBuffer*, QV_PixelBuffer*, QV_BaseImage*, RenderSettings*)
{
    return false;
}

void VornLayer::FinishRender(VornDoc*, XGraphics*, QV_PixelBuffer*, QV_BaseImage*, QV_PixelBuffer*, RenderSettings*) { }

bool VornLayer::IsFlatAndStatic()
{
    return false;
}
