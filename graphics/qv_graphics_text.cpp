// Text at the world pen position: the matrix places the baseline, the font draws the pixels.
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"

using namespace qv_graphics;

void QV_Graphics::DrawText(const char* text, int32_t verticalMode)
{
    if (!fFont || !text || !fClipView.pixels)
        return;
    const Projected p = Project(Current(), fPenX, fPenY);
    if (!(p.w > 0))
        return;
    const int32_t px = RoundHalfAway(p.x / p.w);
    int32_t py = RoundHalfAway(p.y / p.w);
    const int32_t ascent = fFont->Ascent();
    if (verticalMode == 3)
        py += ascent - ascent / 8;
    else if (verticalMode == 4)
        py += ascent / 2 - ascent / 8;
    fFont->DrawString(fColor, &fClipView, text, px - fClipRect.left, py - fClipRect.top);
}
