#include "graphics_canvas.h"
#include "pixel_blend.h"
#include "qv_graphics.h"
#include "qv_graphics_agg.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

void AddSquare(QV_Graphics& g, float left, float top, float right, float bottom)
{
    g.AddLine(left, top, right, top);
    g.AddLine(right, top, right, bottom);
    g.AddLine(right, bottom, left, bottom);
    g.AddLine(left, bottom, left, top);
}

TEST(QVGraphicsFill, SquareFillsByTheRowAndColumnRules)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    AddSquare(c.g, 10, 10, 20, 20);
    EXPECT_TRUE(c.g.EndShape());
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(11, 10, 20, 19)) << c.Picture();
    EXPECT_EQ(c.raster.Get32(15, 15), 0xFFFFFFFFu);
}

TEST(QVGraphicsFill, OverlapIsLeftEmptyByTheEvenOddRule)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    AddSquare(c.g, 0, 0, 20, 20);
    AddSquare(c.g, 10, 10, 30, 30);
    EXPECT_TRUE(c.g.EndShape());
    EXPECT_TRUE(c.Changed(5, 5));
    EXPECT_TRUE(c.Changed(25, 25));
    EXPECT_FALSE(c.Changed(15, 15)) << c.Picture();
    EXPECT_FALSE(c.Changed(11, 10));
    EXPECT_TRUE(c.Changed(10, 10)); // column 10 still belongs to the first square only
}

TEST(QVGraphicsFill, OpenOutlineReportsFalseAndTheCheckerboardRefusesIt)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    c.g.AddLine(10, 10, 20, 10);
    c.g.AddLine(20, 10, 20, 20);
    c.g.AddLine(20, 20, 10, 20);
    EXPECT_FALSE(c.g.EndShape());
    EXPECT_TRUE(c.ChangedPixels().empty()); // one crossing per row: no span to walk

    // With three crossings a row, the unpaired last one closes a span from the cursor.
    Canvas three(32, 32);
    three.g.SetColor(255, 255, 255);
    three.g.BeginShape();
    three.g.AddLine(10, 10, 10, 20);
    three.g.AddLine(15, 10, 15, 20);
    three.g.AddLine(20, 10, 20, 20);
    EXPECT_FALSE(three.g.EndShape());
    EXPECT_EQ(three.ChangedPixels(), Canvas::Block(11, 10, 20, 19)) << three.Picture();

    Canvas checker(32, 32);
    checker.g.SetFillMode(QV_Graphics::kFillChecker);
    checker.g.SetColor(255, 255, 255);
    gOddShapeFlag = false;
    checker.g.BeginShape();
    checker.g.AddLine(10, 10, 20, 10);
    checker.g.AddLine(20, 10, 20, 20);
    checker.g.AddLine(20, 20, 10, 20);
    EXPECT_FALSE(checker.g.EndShape());
    EXPECT_TRUE(gOddShapeFlag);
    EXPECT_TRUE(checker.ChangedPixels().empty());
    gOddShapeFlag = false;
}

TEST(QVGraphicsFill, CheckerboardWritesFourByFourSquares)
{
    Canvas c(16, 16);
    c.g.SetFillMode(QV_Graphics::kFillChecker);
    c.g.SetColor(255, 255, 255, 100); // never blended
    gOddShapeFlag = false;
    c.g.BeginShape();
    AddSquare(c.g, -1, 0, 15, 16);
    EXPECT_TRUE(c.g.EndShape());
    EXPECT_FALSE(gOddShapeFlag);
    for (int32_t y = 0; y < 16; y++)
        for (int32_t x = 0; x < 16; x++)
            EXPECT_EQ(
                c.raster.Get32(x, y), ((x & 4) != 0) == ((y & 4) != 0) ? 0x64FFFFFFu : Canvas::kBackground)
                << x << "," << y;
}

TEST(QVGraphicsFill, TranslucentColourBlendsEachPixelOnce)
{
    Canvas c(16, 16);
    c.raster.Fill32(0xFF204060u);
    c.g.SetColor(200, 100, 0, 128);
    c.g.BeginShape();
    AddSquare(c.g, 2, 2, 10, 10);
    c.g.EndShape();
    uint32_t expected = 0xFF204060u;
    const uint32_t packed = 200u | 100u << 8 | 0u << 16 | 128u << 24;
    BlendPixel32(&expected, packed);
    EXPECT_EQ(c.raster.Get32(5, 5), expected);
    EXPECT_EQ(c.raster.Get32(0, 0), 0xFF204060u);
}

