#include "graphics_canvas.h"
#include "qv_graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(QVGraphicsState, SetRasterNeedsPixelsAndResetsTheClip)
{
    QV_Graphics g;
    EXPECT_EQ(g.SetRaster(nullptr), -3);
    QV_PixelBuffer empty;
    EXPECT_EQ(g.SetRaster(&empty), -3);
    EXPECT_EQ(g.fTarget.pixels, nullptr);

    OwnedRaster raster(40, 30, 32);
    EXPECT_EQ(g.SetRaster(&raster.buffer), 0);
    EXPECT_EQ(g.fClipRect.left, 0);
    EXPECT_EQ(g.fClipRect.top, 0);
    EXPECT_EQ(g.fClipRect.right, 39);
    EXPECT_EQ(g.fClipRect.bottom, 29);
    EXPECT_EQ(g.fClipView.pixels, raster.buffer.pixels);
    EXPECT_EQ(g.Width(), 40);
    EXPECT_EQ(g.Height(), 30);
}

TEST(QVGraphicsState, ColourFormsFollowTheColour)
{
    QV_Graphics g;
    g.SetColor(255, 128, 0, 255);
    EXPECT_EQ(g.fColor555, 0x7E00);
    EXPECT_EQ(g.fColor565, 0xFC00);
    EXPECT_EQ(g.fColor32, 0xFFFF8000u);
    g.SetColor(255, 255, 255);
    EXPECT_EQ(g.fColorIndex, 63); // the lower of the two white entries
    EXPECT_EQ(g.fColor.a, 255);
}

TEST(QVGraphicsState, ResetStateRestoresTheDefaults)
{
    Canvas c(20, 20);
    QV_Graphics& g = c.g;
    g.SetColor(1, 2, 3, 4);
    g.SetPenWidth(5);
    g.SetSmoothing(true);
    g.SetBezierTolerance(1);
    g.SetLineNoise(3, 0, 7);
    g.SetClipRect(2, 2, 5, 5);
    g.SetAntialiasing(true);
    EXPECT_EQ(g.fNoiseWavelength, 1); // below 1 becomes 1
    g.ResetState();
    EXPECT_EQ(g.fColor32, 0xFF000000u);
    EXPECT_EQ(g.fPenWidth, 1);
    EXPECT_FALSE(g.fSmoothing);
    EXPECT_FALSE(g.fLineNoise);
    EXPECT_FALSE(g.fAntialias);
    EXPECT_EQ(g.fBezierTolerance, 5.0f);
    EXPECT_EQ(g.fCurveSteps, 128);
    EXPECT_EQ(g.fNoiseAmplitude, 8);
    EXPECT_EQ(g.fNoiseWavelength, 32);
    EXPECT_EQ(g.fClipRect.right, 19);
}

TEST(QVGraphicsState, SubRasterClipsToTheTarget)
{
    Canvas c(10, 10);
    QV_PixelBuffer view;
    ASSERT_EQ(c.g.SubRaster(QV_Rect { 20, 20, 8, 8 }, view), 0);
    EXPECT_EQ(view.pixels, c.raster.At(8, 8));
    EXPECT_EQ(view.width, 2);
    EXPECT_EQ(view.height, 2);
    EXPECT_EQ(c.g.SubRaster(QV_Rect { 20, 20, 30, 30 }, view), -3);

    QV_Graphics detached;
    EXPECT_EQ(detached.SubRaster(QV_Rect { 0, 0, 5, 5 }, view), -3); // no raster, no area
}

TEST(QVGraphicsState, GetPixelReadsEveryDepth)
{
    Canvas c32(2, 1);
    c32.raster.Set32(0, 0, 0x80112233u);
    const rgb_color p32 = c32.g.GetPixel(0, 0);
    EXPECT_EQ(
        (std::vector<int> { p32.r, p32.g, p32.b, p32.a }), (std::vector<int> { 0x11, 0x22, 0x33, 0x80 }));

    Canvas c16(2, 1, 16);
    c16.raster.Set16(0, 0, 0xFFFF);
    const rgb_color p16 = c16.g.GetPixel(0, 0);
    EXPECT_EQ(
        (std::vector<int> { p16.r, p16.g, p16.b, p16.a }), (std::vector<int> { 0xF8, 0xFC, 0xF8, 255 }));

    Canvas c15(2, 1, 15);
    c15.raster.Set16(0, 0, 0x7C00);
    const rgb_color p15 = c15.g.GetPixel(0, 0);
    EXPECT_EQ((std::vector<int> { p15.r, p15.g, p15.b }), (std::vector<int> { 0xF8, 0, 0 }));

    Canvas c8(2, 1, 8);
    *c8.raster.At(0, 0) = 42; // palette entry FF0000
    const rgb_color p8 = c8.g.GetPixel(0, 0);
    EXPECT_EQ((std::vector<int> { p8.r, p8.g, p8.b, p8.a }), (std::vector<int> { 255, 0, 0, 255 }));
}

