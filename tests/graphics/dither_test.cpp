#include "dither.h"
#include "owned_raster.h"
#include "qv_random.h"
#include "system_palette.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The dither value read at position k of a conversion, which restarts at the
// table's start on every call and wraps at its end.
int32_t DitherAt(int32_t k)
{
    return DitherTable[k % kDitherTableSize];
}

// A 32-bit row whose channels sweep the values around the 5- and 6-bit steps.
OwnedRaster Sweep(int32_t width)
{
    OwnedRaster r(width, 1, 32);
    for (int32_t x = 0; x < width; x++)
        r.Set32(x, 0, Pixel32(x % 2 ? 255 : 100, (x * 7) % 256, 248 + x % 8, (x * 13) % 256));
    return r;
}

} // namespace

TEST(DitherTable, FilledOnceFromTheProgramsRandomSequence)
{
    if (DitherTableCount() != 0)
        GTEST_SKIP() << "another test in this process filled the table first";
    QV_SRand(12345);
    FillDitherTable();
    ASSERT_EQ(DitherTableCount(), kDitherTableSize);

    QV_SRand(12345);
    for (int32_t i = 0; i < kDitherTableSize; i++)
        ASSERT_EQ(DitherTable[i], QV_Rand() * 8 / kQVRandMax) << "entry " << i;

    QV_SRand(999);
    FillDitherTable();
    QV_SRand(12345);
    EXPECT_EQ(DitherTable[0], QV_Rand() * 8 / kQVRandMax) << "filled once per process";
}

TEST(ConvertTo15Dithered, SaturatesEachChannelAndSetsBit15FromAlpha)
{
    OwnedRaster source = Sweep(200); // 600 reads: the table wraps
    OwnedRaster destination(200, 1, 15);
    ConvertTo15Dithered(source.buffer, destination.buffer);
    for (int32_t x = 0; x < 200; x++) {
        const uint8_t* s = source.At(x, 0);
        auto field = [](int c, int d) { return c + d < 256 ? (c + d) >> 3 : 31; };
        const int expected = (s[3] >= 128 ? 0x8000 : 0) | field(s[2], DitherAt(3 * x)) << 10
            | field(s[1], DitherAt(3 * x + 1)) << 5 | field(s[0], DitherAt(3 * x + 2));
        ASSERT_EQ(destination.Get16(x, 0), expected) << "x=" << x;
    }

    // The table position restarts with every conversion.
    OwnedRaster again(200, 1, 15);
    ConvertTo15Dithered(source.buffer, again.buffer);
    EXPECT_EQ(again.bytes, destination.bytes);
}

TEST(ConvertTo15Dithered, WhiteIsAlwaysAllOnesAndAlpha127ClearsBit15)
{
    OwnedRaster source(400, 1, 32);
    source.Fill32(Pixel32(255, 255, 255, 255));
    source.Set32(7, 0, Pixel32(127, 255, 255, 255));
    source.Set32(8, 0, Pixel32(128, 255, 255, 255));
    OwnedRaster destination(400, 1, 15);
    ConvertTo15Dithered(source.buffer, destination.buffer);
    for (int32_t x = 0; x < 400; x++)
        ASSERT_EQ(destination.Get16(x, 0), x == 7 ? 0x7FFF : 0xFFFF) << "x=" << x;
}

TEST(ConvertTo16Dithered, GreenHasSixBits)
{
    OwnedRaster source = Sweep(200);
    OwnedRaster destination(200, 1, 16);
    ConvertTo16Dithered(source.buffer, destination.buffer);
    for (int32_t x = 0; x < 200; x++) {
        const uint8_t* s = source.At(x, 0);
        auto red = s[2] + DitherAt(3 * x) < 256 ? (s[2] + DitherAt(3 * x)) >> 3 : 31;
        auto green = s[1] + DitherAt(3 * x + 1) < 256 ? (s[1] + DitherAt(3 * x + 1)) >> 2 : 63;
        auto blue = s[0] + DitherAt(3 * x + 2) < 256 ? (s[0] + DitherAt(3 * x + 2)) >> 3 : 31;
        ASSERT_EQ(destination.Get16(x, 0), red << 11 | green << 5 | blue) << "x=" << x;
    }
}