TEST(QVGraphicsFill, ShapesDrawIntoEveryPixelSize)
{
    for (int32_t depth : { 8, 15, 16 }) {
        Canvas c(16, 16, depth);
        c.g.SetColor(255, 0, 0);
        c.g.BeginShape();
        AddSquare(c.g, 2, 2, 6, 6);
        c.g.EndShape();
        const uint32_t expected = depth == 8 ? c.g.fColorIndex : depth == 15 ? c.g.fColor555 : c.g.fColor565;
        EXPECT_EQ(c.ChangedPixels(), Canvas::Block(3, 2, 6, 5)) << depth;
        EXPECT_EQ(c.Get(4, 4), expected) << depth;
    }
    Canvas c24(16, 16, 24);
    c24.g.BeginShape();
    AddSquare(c24.g, 2, 2, 6, 6);
    c24.g.EndShape(); // draws nothing
    EXPECT_TRUE(
        std::all_of(c24.raster.bytes.begin(), c24.raster.bytes.end(), [](uint8_t b) { return b == 0; }));
}

TEST(QVGraphicsFill, MaskModesReadAndWriteTheMaskStack)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.PushMask(true);

    // 16: clear the level inside a square.
    c.g.SetFillMode(QV_Graphics::kFillClearMask);
    c.g.BeginShape();
    AddSquare(c.g, 10, 10, 20, 20);
    c.g.EndShape();
    EXPECT_TRUE(c.ChangedPixels().empty()); // mask only
    EXPECT_EQ(c.g.fMask[15 * 32 + 15], 0xFE);
    EXPECT_EQ(c.g.fMask[5 * 32 + 5], 0xFF);

    // 4: fill only inside every pushed level.
    c.g.SetFillMode(QV_Graphics::kFillMasked);
    c.g.BeginShape();
    AddSquare(c.g, 0, 0, 32, 32);
    c.g.EndShape();
    EXPECT_TRUE(c.Changed(5, 5));
    EXPECT_FALSE(c.Changed(15, 15));
    EXPECT_TRUE(c.Changed(21, 15));

    // 8: set the level again in part of the hole; 4 now reaches it.
    c.raster.Fill32(Canvas::kBackground);
    c.g.SetFillMode(QV_Graphics::kFillSetMask);
    c.g.BeginShape();
    AddSquare(c.g, 10, 10, 15, 20);
    c.g.EndShape();
    c.g.SetFillMode(QV_Graphics::kFillMasked);
    c.g.BeginShape();
    AddSquare(c.g, 0, 0, 32, 32);
    c.g.EndShape();
    EXPECT_TRUE(c.Changed(13, 15));
    EXPECT_FALSE(c.Changed(18, 15));

    // 4 with 8: a plain fill, and the level is set as well.
    c.raster.Fill32(Canvas::kBackground);
    c.g.SetFillMode(QV_Graphics::kFillMasked | QV_Graphics::kFillSetMask);
    c.g.BeginShape();
    AddSquare(c.g, 16, 10, 20, 20);
    c.g.EndShape();
    EXPECT_TRUE(c.Changed(18, 15));
    EXPECT_EQ(c.g.fMask[15 * 32 + 18] & 1, 1);
}

TEST(QVGraphicsFill, ManyCrossingsOnARowGrowTheRow)
{
    Canvas c(100, 8);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    for (int i = 0; i < 20; i++)
        AddSquare(c.g, float(i * 5), 0, float(i * 5 + 2), 8);
    EXPECT_TRUE(c.g.EndShape());
    for (int i = 0; i < 20; i++) {
        EXPECT_TRUE(c.Changed(i * 5 + 1, 4)) << i;
        EXPECT_TRUE(c.Changed(i * 5 + 2, 4)) << i;
        EXPECT_FALSE(c.Changed(i * 5 + 3, 4)) << i;
    }
}

