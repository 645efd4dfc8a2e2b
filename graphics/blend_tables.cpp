#include "blend_tables.h"

#include <atomic>
#include <mutex>

uint8_t BlendMulTable[256][256];
uint8_t BlendDivTable[256][256];

namespace {

std::once_flag gBlendTablesOnce;
std::atomic<bool> gBlendTablesBuilt { false };

uint8_t ClampToByte(float value)
{
    if (value < 0.0f)
        return 0;
    if (value > 255.0f)
        return 255;
    return static_cast<uint8_t>(value);
}

void FillBlendTables()
{
    // Each product is rounded to float on its own, exactly as the tables were
    // first made; folding the steps into one expression would change entries.
    for (int a = 0; a < 256; a++) {
        const float q = static_cast<float>(a) / 255.0f;
        for (int v = 0; v < 256; v++) {
            const float c = static_cast<float>(v) * q;
            BlendMulTable[a][v] = ClampToByte(c);
        }
    }
    for (int v = 0; v < 256; v++)
        BlendDivTable[0][v] = static_cast<uint8_t>(v);
    for (int a = 1; a < 256; a++) {
        const float r = 255.0f / static_cast<float>(a);
        for (int v = 0; v < 256; v++) {
            const float d = static_cast<float>(v) * r;
            BlendDivTable[a][v] = ClampToByte(d);
        }
    }
    gBlendTablesBuilt.store(true, std::memory_order_release);
}

} // namespace

void BuildBlendTables()
{
    std::call_once(gBlendTablesOnce, FillBlendTables);
}

bool BlendTablesBuilt()
{
    return gBlendTablesBuilt.load(std::memory_order_acquire);
}
