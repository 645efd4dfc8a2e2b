// Images at a projected world point: the matrix places the top-left corner, the raster
// operations move the pixels, clipped to the clip rectangle.
#include "alpha_mask.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"
#include "raster_blit.h"
#include "raster_scale.h"

using namespace qv_graphics;

namespace {

// The pixel where the point lands, relative to the clip view; false behind the eye.
bool PlaceInClipView(const QV_Graphics& g, float x, float y, int32_t& px, int32_t& py)
{
    if (!g.fClipView.pixels)
        return false;
    const Projected p = Project(g.CurrentTransform(), x, y);
    if (!(p.w > 0))
        return false;
    px = RoundHalfAway(p.x / p.w) - g.fClipRect.left;
    py = RoundHalfAway(p.y / p.w) - g.fClipRect.top;
    return true;
}

} // namespace

void QV_Graphics::DrawImage(QV_PixelBuffer* image, float x, float y)
{
    int32_t px, py;
    if (image && image->pixels && PlaceInClipView(*this, x, y, px, py))
        BlitRaster(*image, fClipView, px, py);
}

void QV_Graphics::DrawImageScaled(QV_PixelBuffer* image, float x, float y, float width, float height)
{
    if (!image || !image->pixels || !fClipView.pixels)
        return;
    int32_t px, py, w, h;
    if (fAxisAligned) {
        QV_Vector2 a { x, y }, b { x + width - 1, y + height - 1 };
        Current().Transform(a);
        Current().Transform(b);
        px = RoundHalfAway(a.x);
        py = RoundHalfAway(a.y);
        w = RoundHalfAway(b.x) - px + 1;
        h = RoundHalfAway(b.y) - py + 1;
        px -= fClipRect.left;
        py -= fClipRect.top;
    } else {
        if (!PlaceInClipView(*this, x, y, px, py))
            return;
        w = RoundHalfAway(width);
        h = RoundHalfAway(height);
    }
    // A size that rounds to nothing (or less) has no pixels to sample into.
    if (w <= 0 || h <= 0)
        return;
    BlitRasterScaled(*image, fClipView, px, py, w, h);
}

void QV_Graphics::DrawImageAlpha(QV_PixelBuffer* image, float x, float y, bool mergeAlpha)
{
    int32_t px, py;
    if (image && image->pixels && PlaceInClipView(*this, x, y, px, py))
        BlitRasterAlpha(*image, fClipView, px, py, mergeAlpha);
}

void QV_Graphics::DrawImageFaded(QV_PixelBuffer* image, float x, float y, int32_t alphaOffset)
{
    int32_t px, py;
    if (image && image->pixels && PlaceInClipView(*this, x, y, px, py))
        BlitRasterFaded(*image, fClipView, px, py, alphaOffset);
}

void QV_Graphics::DrawImageIntersect(QV_PixelBuffer* image, float x, float y)
{
    int32_t px, py;
    if (image && image->pixels && PlaceInClipView(*this, x, y, px, py))
        BlitIntersectAlpha(*image, fClipView, px, py);
}