TEST(QVGraphicsFill, EdgesFarOutsideAreClampedNotConverted)
{
    Canvas c(16, 16);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    AddSquare(c.g, -1e12f, -1e12f, 8, 1e12f);
    EXPECT_TRUE(c.g.EndShape());
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(0, 0, 8, 15));

    c.g.SetAntialiasing(true);
    c.raster.Fill32(Canvas::kBackground);
    c.g.BeginShape();
    AddSquare(c.g, -1e9f, -1e9f, 8, 1e9f); // clamped at -23000 and still filled
    c.g.EndShape();
    EXPECT_EQ(c.raster.Get32(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(c.raster.Get32(7, 15), 0xFFFFFFFFu);
    EXPECT_EQ(c.raster.Get32(8, 5), Canvas::kBackground);
}

// ---- Smooth filling ----

// The rasteriser's gamma table is what the smooth fills have always used; the current library's
// default is linear, so the table must arrive through the gamma hook.
TEST(QVGraphicsSmoothFill, GammaTableIsTheOneOfTheEarlierLibrary)
{
    static const uint8_t expected[256] = { 0, 0, 1, 1, 2, 2, 3, 4, 4, 5, 5, 6, 7, 7, 8, 8, 9, 10, 10, 11, 11,
        12, 13, 13, 14, 14, 15, 16, 16, 17, 18, 18, 19, 19, 20, 21, 21, 22, 22, 23, 24, 24, 25, 25, 26, 27,
        27, 28, 29, 29, 30, 30, 31, 32, 32, 33, 34, 34, 35, 36, 36, 37, 37, 38, 39, 39, 40, 41, 41, 42, 43,
        43, 44, 45, 45, 46, 47, 47, 48, 49, 49, 50, 51, 51, 52, 53, 53, 54, 55, 55, 56, 57, 57, 58, 59, 60,
        60, 61, 62, 62, 63, 64, 65, 65, 66, 67, 68, 68, 69, 70, 71, 71, 72, 73, 74, 74, 75, 76, 77, 78, 78,
        79, 80, 81, 82, 83, 83, 84, 85, 86, 87, 88, 89, 89, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101,
        101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 114, 115, 116, 117, 118, 119, 120, 121,
        122, 123, 124, 126, 127, 128, 129, 130, 131, 132, 134, 135, 136, 137, 139, 140, 141, 142, 144, 145,
        146, 147, 149, 150, 151, 153, 154, 155, 157, 158, 159, 161, 162, 164, 165, 166, 168, 169, 171, 172,
        174, 175, 177, 178, 180, 181, 183, 184, 186, 188, 189, 191, 192, 194, 195, 197, 199, 200, 202, 204,
        205, 207, 209, 210, 212, 214, 215, 217, 219, 220, 222, 224, 225, 227, 229, 230, 232, 234, 236, 237,
        239, 241, 242, 244, 246, 248, 249, 251, 253, 255 };
    Canvas c(8, 8);
    c.g.SetAntialiasing(true);
    ASSERT_TRUE(c.g.fAntialias);
    ASSERT_NE(c.g.fAggRasterizer, nullptr);
    for (unsigned cover = 0; cover < 256; cover++)
        EXPECT_EQ(c.g.fAggRasterizer->apply_gamma(cover), expected[cover]) << cover;
}

TEST(QVGraphicsSmoothFill, EdgesGetCoverageThroughTheGammaTable)
{
    // A pixel column half covered: the area rule gives coverage 128, the table turns it into 85,
    // and the pixel moves that far toward the colour.
    Canvas c(8, 4);
    c.raster.Fill32(0x00000000u);
    c.g.SetAntialiasing(true);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    AddSquare(c.g, 1, 0, 3.5f, 4);
    c.g.EndShape();
    EXPECT_EQ(c.raster.Get32(2, 1), 0xFFFFFFFFu);
    const int32_t alpha = 255 * 85;
    const uint32_t channel = uint32_t((255 * alpha) >> 16);
    EXPECT_EQ(c.raster.Get32(3, 1), channel << 24 | channel << 16 | channel << 8 | channel);
    EXPECT_EQ(c.raster.Get32(4, 1), 0u);
}

TEST(QVGraphicsSmoothFill, SmoothingNeedsAThirtyTwoBitTarget)
{
    Canvas c(8, 8, 16);
    c.g.SetColor(255, 255, 255);
    c.g.SetAntialiasing(true);
    EXPECT_FALSE(c.g.fAntialias);
    c.g.BeginShape();
    AddSquare(c.g, 1, 1, 5, 5);
    EXPECT_TRUE(c.g.EndShape()); // filled by the scan-line filler
    EXPECT_TRUE(c.Changed(3, 3));
}

TEST(QVGraphicsSmoothFill, SmoothModeFollowsANewRaster)
{
    Canvas c(8, 8);
    c.g.SetAntialiasing(true);
    OwnedRaster other(16, 16, 32);
    ASSERT_EQ(c.g.SetRaster(&other.buffer), 0);
    EXPECT_TRUE(c.g.fAntialias);
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    AddSquare(c.g, 10, 10, 14, 14);
    c.g.EndShape();
    EXPECT_EQ(other.Get32(12, 12), 0xFFFFFFFFu);
    EXPECT_EQ(c.g.SetRaster(nullptr), -3);
    EXPECT_FALSE(c.g.fAntialias);
}

TEST(QVGraphicsSmoothFill, EdgesInAnyOrderFillTheClosedOutline)
{
    // A rectangle's shape path gives its edges unconnected and in mixed directions.
    Canvas c(32, 32);
    c.g.SetAntialiasing(true);
    c.g.SetColor(255, 255, 255, 254); // translucent: not the fast path
    c.g.FillRect(4, 4, 11, 11);
    // The rectangle's outline runs from x = 3 to 11 and y = 4 to 12; smooth pixels cover
    // [x, x + 1), so exactly these pixels are covered, each fully.
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(3, 4, 10, 11)) << c.Picture();
    EXPECT_EQ(c.raster.Get32(3, 4), c.raster.Get32(8, 8));
}

