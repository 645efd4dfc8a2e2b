#include "system_palette.h"

#include <mutex>

namespace {

// RRGGBB in index order. Grey 989898 and white FFFFFF appear twice; the
// inverse map hands out the lower index of each.
constexpr uint32_t kFixedColors[SystemPalette::kColorCount] = {
    0x000000,
    0x080808,
    0x101010,
    0x181818,
    0x202020,
    0x282828,
    0x303030,
    0x383838,
    0x404040,
    0x484848,
    0x505050,
    0x585858,
    0x606060,
    0x686868,
    0x707070,
    0x787878,
    0x808080,
    0x888888,
    0x909090,
    0x989898,
    0xA0A0A0,
    0xA8A8A8,
    0xB0B0B0,
    0xB8B8B8,
    0xC0C0C0,
    0xC8C8C8,
    0xD0D0D0,
    0xD8D8D8,
    0xE0E0E0,
    0xE8E8E8,
    0xF0F0F0,
    0xF8F8F8,
    0x0000FF,
    0x0000E5,
    0x0000CC,
    0x0000B3,
    0x00009A,
    0x000081,
    0x000069,
    0x000050,
    0x000037,
    0x00001E,
    0xFF0000,
    0xE40000,
    0xCB0000,
    0xB20000,
    0x990000,
    0x800000,
    0x690000,
    0x500000,
    0x370000,
    0x1E0000,
    0x00FF00,
    0x00E400,
    0x00CB00,
    0x00B200,
    0x009900,
    0x008000,
    0x006900,
    0x005000,
    0x003700,
    0x001E00,
    0x009833,
    0xFFFFFF,
    0xCBFFFF,
    0xCBFFCB,
    0xCBFF98,
    0xCBFF66,
    0xCBFF33,
    0xCBFF00,
    0x98FFFF,
    0x98FFCB,
    0x98FF98,
    0x98FF66,
    0x98FF33,
    0x98FF00,
    0x66FFFF,
    0x66FFCB,
    0x66FF98,
    0x66FF66,
    0x66FF33,
    0x66FF00,
    0x33FFFF,
    0x33FFCB,
    0x33FF98,
    0x33FF66,
    0x33FF33,
    0x33FF00,
    0xFF98FF,
    0xFF98CB,
    0xFF9898,
    0xFF9866,
    0xFF9833,
    0xFF9800,
    0x0066FF,
    0x0066CB,
    0xCBCBFF,
    0xCBCBCB,
    0xCBCB98,
    0xCBCB66,
    0xCBCB33,
    0xCBCB00,
    0x98CBFF,
    0x98CBCB,
    0x98CB98,
    0x98CB66,
    0x98CB33,
    0x98CB00,
    0x66CBFF,
    0x66CBCB,
    0x66CB98,
    0x66CB66,
    0x66CB33,
    0x66CB00,
    0x33CBFF,
    0x33CBCB,
    0x33CB98,
    0x33CB66,
    0x33CB33,
    0x33CB00,
    0xFF66FF,
    0xFF66CB,
    0xFF6698,
    0xFF6666,
    0xFF6633,
    0xFF6600,
    0x006698,
    0x006666,
    0xCB98FF,
    0xCB98CB,
    0xCB9898,
    0xCB9866,
    0xCB9833,
    0xCB9800,
    0x9898FF,
    0x9898CB,
    0x989898,
    0x989866,
    0x989833,
    0x989800,
    0x6698FF,
    0x6698CB,
    0x669898,
    0x669866,
    0x669833,
    0x669800,
    0x3398FF,
    0x3398CB,
    0x339898,
    0x339866,
    0x339833,
    0x339800,
    0xE68600,
    0xFF33CB,
    0xFF3398,
    0xFF3366,
    0xFF3333,
    0xFF3300,
    0x006633,
    0x006600,
    0xCB66FF,
    0xCB66CB,
    0xCB6698,
    0xCB6666,
    0xCB6633,
    0xCB6600,
    0x9866FF,
    0x9866CB,
    0x986698,
    0x986666,
    0x986633,
    0x986600,
    0x6666FF,
    0x6666CB,
    0x666698,
    0x666666,
    0x666633,
    0x666600,
    0x3366FF,
    0x3366CB,
    0x336698,
    0x336666,
    0x336633,
    0x336600,
    0xFF00FF,
    0xFF00CB,
    0xFF0098,
    0xFF0066,
    0xFF0033,
    0xFFAF13,
    0x0033FF,
    0x0033CB,
    0xCB33FF,
    0xCB33CB,
    0xCB3398,
    0xCB3366,
    0xCB3333,
    0xCB3300,
    0x9833FF,
    0x9833CB,
    0x983398,
    0x983366,
    0x983333,
    0x983300,
    0x6633FF,
    0x6633CB,
    0x663398,
    0x663366,
    0x663333,
    0x663300,
    0x3333FF,
    0x3333CB,
    0x333398,
    0x333366,
    0x333333,
    0x333300,
    0xFFCB66,
    0xFFCB98,
    0xFFCBCB,
    0xFFCBFF,
    0x003398,
    0x003366,
    0x003333,
    0x003300,
    0xCB00FF,
    0xCB00CB,
    0xCB0098,
    0xCB0066,
    0xCB0033,
    0xFFE346,
    0x9800FF,
    0x9800CB,
    0x980098,
    0x980066,
    0x980033,
    0x980000,
    0x6600FF,
    0x6600CB,
    0x660098,
    0x660066,
    0x660033,
    0x660000,
    0x3300FF,
    0x3300CB,
    0x330098,
    0x330066,
    0x330033,
    0x330000,
    0xFFCB33,
    0xFFCB00,
    0xFFFF00,
    0xFFFF33,
    0xFFFF66,
    0xFFFF98,
    0xFFFFCB,
    0xFFFFFF,
};

SystemPalette gSystemPalette;
std::once_flag gSystemPaletteOnce;

} // namespace

