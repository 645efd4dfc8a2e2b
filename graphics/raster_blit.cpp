#include "raster_blit.h"

#include "alpha_composite.h"
#include "blend_tables.h"
#include "raster_overlap.h"
#include "raster_rows.h"
#include "raster_tiling.h"

#include <cstring>

namespace {

constexpr int32_t kTileFadeOffset = -128;

inline uint8_t Mix(uint32_t alpha, uint8_t source, uint8_t destination)
{
    return static_cast<uint8_t>(BlendMulTable[alpha][source] + BlendMulTable[255 - alpha][destination]);
}

inline void CopyColor(const uint8_t* s, uint8_t* d)
{
    d[kBlue] = s[kBlue];
    d[kGreen] = s[kGreen];
    d[kRed] = s[kRed];
}

inline void MixColor(uint32_t alpha, const uint8_t* s, uint8_t* d)
{
    d[kBlue] = Mix(alpha, s[kBlue], d[kBlue]);
    d[kGreen] = Mix(alpha, s[kGreen], d[kGreen]);
    d[kRed] = Mix(alpha, s[kRed], d[kRed]);
}

} // namespace

void BlitRaster(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    FillInRowBytes(source);
    const int32_t size = source.bytesPerPixel;
    if (size != destination.bytesPerPixel || (size != 1 && size != 2 && size != 4))
        return;
    RasterOverlap overlap;
    if (!FindRasterOverlap(source, destination, x, y, overlap))
        return;
    const size_t length = static_cast<size_t>(overlap.width) * static_cast<size_t>(size);
    for (int32_t row = 0; row < overlap.height; row++)
        std::memmove(RasterPixel(destination, overlap.destinationX, overlap.destinationY + row),
            RasterPixel(source, overlap.sourceX, overlap.sourceY + row), length);
}

void BlitRasterAlpha(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, bool mergeAlpha)
{
    CompositeOver(source, destination, x, y, mergeAlpha, [](const uint8_t* s, const uint8_t*, uint8_t* out) {
        out[kBlue] = s[kBlue];
        out[kGreen] = s[kGreen];
        out[kRed] = s[kRed];
    });
}

void TileRasterAlpha(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t xPhase)
{
    ForEachTilePosition(source, destination, 0, xPhase,
        [&](int32_t x, int32_t y) { BlitRasterAlpha(source, destination, x, y, false); });
}

void BlitRasterFaded(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y, int32_t offset)
{
    FillInRowBytes(source);
    ForEachOverlapPixel32(source, destination, x, y, [offset](const uint8_t* s, uint8_t* d) {
        const int32_t alpha = s[kAlpha] + offset;
        if (alpha <= 0)
            return;
        if (alpha >= 255)
            CopyColor(s, d);
        else
            MixColor(static_cast<uint32_t>(alpha), s, d);
    });
}

void TileRasterFaded(
    QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t yPhase, int32_t xPhase)
{
    ForEachTilePosition(source, destination, yPhase, xPhase,
        [&](int32_t x, int32_t y) { BlitRasterFaded(source, destination, x, y, kTileFadeOffset); });
}

void BlitRasterAtop(QV_PixelBuffer& source, const QV_PixelBuffer& destination, int32_t x, int32_t y)
{
    if (source.bytesPerPixel != 4 || destination.bytesPerPixel != 4) {
        if (source.bytesPerPixel == destination.bytesPerPixel)
            BlitRaster(source, destination, x, y);
        return;
    }
    FillInRowBytes(source);
    ForEachOverlapPixel32(source, destination, x, y, [](const uint8_t* s, uint8_t* d) {
        const uint32_t alpha = s[kAlpha];
        if (d[kAlpha] == 0 || alpha == 0)
            return;
        if (alpha == 255)
            CopyColor(s, d);
        else
            MixColor(alpha, s, d);
    });
}
