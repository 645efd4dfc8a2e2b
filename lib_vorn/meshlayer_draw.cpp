// Placeholder until the editor drawing of vector layers lands.
#include "meshlayer.h"

void MeshLayer::Draw(VornDoc*, XGraphics*, QV_PixelBuffer*, int32_t&, VornLayer*, RenderSettings*) { }
