#include "style_alpha_tables.h"

#include <cmath>
#include <mutex>

#include "qv_pixelbuffer.h"
#include "raster_overlap.h"

namespace {

struct AlphaTable {
    std::once_flag built;
    uint8_t entries[256];
};

AlphaTable gPenTable;
AlphaTable gSketchTable;
AlphaTable gSpotTable;

void FillRamp(uint8_t* entries, float start, float width)
{
    for (int32_t i = 0; i < 256; i++) {
        const float fraction = (static_cast<float>(i) - start) / width;
        const float scaled = std::round(fraction * 255.0f);
        entries[i] = static_cast<uint8_t>(scaled <= 0.0f ? 0.0f : scaled >= 255.0f ? 255.0f : scaled);
    }
}

const uint8_t* Built(AlphaTable& table, float start, float width)
{
    std::call_once(table.built, FillRamp, table.entries, start, width);
    return table.entries;
}

} // namespace

const uint8_t* PenAlphaTable()
{
    return Built(gPenTable, 15.0f, 25.0f);
}

const uint8_t* SketchAlphaTable()
{
    return Built(gSketchTable, 56.0f, 64.0f);
}

const uint8_t* SpotAlphaTable()
{
    return Built(gSpotTable, 64.0f, 64.0f);
}

void MapAlphaThroughTable(const QV_PixelBuffer& source, const QV_PixelBuffer& target, const uint8_t* table)
{
    ForEachOverlapPixel32(
        source, target, 0, 0, [table](const uint8_t* s, uint8_t* d) { d[3] = table[s[3]]; });
}
