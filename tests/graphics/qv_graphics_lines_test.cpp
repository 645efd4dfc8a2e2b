#include "blend_tables.h"
#include "graphics_canvas.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(QVGraphicsLines, SmoothLineTablesHoldTheGaussianFalloff)
{
    Canvas c(1, 1); // the first context builds them
    using qv_graphics::gSmoothFalloff;
    using qv_graphics::gSmoothSlopeFactor;
    EXPECT_EQ(gSmoothSlopeFactor[0], 181);
    EXPECT_EQ(gSmoothSlopeFactor[31], 254);
    EXPECT_EQ((std::vector<int32_t>(gSmoothFalloff, gSmoothFalloff + 5)),
        (std::vector<int32_t> { 255, 255, 253, 250, 247 }));
    EXPECT_GT(gSmoothFalloff[56], 0);
    EXPECT_EQ(gSmoothFalloff[57], 0);
    EXPECT_EQ(gSmoothFalloff[63], 0);
}

TEST(QVGraphicsLines, HorizontalAndVerticalLinesAreSpans)
{
    Canvas h(32, 32);
    h.g.SetColor(255, 255, 255);
    h.g.DrawHLine(10, 20, 5);
    EXPECT_EQ(h.ChangedPixels(), Canvas::Block(10, 5, 20, 5));

    Canvas v(32, 32);
    v.g.SetColor(255, 255, 255);
    v.g.DrawVLine(10, 20, 5);
    EXPECT_EQ(v.ChangedPixels(), Canvas::Block(5, 10, 5, 20));
}

TEST(QVGraphicsLines, BresenhamLineDrawsBothEnds)
{
    Canvas c(8, 4);
    c.g.SetColor(255, 255, 255);
    c.g.DrawLine(0, 0, 5, 2);
    const Canvas::Pixels expected { { 0, 0 }, { 1, 0 }, { 2, 1 }, { 3, 1 }, { 4, 2 }, { 5, 2 } };
    EXPECT_EQ(c.ChangedPixels(), expected) << c.Picture();

    // The other direction of the same line is its mirror in the walk, not in the pixels.
    Canvas steep(4, 8);
    steep.g.SetColor(255, 255, 255);
    steep.g.DrawLine(2, 5, 0, 0);
    const Canvas::Pixels expectedSteep { { 0, 0 }, { 0, 1 }, { 1, 2 }, { 1, 3 }, { 2, 4 }, { 2, 5 } };
    EXPECT_EQ(steep.ChangedPixels(), expectedSteep) << steep.Picture();
}

TEST(QVGraphicsLines, PointLineWritesOnePixelWhateverThePen)
{
    for (int32_t pen : { 1, 4 }) {
        Canvas c(8, 8);
        c.g.SetColor(255, 255, 255);
        c.g.SetPenWidth(pen);
        c.g.DrawLine(3, 3, 3, 3);
        EXPECT_EQ(c.ChangedPixels(), Canvas::Block(3, 3, 3, 3)) << pen;
    }
}

TEST(QVGraphicsLines, ThickAliasedLineIsStampedWithASquare)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.SetPenWidth(4);
    c.g.DrawLine(10, 10, 20, 10);
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(8, 8, 21, 11)) << c.Picture();

    // The line is clipped so that the brush stays inside the clip rectangle; a line whose brush
    // would stick out on every position draws nothing.
    Canvas edge(16, 16);
    edge.g.SetColor(255, 255, 255);
    edge.g.SetPenWidth(4);
    edge.g.DrawLine(-10, 5, 30, 5);
    EXPECT_EQ(edge.ChangedPixels(), Canvas::Block(0, 3, 15, 6)) << edge.Picture();
    edge.g.DrawLine(-10, 0, 30, 0);
    EXPECT_EQ(edge.ChangedPixels(), Canvas::Block(0, 3, 15, 6)) << edge.Picture();
}

TEST(QVGraphicsLines, PixelPenMovesWithEveryPixelLine)
{
    Canvas c(16, 16);
    c.g.SetColor(255, 255, 255);
    c.g.fPixelPenX = 2;
    c.g.fPixelPenY = 2;
    c.g.DrawPixelLine(6, 2);
    c.g.DrawPixelLine(6, 6);
    EXPECT_EQ(c.g.fPixelPenX, 6);
    EXPECT_EQ(c.g.fPixelPenY, 6);
    EXPECT_TRUE(c.Changed(4, 2));
    EXPECT_TRUE(c.Changed(6, 4));

    c.g.MoveTo(1, 10);
    c.g.LineTo(5, 10);
    EXPECT_EQ(c.g.fPenX, 5.0f);
    EXPECT_TRUE(c.Changed(1, 10));
    EXPECT_TRUE(c.Changed(5, 10));
}

