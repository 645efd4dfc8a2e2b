// Golden images: one scene with every drawing operation of the graphics context, rendered
// aliased, smooth and into a 16-bit raster, compared pixel for pixel with PNG files in
// tests/data/golden. Any change in a drawing routine shows here.
//
// After an intended change, look at the differences (a failing test writes the image it drew to
// <name>.actual.png in the test's working directory), then regenerate the goldens with
//     CELVANE_UPDATE_GOLDEN=1 ctest -R QVGraphicsGolden
// and commit the new PNG files with the change.
#include "golden_compare.h"
#include "owned_raster.h"
#include "png_codec.h"
#include "qv_font.h"
#include "qv_graphics.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 180;

void DrawScene(QV_Graphics& g)
{
    g.Clear(rgb_color { 230, 236, 240, 255 });

    // Gradient backgrounds, plain and rounded, both directions.
    g.FillGradientRect(
        0, true, rgb_color { 40, 60, 200, 255 }, rgb_color { 250, 250, 255, 255 }, 4, 4, 60, 40);
    g.FillGradientRect(
        8, false, rgb_color { 200, 40, 40, 255 }, rgb_color { 250, 220, 60, 200 }, 66, 4, 130, 40);

    // Rectangles.
    g.SetColor(20, 120, 40);
    g.FillRect(136, 4, 170, 24);
    g.SetColor(20, 20, 20);
    g.FrameRect(136, 28, 170, 40);
    g.SetColor(0, 90, 200, 120);
    g.FillRect(150, 12, 190, 34); // translucent: the shape path
    g.SetColor(120, 0, 120);
    g.FrameRoundRect(6, 176, 4, 234, 40);
    g.FillRoundRect(5, 182, 10, 228, 34);

    // Ellipses and circles.
    g.SetColor(200, 100, 0);
    g.FillEllipse(4, 46, 60, 80);
    g.SetColor(0, 0, 0);
    g.FrameEllipse(4, 46, 60, 80);
    g.SetColor(0, 150, 150);
    g.FillCircle(16, 84, 63);
    g.SetPenWidth(3);
    g.SetColor(150, 0, 60);
    g.FrameCircle(16, 122, 63);
    g.SetPenWidth(1);

    // Lines: thin, thick, smooth, smooth thick, dotted.
    g.SetColor(10, 10, 10);
    g.DrawLine(146, 48, 236, 60);
    g.MoveTo(146, 52);
    g.LineTo(190, 78);
    g.SetPenWidth(4);
    g.DrawLine(150, 70, 230, 50);
    g.SetPenWidth(1);
    g.SetSmoothing(true);
    g.SetColor(200, 0, 0);
    g.DrawLine(146, 80.3f, 236, 66.7f);
    g.SetPenWidth(3);
    g.DrawLine(200, 76, 236, 82);
    g.SetPenWidth(1);
    g.SetSmoothing(false);
    g.DrawHLine(146, 236, 86);
    g.DrawVLine(44, 86, 238);
    g.InvertDottedHLine(4, 88, 236);
    g.InvertDottedVLine(142, 44, 176);

    // Curves: thin, wide with growing width, noisy.
    const QV_Vector2 wave[4] = { { 6, 130 }, { 30, 90 }, { 60, 170 }, { 90, 110 } };
    g.SetColor(0, 0, 120);
    g.DrawCurve(wave);
    const QV_Vector2 swoop[4] = { { 6, 100 }, { 40, 150 }, { 60, 80 }, { 100, 170 } };
    g.SetColor(0, 140, 60, 200);
    g.DrawWideCurve(swoop, 2, 12);
    g.SetLineNoise(3, 12, 5);
    const QV_Vector2 rough[4] = { { 100, 100 }, { 110, 92 }, { 130, 108 }, { 140, 96 } };
    g.SetColor(90, 50, 10);
    g.DrawCurve(rough);
    g.fLineNoise = false;

    // Shapes: even-odd overlap, checkerboard, rotated rectangle, masked fill.
    g.SetColor(60, 60, 160);
    g.BeginShape();
    g.AddLine(100, 120, 140, 120);
    g.AddLine(140, 120, 140, 150);
    g.AddLine(140, 150, 100, 150);
    g.AddLine(100, 150, 100, 120);
    g.AddCurve(
        QV_Vector2 { 110, 110 }, QV_Vector2 { 150, 110 }, QV_Vector2 { 150, 160 }, QV_Vector2 { 110, 140 });
    g.AddLine(110, 140, 110, 110);
    g.EndShape();
    g.SetFillMode(QV_Graphics::kFillChecker);
    g.SetColor(0, 0, 0);
    g.FillCircle(12, 166, 130);
    g.SetFillMode(QV_Graphics::kFillPlain);
    g.Push();
    g.Translate(205, 130);
    g.Rotate(0.5f);
    g.SetColor(180, 30, 90);
    g.FillRect(-15, -10, 15, 10);
    g.Pop();
    g.PushMask(false);
    g.SetFillMode(QV_Graphics::kFillSetMask);
    g.FillCircle(14, 60, 160);
    g.SetFillMode(QV_Graphics::kFillMasked);
    g.SetColor(250, 200, 0);
    g.FillRect(40, 150, 80, 178);
    g.PopMask();

    // Markers and the selection frame.
    g.SetColor(0, 0, 0);
    g.DrawMarker(190, 160);
    g.DrawFatMarker(200, 160, 3);
    g.SelectionRect(180, 148, 236, 176, true);

    // Text, images and a flood fill.
    QV_Font* font = QV_Font::CreateBuiltIn(1);
    g.SetFont(font);
    g.SetColor(0, 0, 0);
    g.MoveTo(4, 178);
    g.DrawText("Celvane 0123", 1);
    g.MoveTo(150, 96);
    g.DrawText("AaWw", 3);
    g.SetFont(nullptr);
    DeleteFont(font);

    OwnedRaster image(8, 8, 32);
    for (int32_t y = 0; y < 8; y++)
        for (int32_t x = 0; x < 8; x++)
            image.Set32(x, y, uint32_t(((x + y) & 1) ? 0xFFFF8000u : 0x80004080u));
    g.DrawImage(&image.buffer, 120, 150);
    g.DrawImageScaled(&image.buffer, 130, 150, 20, 14);
    g.DrawImageAlpha(&image.buffer, 120, 160, true);

    g.SetColor(0, 0, 0);
    g.FrameRect(86, 160, 110, 176);
    g.SetColor(120, 200, 255);
    g.FloodFill(98, 168);
}

