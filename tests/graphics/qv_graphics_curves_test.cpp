#include "graphics_canvas.h"
#include "qv_graphics.h"
#include "qv_graphics_internal.h"

#include <gtest/gtest.h>

namespace {

TEST(QVGraphicsCurves, StepCountFollowsTheControlPolygon)
{
    QV_Graphics g;
    const QV_Vector2 straight[4] = { { 0, 0 }, { 33, 0 }, { 67, 0 }, { 100, 0 } };
    struct Case {
        float tolerance;
        int32_t steps;
        int32_t expected;
    } cases[] = {
        { 5, 128, 20 }, // 50 + 50 pixels of control polygon
        { 1000, 128, 2 }, // at least 2
        { 1, 8, 8 }, // at most fCurveSteps
        { 100.0f / 21.5f, 128, 22 }, // odd counts go up to the next even one
    };
    for (const Case& k : cases) {
        g.SetBezierTolerance(k.tolerance);
        g.fCurveSteps = k.steps;
        EXPECT_EQ(g.CurveSteps(straight), k.expected) << k.tolerance;
    }
}

// Fills the arch closed by a straight base, once as a curve and once as the polygon through the
// samples the flattening should use; the two must give the same pixels.
void ExpectFlattenedInto(float tolerance, int32_t samples)
{
    const QV_Vector2 arch[4] = { { 10, 50 }, { 10, 10 }, { 50, 10 }, { 50, 50 } };
    Canvas curve(64, 64), polygon(64, 64);
    curve.g.SetBezierTolerance(tolerance);
    curve.g.SetColor(255, 255, 255);
    curve.g.BeginShape();
    curve.g.AddCurve(arch[0], arch[1], arch[2], arch[3]);
    curve.g.AddLine(50, 50, 10, 50);
    EXPECT_TRUE(curve.g.EndShape());

    polygon.g.SetColor(255, 255, 255);
    polygon.g.BeginShape();
    QV_Vector2 previous = arch[0];
    for (int32_t i = 1; i <= samples; i++) {
        const QV_Vector2 next = qv_graphics::BezierAt(arch, float(i) / float(samples));
        polygon.g.AddLine(previous, next);
        previous = next;
    }
    polygon.g.AddLine(50, 50, 10, 50);
    polygon.g.EndShape();
    EXPECT_EQ(curve.raster.bytes, polygon.raster.bytes) << tolerance << "\n"
                                                        << curve.Picture() << polygon.Picture();
}

TEST(QVGraphicsCurves, FlatteningAddsOneEdgePerStep)
{
    ExpectFlattenedInto(1000, 2);
    ExpectFlattenedInto(5, 18); // 2 x 44.7 pixels of control polygon
    ExpectFlattenedInto(0.1f, 128);

    // Two steps meet at the curve's middle point: the arch becomes a triangle.
    Canvas curve(64, 64), triangle(64, 64);
    curve.g.SetBezierTolerance(1000);
    curve.g.BeginShape();
    curve.g.AddCurve(
        QV_Vector2 { 10, 50 }, QV_Vector2 { 10, 10 }, QV_Vector2 { 50, 10 }, QV_Vector2 { 50, 50 });
    curve.g.AddLine(50, 50, 10, 50);
    curve.g.EndShape();
    triangle.g.BeginShape();
    triangle.g.AddLine(10, 50, 30, 20);
    triangle.g.AddLine(30, 20, 50, 50);
    triangle.g.AddLine(50, 50, 10, 50);
    triangle.g.EndShape();
    EXPECT_EQ(curve.raster.bytes, triangle.raster.bytes);
}

TEST(QVGraphicsCurves, CurvesAboveOrBelowTheClipRowsAddNothing)
{
    Canvas c(32, 32);
    c.g.SetClipRect(0, 10, 31, 20);
    c.g.BeginShape();
    const QV_Vector2 high[4] = { { 0, 0 }, { 10, 9 }, { 20, 9 }, { 30, 0 } };
    c.g.FlattenCurve(high);
    EXPECT_EQ(c.g.fLastRow, -1);
    const QV_Vector2 touching[4] = { { 0, 0 }, { 10, 15 }, { 20, 15 }, { 30, 0 } };
    c.g.FlattenCurve(touching);
    EXPECT_GE(c.g.fLastRow, 9);
}

TEST(QVGraphicsCurves, ThinCurveIsAPolylineOfScreenLines)
{
    Canvas c(32, 16);
    c.g.SetColor(255, 255, 255);
    const QV_Vector2 straight[4] = { { 5, 5 }, { 12, 5 }, { 19, 5 }, { 25, 5 } };
    c.g.DrawCurve(straight);
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(5, 5, 25, 5)) << c.Picture();