TEST(QVGraphicsSmoothFill, AShapeThatWasNotRenderedDoesNotReachTheNext)
{
    // Writing a mask level renders nothing smooth; its edges must not be painted by the next
    // smooth fill.
    Canvas c(32, 32);
    c.g.SetAntialiasing(true);
    c.g.SetColor(255, 255, 255);
    c.g.PushMask(false);
    c.g.SetFillMode(QV_Graphics::kFillSetMask);
    c.g.BeginShape();
    AddSquare(c.g, 2, 2, 10, 10);
    c.g.EndShape();
    c.g.SetFillMode(QV_Graphics::kFillPlain);
    c.g.BeginShape();
    AddSquare(c.g, 20, 20, 28, 28);
    c.g.EndShape();
    EXPECT_EQ(c.raster.Get32(24, 24), 0xFFFFFFFFu);
    EXPECT_EQ(c.raster.Get32(6, 6), Canvas::kBackground);
    EXPECT_EQ(c.g.fMask[6 * 32 + 6], 0x01);
}

TEST(QVGraphicsSmoothFill, ReversedCurvesAreChainedIntoOneOutline)
{
    // Two arcs bounding a lens, the second given backwards: chaining reverses it so that the
    // rasteriser sees one loop, and the result equals the arcs given head to tail.
    const QV_Vector2 a[4] = { { 4, 16 }, { 10, 2 }, { 22, 2 }, { 28, 16 } };
    const QV_Vector2 b[4] = { { 4, 16 }, { 10, 30 }, { 22, 30 }, { 28, 16 } };
    Canvas chained(32, 32);
    chained.g.SetAntialiasing(true);
    chained.g.SetColor(255, 255, 255);
    chained.g.BeginShape();
    chained.g.AddCurve(a[0], a[1], a[2], a[3]);
    chained.g.AddCurve(b[0], b[1], b[2], b[3]);
    EXPECT_EQ(chained.g.fSegmentCount, 2);
    chained.g.EndShape();
    EXPECT_EQ(chained.g.fSegments[1].p[0].x, 28.0f); // reversed in place
    EXPECT_EQ(chained.g.fSegments[1].p[3].x, 4.0f);

    Canvas loop(32, 32);
    loop.g.SetAntialiasing(true);
    loop.g.SetColor(255, 255, 255);
    loop.g.BeginShape();
    loop.g.AddCurve(a[0], a[1], a[2], a[3]);
    loop.g.AddCurve(b[3], b[2], b[1], b[0]);
    loop.g.EndShape();
    EXPECT_EQ(chained.raster.bytes, loop.raster.bytes);
    EXPECT_EQ(chained.raster.Get32(16, 16), 0xFFFFFFFFu);
    EXPECT_EQ(chained.raster.Get32(16, 4), Canvas::kBackground);
}

TEST(QVGraphicsSmoothFill, OutlineFillsStrokeEveryRecordedCurve)
{
    const QV_Vector2 arcs[4][4] = { { { 4, 16 }, { 4, 8 }, { 8, 4 }, { 16, 4 } },
        { { 16, 4 }, { 24, 4 }, { 28, 8 }, { 28, 16 } }, { { 28, 16 }, { 28, 24 }, { 24, 28 }, { 16, 28 } },
        { { 16, 28 }, { 8, 28 }, { 4, 24 }, { 4, 16 } } };
    Canvas plain(32, 32), outlined(32, 32);
    for (Canvas* c : { &plain, &outlined }) {
        c->g.SetAntialiasing(true);
        c->g.fOutlineFills = c == &outlined;
        c->g.SetColor(255, 255, 255);
        c->g.BeginShape();
        for (const auto& arc : arcs)
            c->g.AddCurve(arc[0], arc[1], arc[2], arc[3]);
        c->g.EndShape();
    }
    // Every arc's edge, not only the first one's, is strengthened by its stroke.
    const int32_t probes[4][2] = { { 6, 7 }, { 25, 7 }, { 25, 24 }, { 6, 24 } };
    for (const auto& p : probes) {
        const uint32_t before = plain.raster.Get32(p[0], p[1]) & 0xFF;
        const uint32_t after = outlined.raster.Get32(p[0], p[1]) & 0xFF;
        EXPECT_GT(after, before) << p[0] << "," << p[1];
    }
}

