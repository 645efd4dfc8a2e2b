#include "blend_tables.h"
#include "owned_raster.h"
#include "raster_fill.h"

#include <gtest/gtest.h>

TEST(FillRaster, ZeroColourZeroFillsButAlphaOneIsWritten)
{
    OwnedRaster r(3, 2, 32, 4);
    r.Fill32(0x12345678);
    FillRaster(r.buffer, rgb_color { 0, 0, 0, 0 });
    EXPECT_EQ(r.Get32(2, 1), 0u);
    FillRaster(r.buffer, rgb_color { 0, 0, 0, 1 });
    for (int32_t y = 0; y < 2; y++)
        for (int32_t x = 0; x < 3; x++)
            EXPECT_EQ(r.Get32(x, y), Pixel32(1, 0, 0, 0));
    EXPECT_TRUE(r.PaddingIntact()) << "only the pixels of each row are written";
}

TEST(FillRaster, EachDepthGetsItsOwnEncoding)
{
    OwnedRaster r32(5, 2, 32, 4);
    FillRaster(r32.buffer, rgb_color { 0x11, 0x22, 0x33, 0x44 });
    EXPECT_EQ(r32.Get32(4, 1), Pixel32(0x44, 0x11, 0x22, 0x33));

    OwnedRaster r24(5, 2, 24, 1);
    FillRaster(r24.buffer, rgb_color { 0x11, 0x22, 0x33, 0 });
    EXPECT_EQ(r24.At(4, 1)[0], 0x33);
    EXPECT_EQ(r24.At(4, 1)[1], 0x22);
    EXPECT_EQ(r24.At(4, 1)[2], 0x11);

    OwnedRaster r15(5, 2, 15, 2);
    FillRaster(r15.buffer, rgb_color { 255, 0, 8, 255 });
    EXPECT_EQ(r15.Get16(4, 1), (31 << 10) | 1);

    OwnedRaster r16(5, 2, 16, 2);
    FillRaster(r16.buffer, rgb_color { 255, 4, 8, 255 });
    EXPECT_EQ(r16.Get16(4, 1), (31 << 11) | (1 << 5) | 1);

    OwnedRaster r8(5, 2, 8, 3);
    FillRaster(r8.buffer, rgb_color { 255, 255, 255, 255 });
    EXPECT_EQ(*r8.At(4, 1), 63);

    for (OwnedRaster* r : { &r32, &r24, &r15, &r16, &r8 })
        EXPECT_TRUE(r->PaddingIntact()) << "depth " << r->buffer.depth;
}

TEST(FillRaster, BlackOfPackedDepthsIsZero)
{
    OwnedRaster r16(3, 1, 16);
    r16.Set16(1, 0, 0xFFFF);
    FillRaster(r16.buffer, rgb_color { 0, 0, 0, 255 });
    EXPECT_EQ(r16.Get16(1, 0), 0);
}

TEST(FillRaster, RasterWithoutPixelsIsLeftAlone)
{
    QV_PixelBuffer none;
    none.width = 10;
    none.height = 10;
    none.depth = 32;
    none.bytesPerPixel = 4;
    none.rowBytes = 40;
    FillRaster(none, rgb_color { 1, 2, 3, 4 });
}

TEST(InvertRaster, InvertsColourKeepsAlphaAnd32BitOnly)
{
    OwnedRaster r(2, 1, 32);
    r.Fill32(Pixel32(0x40, 0, 0x10, 0xFF));
    InvertRaster(r.buffer);
    EXPECT_EQ(r.Get32(1, 0), Pixel32(0x40, 0xFF, 0xEF, 0));

    OwnedRaster r16(2, 1, 16);
    r16.Set16(0, 0, 0x1234);
    InvertRaster(r16.buffer);
    EXPECT_EQ(r16.Get16(0, 0), 0x1234);
}

TEST(TintRaster, AlphaDecidesBetweenNothingReplaceAndBlend)
{
    BuildBlendTables();
    OwnedRaster r(2, 1, 32);
    r.Fill32(Pixel32(0x40, 0x10, 0x20, 0x30));
    TintRaster(r.buffer, Packed(0xAA, 0xBB, 0xCC, 0));
    EXPECT_EQ(r.Get32(0, 0), Pixel32(0x40, 0x10, 0x20, 0x30));
    TintRaster(r.buffer, Packed(0xAA, 0xBB, 0xCC, 255));
    EXPECT_EQ(r.Get32(0, 0), Pixel32(0x40, 0xAA, 0xBB, 0xCC));
    TintRaster(r.buffer, Packed(0, 0, 0, 128));
    auto half = [](uint32_t d) { return BlendMulTable[127][d]; };
    EXPECT_EQ(r.Get32(1, 0), Pixel32(0x40, half(0xAA), half(0xBB), half(0xCC))) << "alpha kept";

    OwnedRaster r15(1, 1, 15);
    r15.Set16(0, 0, 0x8000);
    TintRaster(r15.buffer, Packed(255, 0, 0, 255));
    EXPECT_EQ(r15.Get16(0, 0), 31 << 10);
    r15.Set16(0, 0, 0x8000 | (31 << 10));
    TintRaster(r15.buffer, Packed(0, 0, 0, 128));
    EXPECT_EQ(r15.Get16(0, 0), (BlendMulTable[127][248] >> 3) << 10);

    OwnedRaster r16(1, 1, 16);
    TintRaster(r16.buffer, Packed(0, 255, 0, 255));
    EXPECT_EQ(r16.Get16(0, 0), 63 << 5);
}
