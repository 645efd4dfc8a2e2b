#include "alpha_mask.h"

#include "blend_tables.h"
#include "raster_overlap.h"
#include "raster_rows.h"
#include "raster_tiling.h"

void BlitIntersectAlpha(const QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    ForEachOverlapPixel32(source, destination, x, y, [](const uint8_t* s, uint8_t* d) {
        d[kBlue] = s[kBlue];
        d[kGreen] = s[kGreen];
        d[kRed] = s[kRed];
        if (s[kAlpha] < d[kAlpha])
            d[kAlpha] = s[kAlpha];
    });
}

void MultiplyAlphaByMask(const QV_PixelBuffer& mask, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    if (mask.bytesPerPixel != 1 || destination.bytesPerPixel != 4)
        return;
    RasterOverlap overlap;
    if (!FindRasterOverlap(mask, destination, x, y, overlap))
        return;
    for (int32_t row = 0; row < overlap.height; row++) {
        const uint8_t* m = RasterPixel(mask, overlap.sourceX, overlap.sourceY + row);
        uint8_t* d = RasterPixel(destination, overlap.destinationX, overlap.destinationY + row);
        for (int32_t column = 0; column < overlap.width; column++, m++, d += 4)
            d[kAlpha] = BlendMulTable[*m][d[kAlpha]];
    }
}

void TileAlphaMask(
    const QV_PixelBuffer& mask, const QV_PixelBuffer& destination, int32_t yPhase, int32_t xPhase)
{
    ForEachTilePosition(mask, destination, yPhase, xPhase,
        [&](int32_t x, int32_t y) { MultiplyAlphaByMask(mask, destination, x, y); });
}

void SubtractAlpha(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    FillInRowBytes(source);
    ForEachOverlapPixel32(source, destination, x, y, [](const uint8_t* s, uint8_t* d) {
        if (d[kAlpha] == 0)
            return;
        d[kAlpha] = d[kAlpha] > s[kAlpha] ? static_cast<uint8_t>(d[kAlpha] - s[kAlpha]) : 0;
    });
}