// A view whose near plane lies at world y = 5: w = 1 - 0.1 y and z = 0.5, so w - z < 0 beyond
// it, and points behind y = 10 have w < 0.
QV_Matrix NearPlaneAtFive()
{
    QV_Matrix m;
    m.m[7] = -0.1f;
    m.m[14] = 0.5f;
    return m;
}

TEST(QVGraphicsFill, ShapeCutByTheNearPlaneIsClosedAlongIt)
{
    Canvas c(32, 32);
    c.g.ApplyMatrix(NearPlaneAtFive());
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    // A square from y = 0 to y = 20: only y < 5 is in front, reaching screen row 10.
    c.g.AddCurve(QV_Vector2 { 2, 0 }, QV_Vector2 { 4, 0 }, QV_Vector2 { 6, 0 }, QV_Vector2 { 8, 0 });
    c.g.AddCurve(QV_Vector2 { 8, 0 }, QV_Vector2 { 8, 7 }, QV_Vector2 { 8, 14 }, QV_Vector2 { 8, 20 });
    c.g.AddCurve(QV_Vector2 { 8, 20 }, QV_Vector2 { 6, 20 }, QV_Vector2 { 4, 20 }, QV_Vector2 { 2, 20 });
    c.g.AddCurve(QV_Vector2 { 2, 20 }, QV_Vector2 { 2, 14 }, QV_Vector2 { 2, 7 }, QV_Vector2 { 2, 0 });
    c.g.EndShape();
    EXPECT_TRUE(c.g.fShapeClipped);
    EXPECT_EQ(c.g.fNearPointCount, 2);
    EXPECT_TRUE(c.Changed(8, 5)) << c.Picture();
    for (const auto& p : c.ChangedPixels())
        EXPECT_LE(p.second, 10) << c.Picture();
}

TEST(QVGraphicsSmoothFill, ShapeCutByTheNearPlaneFallsBackToTheScanLineFiller)
{
    Canvas c(32, 32);
    c.g.SetAntialiasing(true);
    c.g.ApplyMatrix(NearPlaneAtFive());
    c.g.SetColor(255, 255, 255);
    c.g.BeginShape();
    c.g.AddLine(2, 0, 8, 0); // straight edges are replayed too
    c.g.AddCurve(QV_Vector2 { 8, 0 }, QV_Vector2 { 8, 7 }, QV_Vector2 { 8, 14 }, QV_Vector2 { 8, 20 });
    c.g.AddCurve(QV_Vector2 { 8, 20 }, QV_Vector2 { 6, 20 }, QV_Vector2 { 4, 20 }, QV_Vector2 { 2, 20 });
    c.g.AddCurve(QV_Vector2 { 2, 20 }, QV_Vector2 { 2, 14 }, QV_Vector2 { 2, 7 }, QV_Vector2 { 2, 0 });
    c.g.EndShape();
    EXPECT_TRUE(c.g.fAntialias);
    EXPECT_FALSE(c.g.fSmoothing);
    EXPECT_EQ(c.raster.Get32(6, 5), 0xFFFFFFFFu) << c.Picture();
    for (const auto& p : c.ChangedPixels())
        EXPECT_LE(p.second, 11) << c.Picture();
}

TEST(QVGraphicsFill, TrackedBoundsCoverTheEdges)
{
    Canvas c(32, 32);
    c.g.fTrackBounds = true;
    c.g.ResetBounds();
    c.g.BeginShape();
    AddSquare(c.g, 3, 4, 12, 20);
    c.g.EndShape();
    EXPECT_EQ(c.g.fBounds.minX, 3.0f);
    EXPECT_EQ(c.g.fBounds.minY, 4.0f);
    EXPECT_EQ(c.g.fBounds.maxX, 12.0f);
    EXPECT_EQ(c.g.fBounds.maxY, 20.0f);
}

} // namespace