TEST(QVGraphicsState, ClipRectIsNormalisedAndClamped)
{
    Canvas c(200, 100);
    c.g.SetClipRect(100, 50, 10, 5);
    EXPECT_EQ(c.g.fClipRect.left, 10);
    EXPECT_EQ(c.g.fClipRect.top, 5);
    EXPECT_EQ(c.g.fClipRect.right, 100);
    EXPECT_EQ(c.g.fClipRect.bottom, 50);
    EXPECT_EQ(c.g.fClipView.pixels, c.raster.At(10, 5));
    EXPECT_EQ(c.g.fClipView.width, 91);

    c.g.SetClipRect(-50, -50, 500, 500);
    EXPECT_EQ(c.g.fClipRect.left, 0);
    EXPECT_EQ(c.g.fClipRect.right, 199);
    EXPECT_EQ(c.g.fClipRect.bottom, 99);

    // Corners go through the current matrix.
    c.g.ResetClip();
    c.g.Translate(10, 20);
    c.g.SetClipRect(0, 0, 5, 5);
    EXPECT_EQ(c.g.fClipRect.left, 10);
    EXPECT_EQ(c.g.fClipRect.top, 20);
}

TEST(QVGraphicsState, FillModeKeepsMaskBitsOnlyWithAMask)
{
    Canvas c(8, 8);
    c.g.SetFillMode(8);
    EXPECT_EQ(c.g.fFillMode, 1);
    c.g.SetFillMode(6);
    EXPECT_EQ(c.g.fFillMode, 2);
    c.g.PushMask(true);
    c.g.SetFillMode(12);
    EXPECT_EQ(c.g.fFillMode, 12);
    c.g.PopMask();
    EXPECT_EQ(c.g.fFillMode, 1);
    c.g.PushMask(true);
    c.g.SetFillMode(6);
    c.g.PopMask();
    EXPECT_EQ(c.g.fFillMode, 2);
}

TEST(QVGraphicsMatrix, StackHoldsThirtyTwoLevels)
{
    QV_Graphics g;
    g.Translate(5, 0);
    for (int i = 0; i < 31; i++)
        g.Push();
    EXPECT_EQ(g.fMatrixDepth, 31);
    EXPECT_EQ(g.fMatrices[31].m[12], 5.0f); // each level starts as a copy
    g.Translate(1, 0);
    g.Push();
    EXPECT_EQ(g.fMatrixDepth, 31);
    EXPECT_EQ(g.CurrentTransform().m[12], 6.0f);
    for (int i = 0; i < 40; i++)
        g.Pop();
    EXPECT_EQ(g.fMatrixDepth, 0);
    EXPECT_EQ(g.CurrentTransform().m[12], 5.0f);
}

TEST(QVGraphicsMatrix, LaterTransformsActFirst)
{
    QV_Graphics g;
    g.Translate(10, 0);
    g.Scale(2, 2);
    QV_Point p;
    ASSERT_TRUE(g.WorldToScreen(QV_Vector2 { 1, 1 }, p));
    EXPECT_EQ(p.x, 12); // scaled, then translated
    EXPECT_EQ(p.y, 2);
    EXPECT_TRUE(g.fAxisAligned);
    g.Rotate(0.5f);
    EXPECT_FALSE(g.fAxisAligned);
    g.EndDraw();
    EXPECT_TRUE(g.fAxisAligned);
    EXPECT_EQ(g.fMatrixDepth, 0);
}