TEST(ConvertTo8Dithered, TransparencyOwnsIndexZero)
{
    // Opaque black maps to entry 0 (or 1 for the largest dither value) and is
    // written as 1 everywhere; only the pixel with alpha 127 gets 0.
    OwnedRaster source(4, 3, 32);
    source.Fill32(Pixel32(255, 0, 0, 0));
    source.Set32(1, 1, Pixel32(127, 255, 255, 255));
    OwnedRaster destination(4, 3, 8);
    ConvertTo8Dithered(source.buffer, destination.buffer);
    for (int32_t y = 0; y < 3; y++)
        for (int32_t x = 0; x < 4; x++)
            EXPECT_EQ(*destination.At(x, y), x == 1 && y == 1 ? 0 : 1) << x << "," << y;
}

TEST(ConvertTo8Dithered, OnePixelHighRasterIsAllBorder)
{
    OwnedRaster source = Sweep(50);
    OwnedRaster destination(50, 1, 8);
    ConvertTo8Dithered(source.buffer, destination.buffer);
    const SystemPalette& palette = EnsureSystemPalette();
    for (int32_t x = 0; x < 50; x++) {
        const uint8_t* s = source.At(x, 0);
        const int32_t d = DitherAt(x);
        uint8_t expected = palette.NearestIndex(static_cast<uint8_t>(std::min(255, s[2] + d)),
            static_cast<uint8_t>(std::min(255, s[1] + d)), static_cast<uint8_t>(std::min(255, s[0] + d)));
        if (s[3] < 128)
            expected = 0;
        else if (expected == 0)
            expected = 1;
        ASSERT_EQ(destination.At(x, 0)[0], expected) << "x=" << x;
    }
}

TEST(ConvertTo8Dithered, InnerPixelsDiffuseTheirError)
{
    // (128, 0, 255) lies between 9800FF (230) and 6600FF (236). Row 0: the
    // first inner pixel takes 230 and passes red error -24 on; its neighbour
    // arrives at 117 and takes 236. Row 1 collects -8 and +2 below the first
    // and 4 - 2 + 8 at the second, and swaps the two.
    OwnedRaster source(4, 3, 32);
    source.Fill32(Pixel32(255, 128, 0, 255));
    OwnedRaster destination(4, 3, 8);
    ConvertTo8Dithered(source.buffer, destination.buffer);
    EXPECT_EQ(*destination.At(1, 0), 230);
    EXPECT_EQ(*destination.At(2, 0), 236);
    EXPECT_EQ(*destination.At(1, 1), 236);
    EXPECT_EQ(*destination.At(2, 1), 230);
}

TEST(ConvertTo8Dithered, ExactPaletteColourHasNoErrorToSpread)
{
    OwnedRaster source(6, 5, 32);
    source.Fill32(Pixel32(255, 0x33, 0x33, 0x33));
    OwnedRaster destination(6, 5, 8);
    ConvertTo8Dithered(source.buffer, destination.buffer);
    for (int32_t y = 0; y < 4; y++)
        for (int32_t x = 1; x < 5; x++)
            EXPECT_EQ(*destination.At(x, y), 214) << x << "," << y;
}

TEST(ConvertFrom8, IndicesBecomeOpaquePaletteColours)
{
    OwnedRaster source(3, 1, 8);
    source.At(0, 0)[0] = 0;
    source.At(1, 0)[0] = 152;
    source.At(2, 0)[0] = 255;
    OwnedRaster destination(3, 1, 32);
    ConvertFrom8(source.buffer, destination.buffer);
    EXPECT_EQ(destination.Get32(0, 0), Pixel32(255, 0, 0, 0));
    EXPECT_EQ(destination.Get32(1, 0), Pixel32(255, 0xE6, 0x86, 0x00));
    EXPECT_EQ(destination.Get32(2, 0), Pixel32(255, 255, 255, 255));
}

TEST(DitheredConversions, MismatchedRastersConvertNothing)
{
    OwnedRaster source(4, 4, 32);
    source.Fill32(Pixel32(255, 255, 255, 255));
    OwnedRaster narrow(3, 4, 15);
    OwnedRaster wrongDepth(4, 4, 32);
    OwnedRaster narrow8(3, 4, 8);
    ConvertTo15Dithered(source.buffer, narrow.buffer);
    ConvertTo16Dithered(source.buffer, wrongDepth.buffer);
    ConvertTo8Dithered(source.buffer, narrow8.buffer);
    ConvertFrom8(narrow8.buffer, source.buffer);
    EXPECT_TRUE(std::all_of(narrow.bytes.begin(), narrow.bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(
        std::all_of(wrongDepth.bytes.begin(), wrongDepth.bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(narrow8.bytes.begin(), narrow8.bytes.end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(source.Get32(0, 0), Pixel32(255, 255, 255, 255));
}
