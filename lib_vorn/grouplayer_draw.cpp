// Placeholder until the group's editor drawing lands.
#include "grouplayer.h"

void GroupLayer::Draw(VornDoc*, XGraphics*, QV_PixelBuffer*, int32_t&, VornLayer*, RenderSettings*) { }