    // A curve wholly outside the clip rectangle draws nothing.
    Canvas clipped(32, 16);
    clipped.g.SetClipRect(0, 0, 10, 10);
    const QV_Vector2 outside[4] = { { 15, 12 }, { 20, 12 }, { 25, 15 }, { 30, 15 } };
    clipped.g.DrawCurve(outside);
    EXPECT_TRUE(clipped.ChangedPixels().empty());
}

TEST(QVGraphicsCurves, WidePenStrokesAFilledOutline)
{
    // Pen 3 without smoothing: the width is first reduced by 1, so each side lies 1 pixel from
    // the curve.
    Canvas c(64, 64);
    c.g.SetColor(255, 255, 255);
    c.g.SetPenWidth(3);
    const QV_Vector2 straight[4] = { { 10, 30 }, { 20, 30 }, { 40, 30 }, { 50, 30 } };
    c.g.DrawCurve(straight);
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(11, 29, 50, 30)) << c.Picture();
}

TEST(QVGraphicsCurves, NarrowWideCurveIsWidenedToTwoWithoutSmoothing)
{
    const QV_Vector2 arc[4] = { { 5, 30 }, { 20, 5 }, { 40, 5 }, { 55, 30 } };
    Canvas narrow(64, 40), two(64, 40);
    narrow.g.SetColor(255, 255, 255);
    two.g.SetColor(255, 255, 255);
    narrow.g.DrawWideCurve(arc, 0.5f, 0.5f);
    two.g.DrawWideCurve(arc, 2, 2);
    EXPECT_FALSE(narrow.ChangedPixels().empty());
    EXPECT_EQ(narrow.raster.bytes, two.raster.bytes);
}

TEST(QVGraphicsCurves, WideStrokeGrowsSmoothlyAlongTheCurve)
{
    // A vertical stroke from width 2 to width 10; the curve passes y = 50 at t = 0.5, where the
    // width is half-way by 3t^2 - 2t^3.
    const QV_Vector2 down[4] = { { 32, 0 }, { 32, 33 }, { 32, 67 }, { 32, 100 } };

    // Without smooth mode both widths are reduced by 1 first: half width 2.5 at row 50.
    Canvas aliased(64, 104);
    aliased.g.SetColor(255, 255, 255);
    aliased.g.DrawWideCurve(down, 2, 10);
    for (int32_t x = 0; x < 64; x++)
        EXPECT_EQ(aliased.Changed(x, 50), x >= 30 && x <= 34) << x;
    EXPECT_EQ(aliased.raster.Get32(32, 1), 0xFFFFFFFFu); // the thin end: half width 0.5
    EXPECT_FALSE(aliased.Changed(31, 1));

    // In smooth mode the widths stand: half width 3, pixels 29..34 fully covered.
    Canvas smooth(64, 104);
    smooth.g.SetAntialiasing(true);
    smooth.g.SetColor(255, 255, 255);
    smooth.g.DrawWideCurve(down, 2, 10);
    for (int32_t x = 29; x <= 34; x++)
        EXPECT_EQ(smooth.raster.Get32(x, 50), 0xFFFFFFFFu) << x;
    EXPECT_LT(smooth.raster.Get32(28, 50) & 0xFF, 16u);
    EXPECT_LT(smooth.raster.Get32(35, 50) & 0xFF, 16u);
    EXPECT_EQ(smooth.raster.Get32(27, 50), Canvas::kBackground);
    EXPECT_EQ(smooth.raster.Get32(36, 50), Canvas::kBackground);
}

