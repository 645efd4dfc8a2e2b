// Lines: world lines cut at the near plane, then one-pixel Bresenham lines, thick lines stamped
// with a square brush or filled as hexagons, anti-aliased lines, spans and dotted inverting lines.
#include "blend_tables.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"
#include "raster_rows.h"
#include <cmath>
#include <cstring>
#include <utility>

using namespace qv_graphics;

int32_t qv_graphics::gSmoothSlopeFactor[32];
int32_t qv_graphics::gSmoothFalloff[64];

void qv_graphics::BuildSmoothLineTables()
{
    for (int i = 0; i < 32; i++) {
        const float f = (float(i) + 0.5f) / 32.0f;
        gSmoothSlopeFactor[i] = int32_t(std::sqrt(f * f + 1.0f) * 0.70710677f * 256.0f);
    }
    for (int i = 0; i < 64; i++) {
        const float d = (float(i) + 0.5f) / 32.0f / 0.75f;
        gSmoothFalloff[i] = int32_t(256.0f / std::exp(d * d));
    }
}

namespace {

constexpr int32_t kMargin = 16;

bool OutsideWithMargin(const QV_Rect& clip, float x0, float y0, float x1, float y1)
{
    const float left = float(clip.left - kMargin), right = float(clip.right + kMargin);
    const float top = float(clip.top - kMargin), bottom = float(clip.bottom + kMargin);
    return (x0 < left && x1 < left) || (x0 > right && x1 > right) || (y0 < top && y1 < top)
        || (y0 > bottom && y1 > bottom);
}

bool Inside(const QV_Rect& r, int32_t x, int32_t y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// Visits the pixels of a Bresenham line from a to b, both ends included.
template <typename Visit> void WalkBresenham(QV_Point a, QV_Point b, Visit visit)
{
    const int32_t dx = b.x - a.x, dy = b.y - a.y;
    const int32_t sx = dx > 0 ? 1 : (dx < 0 ? -1 : 0);
    const int32_t sy = dy > 0 ? 1 : (dy < 0 ? -1 : 0);
    const int32_t ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
    int32_t x = a.x, y = a.y;
    visit(x, y);
    if (ax > ay) {
        int32_t e = 2 * ay - ax;
        while (x != b.x) {
            if (e >= 0) {
                y += sy;
                e += 2 * ay - 2 * ax;
            } else {
                e += 2 * ay;
            }
            x += sx;
            visit(x, y);
        }
    } else {
        int32_t e = 2 * ax - ay;
        while (y != b.y) {
            if (e >= 0) {
                x += sx;
                e += 2 * ax - 2 * ay;
            } else {
                e += 2 * ax;
            }
            y += sy;
            visit(x, y);
        }
    }
}

int64_t Fixed20(double v)
{
    const double scaled = v * 1048576.0;
    if (!(scaled > -9.0e18))
        return INT64_MIN / 2;
    if (scaled > 9.0e18)
        return INT64_MAX / 2;
    return int64_t(scaled);
}

} // namespace

// ---- World lines ----

void QV_Graphics::DrawLine(float x0, float y0, float x1, float y1)
{
    const Projected a = Project(Current(), x0, y0);
    const Projected b = Project(Current(), x1, y1);
    const float d0 = a.Depth(), d1 = b.Depth();
    if (d0 >= 0 && d1 >= 0) {
        DrawScreenLine(a.x / a.w, a.y / a.w, b.x / b.w, b.y / b.w);
    } else if (d0 * d1 < 0) {
        const QV_Vector2 visible = (d0 >= 0 ? a : b).Divided();
        const QV_Vector2 cut = Lerp(a, b, d0 / (d0 - d1)).Divided();
        DrawScreenLine(visible.x, visible.y, cut.x, cut.y);
    }
}

void QV_Graphics::LineTo(float x, float y)
{
    DrawLine(fPenX, fPenY, x, y);
    fPenX = x;
    fPenY = y;
}

void QV_Graphics::DrawHLine(int32_t x0, int32_t x1, int32_t y)
{
    DrawLine(float(x0), float(y), float(x1), float(y));
}

void QV_Graphics::DrawVLine(int32_t y0, int32_t y1, int32_t x)
{
    DrawLine(float(x), float(y0), float(x), float(y1));
}

// ---- Screen lines ----

void QV_Graphics::DrawScreenLine(float x0, float y0, float x1, float y1)
{
    if (OutsideWithMargin(fClipRect, x0, y0, x1, y1))
        return;
    if (fSmoothing) {
        DrawSmoothLine(x0, y0, x1, y1);
        return;
    }
    fPixelPenX = RoundHalfAway(x0);
    fPixelPenY = RoundHalfAway(y0);
    DrawPixelLine(RoundHalfAway(x1), RoundHalfAway(y1));
}

void QV_Graphics::WritePixel(int32_t x, int32_t y)
{
    if (!fTarget.pixels || !Inside(fClipRect, x, y))
        return;
    uint8_t* p = RasterPixel(fTarget, x, y);
    switch (PixelSize()) {
    case 1:
        *p = fColorIndex;
        break;
    case 2:
        StorePixel16(p, fTarget.depth == 15 ? fColor555 : fColor565);
        break;
    case 4:
        StorePixel32(p, fColor32);
        break;
    default:
        break;
    }
}

void QV_Graphics::DrawPixelLine(int32_t x, int32_t y)
{
    const QV_Point from { fPixelPenX, fPixelPenY };
    fPixelPenX = x;
    fPixelPenY = y;
    if (fSmoothing) {
        if (fPenWidth < 2)
            DrawSmoothLine(float(from.x), float(from.y), float(x), float(y));
        else
            DrawThickLine(float(from.x), float(from.y), float(x), float(y));
        return;
    }
    if (fPenWidth >= 2) {
        DrawAliasedLine(from.x, from.y, x, y);
        return;
    }
    QV_Point a = from, b { x, y };
    if (!ClipLineToRect(a, b, fClipRect))
        return;
    if (a.y == b.y)
        DrawHSpan(a.x, b.x, a.y);
    else if (a.x == b.x)
        DrawVSpan(a.y, a.x, b.y);
    else
        WalkBresenham(a, b, [this](int32_t px, int32_t py) { WritePixel(px, py); });
}

void QV_Graphics::StampSquare(int32_t x, int32_t y, int32_t width)
{
    // The outline of the square only: consecutive stamps one pixel apart cover the band.
    const int32_t last = width - 1;
    for (int32_t i = 0; i < width; i++)
        WritePixel(x + i, y);
    for (int32_t i = 0; i < width; i++)
        WritePixel(x + last, y + i);
    for (int32_t i = 0; i < width; i++)
        WritePixel(x + last - i, y + last);
    for (int32_t i = 0; i < width; i++)
        WritePixel(x, y + last - i);
}

void QV_Graphics::DrawAliasedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1)
{
    const int32_t width = fPenWidth;
    const int32_t g = width / 2;
    const QV_Rect inner { fClipRect.left + g, fClipRect.top + g, fClipRect.right + g - width + 1,
        fClipRect.bottom + g - width + 1 };
    QV_Point a { x0, y0 }, b { x1, y1 };
    if (!ClipLineToRect(a, b, inner))
        return;
    const int32_t size = PixelSize();
    if (size != 1 && size != 2 && size != 4)
        return;
    if (a.x == b.x && a.y == b.y) {
        WritePixel(a.x, a.y);
        return;
    }
    WalkBresenham(a, b, [this, g, width](int32_t px, int32_t py) { StampSquare(px - g, py - g, width); });
}