TEST(QVGraphicsLines, LinesOutsideTheClipRectangleDrawNothing)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.SetClipRect(8, 8, 23, 23);
    c.g.DrawLine(0, 0, 31, 31);
    for (const auto& p : c.ChangedPixels()) {
        EXPECT_GE(p.first, 8);
        EXPECT_LE(p.first, 23);
    }
    EXPECT_TRUE(c.Changed(8, 8));
    EXPECT_TRUE(c.Changed(23, 23));
    c.g.DrawLine(0, 0, 5, 0);
    c.g.DrawHSpan(0, 5, 10);
    c.g.DrawVSpan(0, 3, 31);
    EXPECT_EQ(c.ChangedPixels().size(), 16u);
}

// w = 1 - 0.1 y and z = 0.5: the near plane lies at world y = 5 (screen row 10 at x = 10).
QV_Matrix NearPlaneAtFive()
{
    QV_Matrix m;
    m.m[7] = -0.1f;
    m.m[14] = 0.5f;
    return m;
}

TEST(QVGraphicsLines, WorldLineIsCutAtTheNearPlane)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.ApplyMatrix(NearPlaneAtFive());
    c.g.DrawLine(5, 0, 5, 20);
    const Canvas::Pixels expected { { 5, 0 }, { 6, 1 }, { 6, 2 }, { 7, 3 }, { 7, 4 }, { 8, 5 }, { 8, 6 },
        { 9, 7 }, { 9, 8 }, { 10, 9 }, { 10, 10 } };
    EXPECT_EQ(c.ChangedPixels(), expected) << c.Picture();

    Canvas behind(32, 32);
    behind.g.ApplyMatrix(NearPlaneAtFive());
    behind.g.SetColor(255, 255, 255);
    behind.g.DrawLine(1, 6, 9, 20);
    EXPECT_TRUE(behind.ChangedPixels().empty());
}

int32_t Shade(Canvas& c, int32_t x, int32_t y)
{
    return int32_t(c.raster.Get32(x, y) & 0xFF);
}

TEST(QVGraphicsLines, SmoothLineShadesThreeRowsAroundIntegerCentres)
{
    using qv_graphics::gSmoothFalloff;
    const int32_t full = 256 * 181 >> 8; // horizontal slope factor on an inner column
    Canvas on(48, 24);
    on.g.SetColor(255, 255, 255);
    on.g.SetSmoothing(true);
    on.g.DrawLine(10, 10.0f, 30, 10.0f);
    EXPECT_EQ(Shade(on, 20, 9), full * gSmoothFalloff[32] >> 8);
    EXPECT_EQ(Shade(on, 20, 10), full * gSmoothFalloff[0] >> 8);
    EXPECT_EQ(Shade(on, 20, 11), full * gSmoothFalloff[31] >> 8);
    EXPECT_GT(Shade(on, 20, 10), 4 * Shade(on, 20, 9));
    EXPECT_LE(std::abs(Shade(on, 20, 9) - Shade(on, 20, 11)), 4); // as equal as the 1/32 steps allow
    EXPECT_EQ(Shade(on, 20, 8), 0);
    EXPECT_EQ(Shade(on, 20, 12), 0);

    Canvas half(48, 24);
    half.g.SetColor(255, 255, 255);
    half.g.SetSmoothing(true);
    half.g.DrawLine(10, 10.5f, 30, 10.5f);
    EXPECT_EQ(Shade(half, 20, 10), full * gSmoothFalloff[16] >> 8);
    EXPECT_EQ(Shade(half, 20, 11), full * gSmoothFalloff[15] >> 8);
    EXPECT_EQ(Shade(half, 20, 12), full * gSmoothFalloff[47] >> 8);
    EXPECT_LE(std::abs(Shade(half, 20, 10) - Shade(half, 20, 11)), 8);
    EXPECT_GT(Shade(half, 20, 12), 0);
    EXPECT_LT(8 * Shade(half, 20, 12), Shade(half, 20, 10));
    EXPECT_EQ(Shade(half, 20, 9), 0);
}

