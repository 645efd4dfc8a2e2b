#include "blend_tables.h"
#include "pixel_blend.h"
#include "qv_raster.h"
#include "raster_test_support.h"
#include "system_palette.h"

#include <gtest/gtest.h>

namespace {

constexpr int32_t Fixed(float v)
{
    return static_cast<int32_t>(v * 65536.0f);
}

RasterEdge EdgeAt(float x)
{
    RasterEdge e {};
    e.x = Fixed(x);
    return e;
}

RasterEdgeF EdgeAtF(float x)
{
    RasterEdgeF e {};
    e.x = x;
    return e;
}

std::vector<int32_t> PaintedColumns(OwnedRaster& raster, int32_t row, uint32_t background = 0)
{
    std::vector<int32_t> out;
    for (int32_t x = 0; x < raster.buffer.width; x++)
        if (raster.Get32(x, row) != background)
            out.push_back(x);
    return out;
}

std::vector<int32_t> Columns(int32_t first, int32_t last)
{
    std::vector<int32_t> out;
    for (int32_t x = first; x <= last; x++)
        out.push_back(x);
    return out;
}

struct SpanFixture : ::testing::Test {
    SpanFixture()
        : target(32, 4, 32)
    {
        raster.SetRaster(target.buffer, nullptr);
        raster.SetColor(255, 255, 255);
    }
    // A one-texel texture for the textured kinds.
    void UseTexel(uint32_t texel)
    {
        texture = std::make_unique<OwnedRaster>(1, 1, 32);
        texture->Set32(0, 0, texel);
        raster.SetTexture(&texture->buffer);
    }
    void Span(uint8_t kind, float left = 0.5f, float right = 1.5f)
    {
        RasterEdge l = EdgeAt(left), r = EdgeAt(right);
        raster.FillSpan(0, l, r, kind);
    }
    OwnedRaster target;
    QV_Raster raster;
    std::unique_ptr<OwnedRaster> texture;
};

TEST_F(SpanFixture, FixedSpansCoverThePixelsWhoseCentreLiesBetweenTheEdges)
{
    struct Case {
        float left, right;
        std::vector<int32_t> columns;
    } cases[] = {
        { 3.5f, 7.5f, Columns(4, 7) },
        { 3.2f, 7.6f, Columns(3, 7) },
        { 3.5f, 4.4f, {} },
        { -5.0f, 2.5f, Columns(0, 2) },
        { 30.0f, 40.0f, Columns(30, 31) },
        { 40.0f, 50.0f, {} },
    };
    for (const Case& c : cases) {
        target.Fill32(0);
        RasterEdge l = EdgeAt(c.left), r = EdgeAt(c.right);
        raster.FillSpan(1, l, r, kRasterFlat);
        EXPECT_EQ(PaintedColumns(target, 1), c.columns) << c.left << ".." << c.right;
        EXPECT_TRUE(PaintedColumns(target, 0).empty());
    }
}

TEST_F(SpanFixture, FloatSpansCoverTheWholePositionsBetweenTheEdges)
{
    struct Case {
        float left, right;
        std::vector<int32_t> columns;
    } cases[] = {
        { 3.5f, 7.5f, Columns(4, 7) },
        { 3.0f, 7.0f, Columns(4, 7) },
        { -3.0f, 1.0f, Columns(0, 1) },
    };
    for (const Case& c : cases) {
        target.Fill32(0);
        RasterEdgeF l = EdgeAtF(c.left), r = EdgeAtF(c.right);
        l.a = r.a = 255;
        raster.FillSpanFloat(1, l, r, kRasterSmoothAlpha);
        EXPECT_EQ(PaintedColumns(target, 1), c.columns) << c.left << ".." << c.right;
    }
}

TEST_F(SpanFixture, ValuesStepInWholeStepsAndSkipColumnsLeftOfTheRaster)
{
    // Columns -10..10: twenty steps of 10 in red.
    RasterEdge l = EdgeAt(-9.5f), r = EdgeAt(10.5f);
    r.r = 200 << 16;
    raster.FillSpan(0, l, r, kRasterSmooth);
    EXPECT_EQ(target.Get32(0, 0), 0xFF640000u) << "ten steps in";
    EXPECT_EQ(target.Get32(5, 0), 0xFF960000u);
    EXPECT_EQ(target.Get32(10, 0), 0xFFC80000u);

    // A single pixel takes the left edge's values.
    RasterEdge a = EdgeAt(20.5f), b = EdgeAt(21.5f);
    a.r = 50 << 16;
    b.r = 250 << 16;
    raster.FillSpan(1, a, b, kRasterSmooth);
    EXPECT_EQ(target.Get32(21, 1), 0xFF320000u);

    // Float spans take the value at each whole position.
    RasterEdgeF fl = EdgeAtF(0.0f), fr = EdgeAtF(3.5f);
    fl.a = fr.a = 255;
    fr.g = 70;
    raster.FillSpanFloat(2, fl, fr, kRasterSmoothAlpha);
    EXPECT_EQ(target.Get32(1, 2), 0xFF001400u);
    EXPECT_EQ(target.Get32(3, 2), 0xFF003C00u);
}

TEST_F(SpanFixture, AlphaKindsOnA32BitTarget)
{
    BuildBlendTables();
    struct Case {
        const char* what;
        uint8_t kind;
        uint32_t texel;
        uint32_t before;
        uint32_t expect;
    } cases[] = {
        { "skip copies any non-zero alpha", kRasterTextureSkip, 0x01102030u, 0xFF000000u, 0x01102030u },
        { "skip keeps the pixel under alpha 0", kRasterTextureSkip, 0x00102030u, 0xFF445566u, 0xFF445566u },
        { "average over alpha 0 stores the texel", kRasterTextureAverage, 0x80FF0000u, 0x00123456u,
            0x80FF0000u },
        { "average halves all four bytes", kRasterTextureAverage, 0xFF804020u, 0xFF204080u, 0xFE504050u },
        { "difference", kRasterTextureDifference, 0xFF804020u, 0xFF204080u, 0xFF600060u },
        { "difference over alpha 0", kRasterTextureDifference, 0x10804020u, 0x00204080u, 0x10804020u },
        { "blend stores opaque", kRasterTextureBlend, 0xFF804020u, 0x80000000u, 0xFF804020u },
        { "blend skips clear", kRasterTextureBlend, 0x00804020u, 0x80112233u, 0x80112233u },
        { "copy", kRasterTexture, 0x00804020u, 0xFF112233u, 0x00804020u },
    };
    for (const Case& c : cases) {
        UseTexel(c.texel);
        target.Set32(1, 0, c.before);
        Span(c.kind);
        EXPECT_EQ(target.Get32(1, 0), c.expect) << c.what;
    }

    // Partial alpha blends and then grows the pixel's alpha by the texel's.
    UseTexel(0x80FF0000u);
    target.Set32(1, 0, 0xC8000000u);
    Span(kRasterTextureBlend);
    uint32_t expect = 0xC8000000u;
    BlendPixel32(&expect, 0x800000FFu);
    EXPECT_EQ(target.Get32(1, 0), (expect & 0x00FFFFFFu) | 0xFF000000u);

    // Filtered: one texel everywhere, so the sample is the texel itself.
    UseTexel(0x80FF0000u);
    target.Set32(1, 0, 0x10000000u);
    Span(kRasterTextureFiltered);
    expect = 0x10000000u;
    BlendPixel32(&expect, 0x800000FFu);
    EXPECT_EQ(target.Get32(1, 0), (expect & 0x00FFFFFFu) | 0x90000000u);

    // Smooth colour with alpha.
    RasterEdge l = EdgeAt(0.5f), r = EdgeAt(1.5f);
    l.a = 77 << 16;
    l.g = 10 << 16;
    raster.FillSpan(0, l, r, kRasterSmoothAlpha);
    EXPECT_EQ(target.Get32(1, 0), 0x4D000A00u);
}

uint32_t Procedure(float u, float v, void* data)
{
    auto* calls = static_cast<std::vector<std::pair<float, float>>*>(data);
    calls->emplace_back(u, v);
    return 0x80FF0000u;
}

TEST_F(SpanFixture, FloatSpansDrawTheProcedureAndTheFilteredTexture)
{
    BuildBlendTables();
    std::vector<std::pair<float, float>> calls;
    raster.fProcedure = Procedure;
    raster.fProcedureData = &calls;
    RasterEdgeF l = EdgeAtF(0.0f), r = EdgeAtF(2.0f);
    l.u = 0.25f;
    r.u = 0.75f;
    target.Set32(1, 0, 0x10000000u);
    raster.FillSpanFloat(0, l, r, kRasterProcedure);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_FLOAT_EQ(calls[0].first, 0.5f);
    EXPECT_FLOAT_EQ(calls[1].first, 0.75f);
    uint32_t expect = 0x10000000u;
    BlendPixel32(&expect, 0x800000FFu);
    EXPECT_EQ(target.Get32(1, 0), (expect & 0x00FFFFFFu) | 0x90000000u);

    // No procedure: nothing.
    raster.fProcedure = nullptr;
    target.Fill32(0);
    raster.FillSpanFloat(0, l, r, kRasterProcedure);
    EXPECT_TRUE(PaintedColumns(target, 0).empty());
}

TEST_F(SpanFixture, KindsTheRasteriserDoesNotDrawLeaveTheTarget)
{
    UseTexel(0xFFFFFFFFu);
    for (int kind : { 4, 12, 13, 14, 15, 200 }) {
        RasterPolygon list
            = PolygonInPixels(uint8_t(kind), { { 2, 0 }, { 30, 0 }, { 30, 4 }, { 2, 4 } }, target.buffer);
        raster.DrawPolygon(list);
        EXPECT_TRUE(PaintedColumns(target, 2).empty()) << kind;
    }
    for (int kind : { 0, 2, 6, 9 }) {
        RasterEdgeF l = EdgeAtF(0.0f), r = EdgeAtF(10.0f);
        raster.FillSpanFloat(2, l, r, uint8_t(kind));
        EXPECT_TRUE(PaintedColumns(target, 2).empty()) << kind;
    }
    // A textured kind without a texture draws nothing rather than reading through a null table.
    raster.SetTexture(nullptr);
    Span(kRasterTexture);
    EXPECT_TRUE(PaintedColumns(target, 0).empty());
}

TEST_F(SpanFixture, SixteenAndEightBitTargets)
{
    OwnedRaster wide(8, 1, 16);
    OwnedRaster narrow(8, 1, 8);
    OwnedRaster texture16(1, 1, 16);
    texture16.Set16(0, 0, 0x7FFF);
    raster.SetColor(0xF8, 0xFC, 0x08);

    raster.SetRaster(wide.buffer, nullptr);
    Span(kRasterFlat);
    EXPECT_EQ(wide.Get16(1, 0), raster.fColor555) << "the 2D spans write 5:5:5";
    raster.SetTexture(&texture16.buffer);
    Span(kRasterTextureSkip, 1.5f, 2.5f);
    EXPECT_EQ(wide.Get16(2, 0), 0u) << "bit 15 clear: transparent";
    texture16.Set16(0, 0, 0x8001);
    Span(kRasterTextureBlend, 1.5f, 2.5f);
    EXPECT_EQ(wide.Get16(2, 0), 0x8001u);

    raster.SetRaster(narrow.buffer, nullptr);
    Span(kRasterFlat);
    EXPECT_EQ(*narrow.At(1, 0), raster.fColorIndex);
    RasterEdge l = EdgeAt(2.5f), r = EdgeAt(3.5f);
    l.r = 255 << 16;
    raster.FillSpan(0, l, r, kRasterSmooth);
    EXPECT_EQ(*narrow.At(3, 0), EnsureSystemPalette().NearestIndex(255, 0, 0));
}

TEST_F(SpanFixture, BilinearSampleWrapsItsRightNeighbourWithWeightZeroAtTheLastColumn)
{
    OwnedRaster t = Texture32(4, 2,
        [](int32_t x, int32_t y) { return x == 0 ? 0xFF0000FFu : (y == 0 ? 0xFFFF0000u : 0xFF00FF00u); });
    raster.SetTexture(&t.buffer);
    rgb_color c;
    raster.SampleBilinear(3 << 16, 0, c);
    EXPECT_EQ(c.r, 255);
    EXPECT_EQ(c.b, 0);
    raster.SampleBilinear((3 << 16) + 0x8000, 0, c);
    EXPECT_EQ(c.r, 128) << "halfway to the first column";
    EXPECT_EQ(c.b, 128);
    raster.SampleBilinear((1 << 16), 0x8000, c);
    EXPECT_EQ(c.r, 128);
    EXPECT_EQ(c.g, 128);

    // Transparent texels still lend their colour; four of them give nothing at all.
    OwnedRaster clear
        = Texture32(2, 2, [](int32_t x, int32_t) { return x == 0 ? 0x00FF0000u : 0xFF0000FFu; });
    raster.SetTexture(&clear.buffer);
    raster.SampleBilinear(0x8000, 0, c);
    EXPECT_EQ(c.r, 128);
    EXPECT_EQ(c.a, 128);
    OwnedRaster none = Texture32(2, 2, [](int32_t, int32_t) { return 0x00FF0000u; });
    raster.SetTexture(&none.buffer);
    raster.SampleBilinear(0x8000, 0x8000, c);
    EXPECT_EQ(c.r, 0);

    // With wrap, coordinates outside come back into the texture.
    raster.SetTexture(&t.buffer);
    raster.fWrap = true;
    raster.SampleBilinear(-(1 << 16), 0, c);
    EXPECT_EQ(c.r, 255) << "column -1 is column 3";
}

} // namespace