void QV_Graphics::DrawThickLine(float x0, float y0, float x1, float y1)
{
    if (OutsideWithMargin(fClipRect, x0, y0, x1, y1))
        return;
    if (x0 > x1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    const float h = fPenWidth * 0.5f;
    const float dy = y1 - y0;
    QV_Vector2 v[6];
    if (dy <= 0) {
        v[0] = { x0 - h, y0 - h };
        v[1] = { x1 - h, y1 - h };
        v[2] = { x1 + h - 1, y1 - h };
        v[3] = { x1 + h - 1, y1 + h - 1 };
        v[4] = { x0 + h - 1, y0 + h - 1 };
        v[5] = { x0 - h, y0 + h - 1 };
    } else {
        v[0] = { x0 - h, y0 - h };
        v[1] = { x0 + h - 1, y0 - h };
        v[2] = { x1 + h - 1, y1 - h };
        v[3] = { x1 + h - 1, y1 + h - 1 };
        v[4] = { x1 - h, y1 + h - 1 };
        v[5] = { x0 - h, y0 + h - 1 };
    }
    BeginShape();
    for (int i = 0; i < 6; i++)
        AddEdge(v[i].x, v[i].y, v[(i + 1) % 6].x, v[(i + 1) % 6].y);
    EndShape();
}

void QV_Graphics::BlendCoverage(int32_t x, int32_t y, int32_t coverage)
{
    const uint32_t alpha = fColor.a == 255 ? uint32_t(coverage) : BlendMulTable[coverage][fColor.a];
    if (alpha == 0)
        return;
    x = ClampInt(x, fClipRect.left, fClipRect.right);
    y = ClampInt(y, fClipRect.top, fClipRect.bottom);
    const uint32_t packed
        = uint32_t(fColor.r) | uint32_t(fColor.g) << 8 | uint32_t(fColor.b) << 16 | alpha << 24;
    BlendPixelAt(fTarget, RasterPixel(fTarget, x, y), packed);
}

void QV_Graphics::DrawSmoothLine(float x0, float y0, float x1, float y1)
{
    if (OutsideWithMargin(fClipRect, x0, y0, x1, y1))
        return;
    if (fPenWidth >= 2) {
        DrawThickLine(x0, y0, x1, y1);
        return;
    }
    if (!ClipLineToRectF(x0, y0, x1, y1, fClipRect))
        return;
    // Clipping ends far beyond the raster (a document's huge transform) loses their precision:
    // the ends are kept on the clip rectangle, so the fixed-point walk below stays in range.
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1))
        return;
    const float left = float(fClipRect.left) - 1, right = float(fClipRect.right) + 1;
    const float top = float(fClipRect.top) - 1, bottom = float(fClipRect.bottom) + 1;
    x0 = ClampFloat(x0, left, right);
    x1 = ClampFloat(x1, left, right);
    y0 = ClampFloat(y0, top, bottom);
    y1 = ClampFloat(y1, top, bottom);
    const int32_t size = PixelSize();
    if (size != 1 && size != 2 && size != 4)
        return;

    // 12.20 fixed point relative to the truncated start (held in 64 bits so that rasters wider
    // than 2047 pixels do not overflow).
    constexpr int64_t kOne = int64_t(1) << 20;
    const int32_t ox = TruncToInt(x0), oy = TruncToInt(y0);
    const int64_t fx0 = Fixed20(double(x0) - ox), fy0 = Fixed20(double(y0) - oy);
    const int64_t fx1 = Fixed20(double(x1) - ox), fy1 = Fixed20(double(y1) - oy);
    const int64_t adx = fx1 > fx0 ? fx1 - fx0 : fx0 - fx1;
    const int64_t ady = fy1 > fy0 ? fy1 - fy0 : fy0 - fy1;
    const bool xMajor = adx > ady;
    const int64_t majorStart = xMajor ? fx0 : fy0, minorStart = xMajor ? fy0 : fx0;
    const int64_t majorEnd = xMajor ? fx1 : fy1, minorEnd = xMajor ? fy1 : fx1;
    const int64_t a = majorStart < majorEnd ? majorStart : majorEnd;
    const int64_t b = majorStart < majorEnd ? majorEnd : majorStart;
    const int64_t length = b - a;
    // Minor change per column, walking from the end toward the start.
    const int64_t slope = length > 0 ? (minorStart - minorEnd) * kOne / length : 0;

    // The walk starts on the end point's side.
    const bool endHigher = majorEnd > majorStart;
    const int64_t lowColumn = a >> 20, highColumn = (b >> 20) + 1;
    const int64_t first = endHigher ? highColumn : lowColumn;
    const int64_t last = endHigher ? lowColumn : highColumn;
    const int64_t step = endHigher ? -1 : 1;
    double minorAtFirst = double(minorStart);
    if (length > 0)
        minorAtFirst = double(minorEnd)
            + double(first * kOne - majorEnd) * double(minorStart - minorEnd) / double(majorStart - majorEnd);
    int64_t minor = Fixed20(minorAtFirst / double(kOne)) + kOne / 2;

    const int64_t absSlope = slope < 0 ? -slope : slope;
    const int32_t slopeFactor = (absSlope >> 15) >= 32 ? 256 : gSmoothSlopeFactor[absSlope >> 15];
    // Ends of the line to a sixteenth of a pixel; a column's weight is how much of the line its
    // two-pixel window holds.
    const int64_t a16 = a >> 16, b16 = b >> 16;

    for (int64_t c = first;; c += step) {
        const int64_t low = a16 > c * 16 - 16 ? a16 : c * 16 - 16;
        const int64_t high = b16 < c * 16 + 16 ? b16 : c * 16 + 16;
        const int64_t overlap = high - low < 0 ? 0 : high - low;
        const int32_t weight = overlap >= 32 ? 256 : int32_t(overlap) * 8 + 4;
        const int32_t strength = weight * slopeFactor >> 8;
        const int32_t q = int32_t((minor >> 15) & 31);
        const int64_t row = minor >> 20;
        const int32_t falloff[3]
            = { gSmoothFalloff[q + 16], gSmoothFalloff[q >= 16 ? q - 16 : 15 - q], gSmoothFalloff[47 - q] };
        for (int k = 0; k < 3; k++) {
            const int32_t coverage = strength * falloff[k] >> 8;
            const int64_t across = row + k - 1;
            if (xMajor)
                BlendCoverage(int32_t(ox + c), int32_t(oy + across), coverage);
            else
                BlendCoverage(int32_t(ox + across), int32_t(oy + c), coverage);
        }
        if (c == last)
            break;
        minor += slope;
    }
}