TEST(QVGraphicsView, CentredViewPutsTheOriginInTheMiddle)
{
    Canvas c(640, 480);
    c.g.fViewMode = QV_Graphics::kViewCentered;
    c.g.BeginDraw();
    struct Case {
        QV_Vector2 world;
        int32_t x, y;
    } cases[]
        = { { { 0, 0 }, 320, 240 }, { { 0, 1 }, 320, 0 }, { { 1, 0 }, 560, 240 }, { { -1, -1 }, 80, 480 } };
    for (const Case& k : cases) {
        QV_Point p;
        ASSERT_TRUE(c.g.WorldToScreen(k.world, p));
        EXPECT_EQ(p.x, k.x) << k.world.x << "," << k.world.y;
        EXPECT_EQ(p.y, k.y) << k.world.x << "," << k.world.y;
    }
    EXPECT_NEAR(c.g.CurrentScale(false, 0, 0), 1.0f, 1e-4f);

    QV_Vector2 units;
    ASSERT_TRUE(c.g.WorldToScreen(QV_Vector2 { 0.5f, -0.25f }, units));
    EXPECT_NEAR(units.x, 0.5f, 1e-6f);
    EXPECT_NEAR(units.y, -0.25f, 1e-6f);

    QV_Vector2 back;
    c.g.ScreenToWorld(QV_Point { 560, 240 }, back);
    EXPECT_NEAR(back.x, 1.0f, 1e-5f);
    EXPECT_NEAR(back.y, 0.0f, 1e-5f);
}

TEST(QVGraphicsView, ZoomPanAndRotationApplyInOrder)
{
    Canvas c(640, 480);
    c.g.fViewMode = QV_Graphics::kViewCentered;
    c.g.fZoom = 2;
    c.g.fPanX = 0.25f;
    c.g.fRotation = 1e-7f;
    c.g.BeginDraw();
    EXPECT_TRUE(c.g.fAxisAligned); // a rotation this small is no rotation
    QV_Point p;
    ASSERT_TRUE(c.g.WorldToScreen(QV_Vector2 { 0, 0 }, p));
    EXPECT_EQ(p.x, 320 + 120); // (0 + 0.25) x 2 units of 240 pixels
    EXPECT_NEAR(c.g.CurrentScale(false, 0, 0), 2.0f, 1e-4f);
    EXPECT_NEAR(c.g.CurrentScale(true, 0, 0), 1.0f, 1e-4f);

    c.g.fRotation = 3.14159265f / 2;
    c.g.fZoom = 1;
    c.g.fPanX = 0;
    c.g.BeginDraw();
    EXPECT_FALSE(c.g.fAxisAligned);
    ASSERT_TRUE(c.g.WorldToScreen(QV_Vector2 { 1, 0 }, p));
    EXPECT_EQ(p.x, 320); // x turned onto y (up)
    EXPECT_EQ(p.y, 0);

    // The stack of the previous pass does not leak into the next.
    c.g.Push();
    c.g.Translate(100, 0);
    c.g.BeginDraw();
    EXPECT_EQ(c.g.fMatrixDepth, 0);
}

TEST(QVGraphicsView, PointsBehindTheEyeGiveTheSentinels)
{
    QV_Graphics g;
    QV_Matrix flip;
    flip.m[15] = -1; // w = -1 everywhere
    g.ApplyMatrix(flip);
    QV_Point p;
    EXPECT_FALSE(g.WorldToScreen(QV_Vector2 { 1, 1 }, p));
    EXPECT_EQ(p.x, -10);
    EXPECT_EQ(p.y, -10);
    QV_Vector2 units;
    EXPECT_FALSE(g.WorldToScreen(QV_Vector2 { 1, 1 }, units));
    EXPECT_EQ(units.x, -2.0f);
    EXPECT_EQ(units.y, 1.1f);
    EXPECT_FALSE(g.WorldToScreenScaled(QV_Vector2 { 1, 1 }, p, 0, 0, 1));

    QV_Graphics plain;
    ASSERT_TRUE(plain.WorldToScreenScaled(QV_Vector2 { 3, 4 }, p, 1, 2, 10));
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, 60);
}