TEST(QVGraphicsLines, SmoothLineEndsFadeByTheirOverlap)
{
    Canvas c(48, 24);
    c.g.SetColor(255, 255, 255);
    c.g.SetSmoothing(true);
    c.g.DrawLine(10, 10, 30, 10);
    // Column 10 holds half of its two-pixel window: weight 16 x 8 + 4; column 31 holds nothing of
    // it: weight 4. Column 9 lies outside the walk.
    const int32_t falloff = qv_graphics::gSmoothFalloff[0];
    EXPECT_EQ(Shade(c, 10, 10), ((132 * 181) >> 8) * falloff >> 8);
    EXPECT_EQ(Shade(c, 31, 10), ((4 * 181) >> 8) * falloff >> 8);
    EXPECT_EQ(Shade(c, 9, 10), 0);
}

TEST(QVGraphicsLines, SmoothLineLongerThanTwoThousandPixels)
{
    // Fixed point with 12 integer bits would wrap beyond 2047 pixels from the line's start.
    Canvas c(3000, 20);
    c.g.SetColor(255, 255, 255);
    c.g.SetSmoothing(true);
    c.g.DrawLine(10, 10, 2990, 10);
    const int32_t row = (256 * 181 >> 8) * qv_graphics::gSmoothFalloff[0] >> 8;
    for (int32_t x : { 100, 1500, 2100, 2500, 2980 })
        EXPECT_EQ(Shade(c, x, 10), row) << x;
}

TEST(QVGraphicsLines, TranslucentSmoothLineHasProportionalCoverage)
{
    Canvas opaque(48, 24), translucent(48, 24);
    opaque.g.SetColor(255, 255, 255);
    translucent.g.SetColor(255, 255, 255, 128);
    for (Canvas* c : { &opaque, &translucent }) {
        c->g.SetSmoothing(true);
        c->g.DrawLine(5, 5, 40, 15);
    }
    for (int32_t y = 0; y < 24; y++)
        for (int32_t x = 0; x < 48; x++)
            EXPECT_EQ(Shade(translucent, x, y), BlendMulTable[Shade(opaque, x, y)][128]) << x << "," << y;
    EXPECT_GT(Shade(opaque, 22, 10), 100);
}

TEST(QVGraphicsLines, SmoothLinePixelsOutsideTheClipAreMovedOntoIt)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.SetSmoothing(true);
    c.g.SetClipRect(0, 10, 31, 20);
    c.g.DrawLine(5, 10, 25, 10); // row 9's shading lands on row 10
    EXPECT_EQ(Shade(c, 15, 9), 0);
    EXPECT_GT(Shade(c, 15, 10), 180);
}

TEST(QVGraphicsLines, SmoothThickLineIsAFilledHexagon)
{
    Canvas c(32, 24);
    c.g.SetColor(255, 255, 255);
    c.g.SetSmoothing(true);
    c.g.SetPenWidth(3);
    c.g.DrawLine(10, 10, 20, 10);
    EXPECT_EQ(c.raster.Get32(15, 9), 0xFFFFFFFFu);
    EXPECT_EQ(c.raster.Get32(15, 10), 0xFFFFFFFFu);
    EXPECT_GT(Shade(c, 15, 8), 0);
    EXPECT_LT(Shade(c, 15, 8), 255);
    EXPECT_EQ(Shade(c, 15, 13), 0);
}

TEST(QVGraphicsLines, DottedInvertTwiceRestoresTheRaster)
{
    Canvas c(16, 16);
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++)
            c.raster.Set32(x, y, 0x80000000u | uint32_t(x * 16 + y) * 0x010203u);
    const std::vector<uint8_t> before = c.raster.bytes;
    c.g.InvertDottedHLine(0, 3, 9);
    for (int32_t x = 0; x < 16; x++) {
        const uint32_t original = 0x80000000u | uint32_t(x * 16 + 3) * 0x010203u;
        const bool dotted = x <= 9 && x % 2 == 0;
        EXPECT_EQ(c.raster.Get32(x, 3), dotted ? original ^ 0x00FFFFFFu : original) << x;
    }
    c.g.InvertDottedVLine(5, 14, 2);
    c.g.InvertDottedVLine(5, 2, 14);
    c.g.InvertDottedHLine(9, 3, 0);
    EXPECT_EQ(c.raster.bytes, before);

    for (int32_t depth : { 8, 16 }) {
        Canvas small(8, 2, depth);
        small.g.InvertDottedHLine(0, 0, 7);
        EXPECT_EQ(small.Get(2, 0), depth == 8 ? 0xFFu : 0xFFFFu);
        EXPECT_EQ(small.Get(3, 0), 0u);
    }
}

} // namespace