TEST(QVGraphicsGolden, AliasedScene)
{
    OwnedRaster raster(kWidth, kHeight, 32);
    QV_Graphics g;
    ASSERT_EQ(g.SetRaster(&raster.buffer), 0);
    DrawScene(g);
    ExpectMatchesGolden(raster.buffer, "qv_graphics_scene");
}

TEST(QVGraphicsGolden, SmoothScene)
{
    OwnedRaster raster(kWidth, kHeight, 32);
    QV_Graphics g;
    ASSERT_EQ(g.SetRaster(&raster.buffer), 0);
    g.SetAntialiasing(true);
    g.fOutlineFills = true;
    DrawScene(g);
    ExpectMatchesGolden(raster.buffer, "qv_graphics_scene_smooth");
}

TEST(QVGraphicsGolden, SixteenBitScene)
{
    OwnedRaster raster(kWidth, kHeight, 16);
    QV_Graphics g;
    ASSERT_EQ(g.SetRaster(&raster.buffer), 0);
    DrawScene(g);
    // Expanded to 32 bits for the file, through the context's own reading of 5:6:5.
    OwnedRaster expanded(kWidth, kHeight, 32);
    for (int32_t y = 0; y < kHeight; y++) {
        for (int32_t x = 0; x < kWidth; x++) {
            const rgb_color c = g.GetPixel(x, y);
            expanded.Set32(x, y, uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
        }
    }
    ExpectMatchesGolden(expanded.buffer, "qv_graphics_scene_565");
}

} // namespace