TEST(QVGraphicsMask, StackHoldsEightLevels)
{
    Canvas c(4, 4);
    for (int i = 0; i < 9; i++)
        c.g.PushMask(i == 0);
    EXPECT_EQ(c.g.fMaskDepth, 8);
    EXPECT_EQ(c.g.fMaskBit, 0x80);
    EXPECT_EQ(c.g.fMaskAllBits, 0xFF);
    EXPECT_EQ(c.g.fMask[5], 0x01); // level 0 set, the seven later ones cleared
    c.g.PopMask();
    EXPECT_EQ(c.g.fMaskBit, 0x40);
    EXPECT_EQ(c.g.fMaskAllBits, 0x7F);
    EXPECT_EQ(c.g.fMaskBitInverse, 0xBF);
    for (int i = 0; i < 10; i++)
        c.g.PopMask();
    EXPECT_EQ(c.g.fMaskDepth, 0);
    c.g.ClearMask(); // nothing at depth 0
}

TEST(QVGraphicsMask, FirstLevelSetsEveryBitAndClearMaskClearsTheTop)
{
    Canvas c(4, 4);
    c.g.PushMask(true);
    EXPECT_EQ(c.g.fMask[0], 0xFF);
    c.g.PushMask(true);
    c.g.ClearMask();
    EXPECT_EQ(c.g.fMask[3], 0xFD); // only level 1's bit went
    c.g.PopMask();
    c.g.ClearMask();
    EXPECT_EQ(c.g.fMask[3], 0x00); // depth 1 zeroes the buffer
}

TEST(QVGraphicsMask, SetRasterEndsThePushedLevels)
{
    // The mask buffer belongs to the old raster; a masked fill afterwards must neither read the
    // freed buffer nor skip its pixels.
    Canvas c(16, 16);
    c.g.PushMask(false);
    c.g.SetFillMode(QV_Graphics::kFillMasked);
    OwnedRaster bigger(32, 32, 32);
    bigger.Fill32(Canvas::kBackground);
    ASSERT_EQ(c.g.SetRaster(&bigger.buffer), 0);
    EXPECT_EQ(c.g.fMaskDepth, 0);
    EXPECT_EQ(c.g.fMask, nullptr);
    EXPECT_EQ(c.g.fFillMode, 1);
    c.g.SetColor(255, 255, 255);
    c.g.FillRect(20, 20, 25, 25);
    EXPECT_EQ(bigger.Get32(22, 22), 0xFFFFFFFFu);
    c.g.PushMask(true); // a fresh buffer of the new size
    ASSERT_NE(c.g.fMask, nullptr);
    EXPECT_EQ(c.g.fMask[32 * 32 - 1], 0xFF);
}

TEST(QVGraphicsPick, PickSeesDrawingInTheSquareAndCleansIt)
{
    Canvas c(20, 20);
    c.g.BeginPicking(10, 10, 2);
    EXPECT_FALSE(c.g.Pick());
    c.g.SetColor(255, 0, 0);
    c.g.DrawHSpan(0, 19, 12);
    EXPECT_TRUE(c.g.Pick());
    EXPECT_EQ(c.raster.Get32(10, 12), Canvas::kBackground); // square cleaned
    EXPECT_NE(c.raster.Get32(7, 12), Canvas::kBackground); // outside the square kept
    EXPECT_FALSE(c.g.Pick());

    // Only colour counts, not alpha.
    c.raster.Set32(9, 9, 0x00000000u);
    EXPECT_FALSE(c.g.Pick());

    c.g.BeginPicking(25, 3, 2);
    EXPECT_EQ(c.g.fPickX, -1);
    EXPECT_FALSE(c.g.Pick());
}

TEST(QVGraphicsPick, IsFullWhite)
{
    Canvas c16(2, 2, 16);
    c16.raster.Set16(0, 0, 0xFFFF);
    EXPECT_TRUE(c16.g.IsFullWhite(0, 0));
    EXPECT_FALSE(c16.g.IsFullWhite(1, 0));
    EXPECT_FALSE(c16.g.IsFullWhite(2, 0));

    Canvas c32(2, 2);
    c32.raster.Set32(0, 0, 0xFEFFFFFFu);
    c32.raster.Set32(1, 0, 0xFFFFFFFFu);
    EXPECT_FALSE(c32.g.IsFullWhite(0, 0));
    EXPECT_TRUE(c32.g.IsFullWhite(1, 0));
    EXPECT_FALSE(c32.g.IsFullWhite(-1, 0));
}

TEST(QVGraphicsState, BoundsStartInverted)
{
    QV_Graphics g;
    g.ResetBounds();
    EXPECT_EQ(g.fBounds.minX, 1e6f);
    EXPECT_EQ(g.fBounds.maxY, -1e6f);
}

} // namespace
