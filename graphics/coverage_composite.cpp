#include "coverage_composite.h"

#include <cstring>

#include "blend_tables.h"
#include "raster_overlap.h"
#include "raster_rows.h"

namespace {

// The red byte of two 32-bit pixels read as one little-endian 64-bit value.
constexpr uint64_t kRedOfTwo = 0x00FF000000FF0000ull;
// Where each of four pixels' red lands in the packed value the walk makes of them.
constexpr int kRedShift[4] = { 16, 48, 8, 40 };

uint64_t Load64(const uint8_t* p)
{
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

struct CoverageRow {
    uint32_t colour;
    uint8_t opaque[4];
    bool mergeAlpha;

    void Opaque(uint8_t* d) const
    {
        const uint32_t alpha = mergeAlpha ? 0xFF000000u : LoadPixel32(d) & 0xFF000000u;
        StorePixel32(d, colour | alpha);
    }

    void Pixel(uint32_t coverage, uint8_t* d) const
    {
        if (coverage == 0)
            return;
        if (coverage == 255) {
            Opaque(d);
            return;
        }
        const uint8_t* take = BlendMulTable[coverage];
        const uint8_t* keep = BlendMulTable[255 - coverage];
        for (int channel = kBlue; channel <= kRed; channel++)
            d[channel] = static_cast<uint8_t>(take[opaque[channel]] + keep[d[channel]]);
        if (mergeAlpha) {
            const uint32_t merged = d[kAlpha] + take[255 - d[kAlpha]];
            d[kAlpha] = static_cast<uint8_t>(merged > 255 ? 255 : merged);
        }
    }

    // A shape's mask is mostly long runs of no coverage around it and full coverage inside:
    // those go four pixels at a time, only the edge pixels one by one.
    // With clear, the mask is emptied behind the walk: only blocks holding anything are written.
    template <bool clear> void Walk(uint8_t* s, uint8_t* d, int32_t width) const
    {
        int32_t column = 0;
        for (; column + 4 <= width; column += 4, s += 16, d += 16) {
            const uint64_t low = Load64(s);
            const uint64_t high = Load64(s + 8);
            if (clear) {
                if ((low | high) == 0)
                    continue;
                std::memset(s, 0, 8);
                std::memset(s + 8, 0, 8);
            }
            const uint64_t red = (low & kRedOfTwo) | ((high & kRedOfTwo) >> 8);
            if (red == 0)
                continue;
            if (red == (kRedOfTwo | kRedOfTwo >> 8)) {
                for (int i = 0; i < 4; i++)
                    Opaque(d + 4 * i);
                continue;
            }
            for (int i = 0; i < 4; i++)
                Pixel(uint8_t(red >> (kRedShift[i])), d + 4 * i);
        }
        for (; column < width; column++, s += 4, d += 4) {
            Pixel(s[kRed], d);
            if (clear)
                std::memset(s, 0, 4);
        }
    }
};

// The mask byte a cover leaves where the smooth renderer blends opaque white over transparent
// black: a full cover stores white, any other moves 0 toward 255 by 255 x cover >> 16.
struct MaskOfCover {
    uint8_t value[256];
    constexpr MaskOfCover()
        : value()
    {
        for (int32_t c = 0; c < 256; c++)
            value[c] = static_cast<uint8_t>(c == 255 ? 255 : (255 * 255 * c) >> 16);
    }
};

constexpr MaskOfCover kMaskOfCover;

// The mask pixels the walk does not reach: rows above and below the overlap, columns beside it.
void ClearOutside(const QV_PixelBuffer& mask, const RasterOverlap* overlap)
{
    for (int32_t row = 0; row < mask.height; row++) {
        uint8_t* line = RasterPixel(mask, 0, row);
        if (!overlap || row < overlap->sourceY || row >= overlap->sourceY + overlap->height) {
            std::memset(line, 0, size_t(mask.width) * 4);
            continue;
        }
        std::memset(line, 0, size_t(overlap->sourceX) * 4);
        const int32_t after = overlap->sourceX + overlap->width;
        std::memset(line + size_t(after) * 4, 0, size_t(mask.width - after) * 4);
    }
}

} // namespace

CoverageRunComposite::CoverageRunComposite(rgb_color color, bool mergeAlpha)
    : fColour(0)
    , fOpaque {}
    , fMergeAlpha(mergeAlpha)
{
    fOpaque[kBlue] = color.b;
    fOpaque[kGreen] = color.g;
    fOpaque[kRed] = color.r;
    fColour = LoadPixel32(fOpaque) & 0x00FFFFFFu;
}

void CoverageRunComposite::Run(const uint8_t* covers, int32_t count, uint8_t* d) const
{
    const CoverageRow walk { fColour, { fOpaque[0], fOpaque[1], fOpaque[2], fOpaque[3] }, fMergeAlpha };
    const uint32_t opaque = fColour | 0xFF000000u;
    for (int32_t i = 0; i < count;) {
        if (covers[i] != 255) {
            walk.Pixel(kMaskOfCover.value[covers[i]], d + 4 * i);
            i++;
            continue;
        }
        // The inside of a shape: a run of full covers stores the colour.
        int32_t end = i + 1;
        while (end < count && covers[end] == 255)
            end++;
        if (fMergeAlpha) {
            for (; i < end; i++)
                StorePixel32(d + 4 * i, opaque);
        } else {
            for (; i < end; i++)
                walk.Opaque(d + 4 * i);
        }
    }
}

void CoverageRunComposite::Mask(const uint8_t* mask, int32_t count, uint8_t* d) const
{
    const CoverageRow walk { fColour, { fOpaque[0], fOpaque[1], fOpaque[2], fOpaque[3] }, fMergeAlpha };
    const auto eight = [&](int32_t k) {
        if (Load64(mask + k) == 0)
            return;
        for (int32_t j = k; j < k + 8; j++)
            walk.Pixel(mask[j], d + 4 * j);
    };
    int32_t i = 0;
    // An outline's rows are mostly clear between its two sides: 32 bytes at a time there, then
    // eight.
    for (; i + 32 <= count; i += 32) {
        const uint8_t* m = mask + i;
        if ((Load64(m) | Load64(m + 8) | Load64(m + 16) | Load64(m + 24)) == 0)
            continue;
        for (int32_t k = i; k < i + 32; k += 8)
            eight(k);
    }
    for (; i + 8 <= count; i += 8)
        eight(i);
    for (; i < count; i++)
        walk.Pixel(mask[i], d + 4 * i);
}

void CompositeCoverage(const QV_PixelBuffer& mask, rgb_color color, const QV_PixelBuffer& destination,
    int32_t x, int32_t y, bool mergeAlpha, bool clearMask)
{
    if (mask.bytesPerPixel != 4 || destination.bytesPerPixel != 4)
        return;
    RasterOverlap overlap;
    const bool overlaps = FindRasterOverlap(mask, destination, x, y, overlap);
    if (clearMask && mask.pixels)
        ClearOutside(mask, overlaps ? &overlap : nullptr);
    if (!overlaps)
        return;
    CoverageRow walk {};
    walk.opaque[kBlue] = color.b;
    walk.opaque[kGreen] = color.g;
    walk.opaque[kRed] = color.r;
    walk.colour = LoadPixel32(walk.opaque) & 0x00FFFFFFu;
    walk.mergeAlpha = mergeAlpha;
    for (int32_t row = 0; row < overlap.height; row++) {
        uint8_t* s = RasterPixel(mask, overlap.sourceX, overlap.sourceY + row);
        uint8_t* d = RasterPixel(destination, overlap.destinationX, overlap.destinationY + row);
        if (clearMask)
            walk.Walk<true>(s, d, overlap.width);
        else
            walk.Walk<false>(s, d, overlap.width);
    }
}
