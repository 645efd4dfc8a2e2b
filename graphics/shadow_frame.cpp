#include "shadow_frame.h"

#include "blur_kernels.h"
#include "qv_rect.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_geometry.h"

#include <cstring>

namespace {

constexpr int32_t kTile = 8;

// The tile: faint all over, opaque black in one part, blurred so the two run into each other.
void MakeTile(QV_PixelBuffer& tile, const QV_Rect& opaque)
{
    FillRaster(tile, rgb_color { 0, 0, 0, 64 });
    QV_PixelBuffer part;
    if (MakeSubRaster(opaque, tile, part) == QV_RESULT_OK)
        FillRaster(part, rgb_color { 0, 0, 0, 255 });
    DiscBlur(tile, 4);
}

void Composite(QV_PixelBuffer& tile, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    BlitRasterAlpha(tile, destination, x, y, false);
}

// The tile repeated from `from` in steps of 8 while a whole tile fits before `to` - 8, then the part
// of it that still fits; along x when horizontal, else along y. `at` is the fixed coordinate.
void Run(QV_PixelBuffer& tile, const QV_PixelBuffer& destination, bool horizontal, int32_t from, int32_t to,
    int32_t at)
{
    int32_t p = from;
    for (; p <= to - 16; p += kTile)
        Composite(tile, destination, horizontal ? p : at, horizontal ? at : p);
    if (p > to - 8)
        return;
    const int32_t last = to - p - 8;
    const QV_Rect part = horizontal ? QV_Rect { 0, 0, last, kTile - 1 } : QV_Rect { 0, 0, kTile - 1, last };
    QV_PixelBuffer view;
    if (MakeSubRaster(part, tile, view) == QV_RESULT_OK)
        Composite(view, destination, horizontal ? p : at, horizontal ? at : p);
}

} // namespace

void DrawShadowFrame(
    const QV_PixelBuffer& destination, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    if (!destination.pixels || destination.bytesPerPixel != 4)
        return;
    uint8_t bytes[kTile * kTile * 4];
    std::memset(bytes, 0, sizeof bytes);
    QV_PixelBuffer tile { bytes, kTile, kTile, 32, 4, kTile * 4 };

    // Corners: the quadrant toward the inside of the frame is the dark one.
    MakeTile(tile, QV_Rect { 4, 4, 7, 7 });
    Composite(tile, destination, left, top);
    FlipRasterVertical(tile);
    Composite(tile, destination, left, bottom - 7);
    FlipRasterHorizontal(tile);
    Composite(tile, destination, right - 7, bottom - 7);
    FlipRasterVertical(tile);
    Composite(tile, destination, right - 7, top);

    // Top and bottom edges.
    MakeTile(tile, QV_Rect { 0, 4, 7, 7 });
    Run(tile, destination, true, left + 8, right, top);
    FlipRasterVertical(tile);
    Run(tile, destination, true, left + 8, right, bottom - 7);

    // Left and right edges.
    MakeTile(tile, QV_Rect { 4, 0, 7, 7 });
    Run(tile, destination, false, top + 8, bottom, left);
    FlipRasterHorizontal(tile);
    Run(tile, destination, false, top + 8, bottom, right - 7);
}
