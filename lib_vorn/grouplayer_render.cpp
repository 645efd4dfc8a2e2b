// Placeholder until the group's render items land.
#include "grouplayer.h"

void GroupLayer::RenderItem(VornDoc*, XGraphics*, QV_PixelBuffer*, QV_PixelBuffer*, int32_t, RenderSettings*) { }
