#include "blend_tables.h"
#include "owned_raster.h"
#include "pixel_blend.h"
#include "system_palette.h"

#include <gtest/gtest.h>

class PixelBlend : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
    static uint32_t Mix(uint32_t a, uint32_t s, uint32_t d)
    {
        return BlendMulTable[a][s] + BlendMulTable[255 - a][d];
    }
};

TEST_F(PixelBlend, ThirtyTwoBitAlphaRule)
{
    struct Case {
        uint32_t pixel;
        uint32_t color;
        uint32_t expected;
    };
    const Case cases[] = {
        // Opaque colour: the colour replaces, the pixel's alpha stays (even 0).
        { Pixel32(0, 0x10, 0x20, 0x30), Packed(0xAA, 0xBB, 0xCC, 255), Pixel32(0, 0xAA, 0xBB, 0xCC) },
        { Pixel32(0x40, 0x10, 0x20, 0x30), Packed(0xAA, 0xBB, 0xCC, 255), Pixel32(0x40, 0xAA, 0xBB, 0xCC) },
        // Transparent colour: the colour stays, the pixel becomes opaque.
        { Pixel32(0x40, 0x10, 0x20, 0x30), Packed(0xAA, 0xBB, 0xCC, 0), Pixel32(255, 0x10, 0x20, 0x30) },
        { Pixel32(0, 0x10, 0x20, 0x30), Packed(0xAA, 0xBB, 0xCC, 0), Pixel32(255, 0x10, 0x20, 0x30) },
        // Half: alpha 0 + 255 - 128.
        { Pixel32(0, 0x10, 0x20, 0x30), Packed(0xAA, 0xBB, 0xCC, 128),
            Pixel32(127, Mix(128, 0xAA, 0x10), Mix(128, 0xBB, 0x20), Mix(128, 0xCC, 0x30)) },
        { Pixel32(200, 0, 0, 0), Packed(0, 0, 0, 128), Pixel32(255, 0, 0, 0) },
    };
    for (const Case& c : cases) {
        uint32_t pixel = c.pixel;
        BlendPixel32(&pixel, c.color);
        EXPECT_EQ(pixel, c.expected) << std::hex << "pixel " << c.pixel << " colour " << c.color;
    }
}

TEST_F(PixelBlend, PackedColourHasRedInTheLowByte)
{
    uint32_t pixel = 0;
    BlendPixel32(&pixel, Packed(255, 0, 0, 255));
    EXPECT_EQ(pixel, Pixel32(0, 255, 0, 0));
}

TEST_F(PixelBlend, FifteenBitExpandsFieldsAndClearsTheTopBit)
{
    uint16_t pixel = 0xFFFF;
    BlendPixel15(&pixel, Packed(255, 255, 255, 255));
    EXPECT_EQ(pixel, 0x7FFF);

    pixel = 0x8000 | (31 << 10); // red 248
    BlendPixel15(&pixel, Packed(0, 0, 255, 128));
    // red mul[128][0] + mul[127][248] = 123, blue mul[128][255] = 128.
    EXPECT_EQ(pixel, (123 >> 3) << 10 | (128 >> 3));
}

TEST_F(PixelBlend, SixteenBitKeepsSixGreenBits)
{
    uint16_t pixel = 0xFFFF;
    BlendPixel16(&pixel, Packed(1, 2, 3, 0));
    EXPECT_EQ(pixel, 0xFFFF);

    BlendPixel16(&pixel, Packed(16, 8, 255, 255));
    EXPECT_EQ(pixel, (2 << 11) | (2 << 5) | 31);
}

TEST_F(PixelBlend, EightBitMapsTheMixBackToTheNearestPaletteEntry)
{
    const SystemPalette& palette = EnsureSystemPalette();
    uint8_t pixel = 63; // white
    BlendPixel8(&pixel, Packed(0, 0, 0, 255));
    EXPECT_EQ(pixel, 0) << "index 0 is a colour here, not transparency";

    pixel = 63;
    BlendPixel8(&pixel, Packed(0, 0, 0, 128));
    // 127 grey lies between 787878 (15) and 808080 (16) at equal distance.
    EXPECT_EQ(pixel, palette.NearestIndex(127, 127, 127));
    EXPECT_EQ(pixel, 15);
}