TEST(QVGraphicsCurves, CoincidentStartHandleGivesAVerticalStartCap)
{
    // The start normal comes from p1 - p0; a zero handle gives the normal (0, 1), so the cap is
    // the vertical edge x = 20 however the curve leaves it.
    const QV_Vector2 curve[4] = { { 20, 20 }, { 20, 20 }, { 40, 40 }, { 60, 60 } };
    Canvas c(80, 80);
    c.g.SetColor(255, 255, 255);
    c.g.DrawWideCurve(curve, 10, 10);
    for (int32_t y = 17; y <= 19; y++) {
        EXPECT_FALSE(c.Changed(20, y)) << y << "\n" << c.Picture();
        EXPECT_TRUE(c.Changed(21, y)) << y << "\n" << c.Picture();
    }
}

// w = 1 - 0.1 y and z = 0.5: the near plane lies at world y = 5 (screen row 10 at x = 10);
// control points beyond y = 10 are behind the eye.
QV_Matrix NearPlaneAtFive()
{
    QV_Matrix m;
    m.m[7] = -0.1f;
    m.m[14] = 0.5f;
    return m;
}

TEST(QVGraphicsCurves, CurveBehindTheEyeIsDrawnUpToTheNearPlane)
{
    const QV_Vector2 down[4] = { { 5, 0 }, { 5, 6.66f }, { 5, 13.33f }, { 5, 20 } };
    Canvas c(32, 32);
    c.g.ApplyMatrix(NearPlaneAtFive());
    c.g.SetColor(255, 255, 255);
    c.g.fTrackBounds = true;
    c.g.ResetBounds();
    c.g.DrawCurve(down);
    EXPECT_TRUE(c.Changed(5, 0)) << c.Picture();
    EXPECT_TRUE(c.Changed(10, 10)) << c.Picture();
    for (const auto& p : c.ChangedPixels())
        EXPECT_LE(p.second, 10) << c.Picture();
    EXPECT_NEAR(c.g.fBounds.maxY, 10.0f, 1e-3f);

    Canvas gone(32, 32);
    gone.g.ApplyMatrix(NearPlaneAtFive());
    const QV_Vector2 behind[4] = { { 5, 11 }, { 5, 12 }, { 5, 13 }, { 5, 14 } };
    gone.g.DrawWideCurve(behind, 6, 6);
    EXPECT_TRUE(gone.ChangedPixels().empty());
}

TEST(QVGraphicsCurves, WideCurveBehindTheEyeWithOneStepKeepsTheStartWidth)
{
    // One step leaves no run of widths to interpolate over (k / (steps - 1)); the step is drawn
    // at the start width: half width (12 - 2) / 2 = 5 about the visible part of the line from
    // (5, 0) to the near plane at (10, 10).
    const QV_Vector2 down[4] = { { 5, 0 }, { 5, 6.66f }, { 5, 13.33f }, { 5, 20 } };
    Canvas c(32, 32);
    c.g.ApplyMatrix(NearPlaneAtFive());
    c.g.SetColor(255, 255, 255);
    c.g.fCurveSteps = 1;
    c.g.DrawWideCurve(down, 12, 40);
    EXPECT_TRUE(c.Changed(7, 5)) << c.Picture();
    EXPECT_TRUE(c.Changed(4, 6)) << c.Picture(); // 3.6 pixels off the line
    EXPECT_FALSE(c.Changed(1, 9)) << c.Picture(); // 7.6 pixels off the line
    for (const auto& p : c.ChangedPixels())
        EXPECT_LE(p.second, 13) << c.Picture();
}

TEST(QVGraphicsCurves, LineNoiseMovesTheStrokeAndIsDeterministic)
{
    const QV_Vector2 straight[4] = { { 5, 20 }, { 20, 20 }, { 40, 20 }, { 55, 20 } };
    Canvas quiet(64, 40), noisy(64, 40), again(64, 40);
    for (Canvas* c : { &noisy, &again })
        c->g.SetLineNoise(4, 16, 3);
    for (Canvas* c : { &quiet, &noisy, &again }) {
        c->g.SetColor(255, 255, 255);
        c->g.DrawCurve(straight);
    }
    EXPECT_NE(quiet.raster.bytes, noisy.raster.bytes);
    EXPECT_EQ(noisy.raster.bytes, again.raster.bytes);
}

} // namespace