// ---- Spans ----

namespace {

// A run from a to b (either order) on the row or column at `across`, clipped: false when none
// of it lies inside, else a <= b, both within low..high.
bool ClipRun(
    int32_t across, int32_t acrossLow, int32_t acrossHigh, int32_t& a, int32_t& b, int32_t low, int32_t high)
{
    if (across < acrossLow || across > acrossHigh)
        return false;
    if ((a < low && b < low) || (a > high && b > high))
        return false;
    if (a > b)
        std::swap(a, b);
    a = ClampInt(a, low, high);
    b = ClampInt(b, low, high);
    return true;
}

} // namespace

void QV_Graphics::DrawHSpan(int32_t xa, int32_t xb, int32_t y)
{
    if (!fTarget.pixels
        || !ClipRun(y, fClipRect.top, fClipRect.bottom, xa, xb, fClipRect.left, fClipRect.right))
        return;
    uint8_t* p = RasterPixel(fTarget, xa, y);
    const int32_t n = xb - xa + 1;
    StoreColorRun(p, n);
}

void QV_Graphics::DrawVSpan(int32_t ya, int32_t x, int32_t yb)
{
    if (!ClipRun(x, fClipRect.left, fClipRect.right, ya, yb, fClipRect.top, fClipRect.bottom))
        return;
    for (int32_t y = ya; y <= yb; y++)
        WritePixel(x, y);
}

