#pragma once
#include "qv_pixelbuffer.h"
#include <cstdint>

// Calls place(x, y) for every position of a tile grid that covers the whole
// destination: each phase is first moved back by whole tiles until it is not
// positive, then the grid steps by the tile size. Tiles that would lie wholly
// before the destination are skipped. Empty tiles place nothing.
template <typename Place>
void ForEachTilePosition(const QV_PixelBuffer& tile, const QV_PixelBuffer& destination, int32_t yPhase,
    int32_t xPhase, Place place)
{
    if (tile.width <= 0 || tile.height <= 0)
        return;
    // Into (-size, 0]: the same grid as stepping back tile by tile.
    xPhase %= tile.width;
    if (xPhase > 0)
        xPhase -= tile.width;
    yPhase %= tile.height;
    if (yPhase > 0)
        yPhase -= tile.height;
    for (int64_t y = yPhase; y < destination.height; y += tile.height)
        for (int64_t x = xPhase; x < destination.width; x += tile.width)
            place(static_cast<int32_t>(x), static_cast<int32_t>(y));
}