int32_t SystemPalette::Build()
{
    Free();
    fCount = kColorCount;
    fColors = std::make_unique<uint32_t[]>(kColorCount);
    for (int32_t i = 0; i < kColorCount; i++)
        fColors[i] = 0xFF000000u | kFixedColors[i];
    BuildInverseMap();
    return 0;
}

uint8_t SystemPalette::NearestIndex(uint8_t red, uint8_t green, uint8_t blue) const
{
    if (!fInverseMap)
        return 0;
    return fInverseMap[((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3)];
}

void SystemPalette::Free()
{
    fColors.reset();
    fInverseMap.reset();
    fCount = 0;
}

void SystemPalette::BuildInverseMap()
{
    fInverseMap = std::make_unique<uint8_t[]>(kInverseMapSize);
    auto distances = std::make_unique<int32_t[]>(kInverseMapSize);

    // Cell (R5, G5, B5) stands for the colour (8 R5 + 4, 8 G5 + 4, 8 B5 + 4).
    // Moving one cell along an axis changes that channel's squared difference
    // by 16 * (8 - channel) on the first step and by 128 more on each further
    // step, so the walk needs no multiplication.
    for (int32_t i = 0; i < fCount; i++) {
        const int32_t red = (fColors[i] >> 16) & 0xFF;
        const int32_t green = (fColors[i] >> 8) & 0xFF;
        const int32_t blue = fColors[i] & 0xFF;
        int32_t redDistance = (red - 4) * (red - 4) + (green - 4) * (green - 4) + (blue - 4) * (blue - 4);
        int32_t redStep = (8 - red) * 16;
        int32_t cell = 0;
        for (int32_t r5 = 0; r5 < 32; r5++) {
            int32_t greenDistance = redDistance;
            int32_t greenStep = (8 - green) * 16;
            for (int32_t g5 = 0; g5 < 32; g5++) {
                int32_t distance = greenDistance;
                int32_t blueStep = (8 - blue) * 16;
                for (int32_t b5 = 0; b5 < 32; b5++) {
                    if (i == 0 || distance < distances[cell]) {
                        distances[cell] = distance;
                        fInverseMap[cell] = static_cast<uint8_t>(i);
                    }
                    cell++;
                    distance += blueStep;
                    blueStep += 128;
                }
                greenDistance += greenStep;
                greenStep += 128;
            }
            redDistance += redStep;
            redStep += 128;
        }
    }
}

const SystemPalette& EnsureSystemPalette()
{
    std::call_once(gSystemPaletteOnce, [] { gSystemPalette.Build(); });
    return gSystemPalette;
}