namespace {

void InvertPixel(const QV_PixelBuffer& raster, uint8_t* p)
{
    switch (raster.bytesPerPixel) {
    case 1:
        *p = uint8_t(~*p);
        break;
    case 2:
        StorePixel16(p, uint16_t(~LoadPixel16(p)));
        break;
    case 4:
        StorePixel32(p, LoadPixel32(p) ^ 0x00FFFFFFu);
        break;
    default:
        break;
    }
}

} // namespace

void QV_Graphics::InvertDottedHLine(int32_t xa, int32_t y, int32_t xb)
{
    if (!fTarget.pixels
        || !ClipRun(y, fClipRect.top, fClipRect.bottom, xa, xb, fClipRect.left, fClipRect.right))
        return;
    const int32_t count = (xb - xa) / 2 + 1;
    for (int32_t i = 0; i < count; i++)
        InvertPixel(fTarget, RasterPixel(fTarget, xa + 2 * i, y));
}

void QV_Graphics::InvertDottedVLine(int32_t x, int32_t ya, int32_t yb)
{
    if (!fTarget.pixels
        || !ClipRun(x, fClipRect.left, fClipRect.right, ya, yb, fClipRect.top, fClipRect.bottom))
        return;
    const int32_t count = (yb - ya) / 2 + 1;
    for (int32_t i = 0; i < count; i++)
        InvertPixel(fTarget, RasterPixel(fTarget, x, ya + 2 * i));
}
