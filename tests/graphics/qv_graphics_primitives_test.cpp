#include "graphics_canvas.h"
#include "qv_graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(QVGraphicsPrimitives, FilledRectangleFastPathEqualsTheShapePath)
{
    Canvas fast(32, 32), shape(32, 32);
    for (Canvas* c : { &fast, &shape })
        c->g.SetColor(255, 255, 255);
    shape.g.ApplyMatrix(QV_Matrix()); // no longer axis-aligned: through the shape filler
    fast.g.FillRect(10, 10, 19, 19);
    shape.g.FillRect(10, 10, 19, 19);
    EXPECT_EQ(fast.ChangedPixels(), Canvas::Block(10, 10, 19, 19));
    EXPECT_EQ(fast.raster.bytes, shape.raster.bytes);

    // A translucent colour takes the shape path too, over the same pixels.
    Canvas translucent(32, 32);
    translucent.g.SetColor(255, 255, 255, 128);
    translucent.g.FillRect(10, 10, 19, 19);
    EXPECT_EQ(translucent.ChangedPixels(), Canvas::Block(10, 10, 19, 19));

    // Corners given the wrong way round, and the clip rectangle.
    Canvas clipped(32, 32);
    clipped.g.SetColor(255, 255, 255);
    clipped.g.SetClipRect(0, 0, 14, 31);
    clipped.g.FillRect(19, 19, 10, 10);
    EXPECT_EQ(clipped.ChangedPixels(), Canvas::Block(10, 10, 14, 19));
}

TEST(QVGraphicsPrimitives, TransparentOrOutsideRectanglesDrawNothing)
{
    Canvas c(16, 16);
    c.g.SetColor(255, 255, 255, 0);
    c.g.FillRect(2, 2, 10, 10);
    c.g.SetColor(255, 255, 255);
    c.g.FillRect(20, 20, 30, 30);
    c.g.FillRect(-10, 2, -1, 10);
    EXPECT_TRUE(c.ChangedPixels().empty());
}

TEST(QVGraphicsPrimitives, FillRectFillsTwentyFourBitRastersToo)
{
    Canvas c(8, 4, 24);
    c.g.SetColor(1, 2, 3);
    c.g.FillRect(2, 1, 3, 2);
    EXPECT_EQ(c.raster.At(2, 1)[0], 3); // blue, green, red
    EXPECT_EQ(c.raster.At(3, 2)[2], 1);
    EXPECT_EQ(c.raster.At(4, 2)[0], 0);
}

TEST(QVGraphicsPrimitives, ClearIgnoresTheClipRectangle)
{
    Canvas c(8, 8);
    c.g.SetClipRect(2, 2, 4, 4);
    c.g.Clear(rgb_color { 10, 20, 30, 40 });
    EXPECT_EQ(c.raster.Get32(0, 0), 0x280A141Eu);
    EXPECT_EQ(c.raster.Get32(7, 7), 0x280A141Eu);
}

TEST(QVGraphicsPrimitives, FrameRectDrawsFourSides)
{
    Canvas c(16, 16);
    c.g.SetColor(255, 255, 255);
    c.g.FrameRect(2, 3, 10, 12);
    Canvas::Pixels expected;
    for (const auto& p : Canvas::Block(2, 3, 10, 12))
        if (p.first == 2 || p.first == 10 || p.second == 3 || p.second == 12)
            expected.push_back(p);
    EXPECT_EQ(c.ChangedPixels(), expected);
}

TEST(QVGraphicsPrimitives, SelectionFrameDrawnTwiceRestoresTheRaster)
{
    for (bool inside : { false, true }) {
        Canvas c(24, 24);
        for (int32_t y = 0; y < 24; y++)
            for (int32_t x = 0; x < 24; x++)
                c.raster.Set32(x, y, 0xC0000000u | uint32_t(x * 24 + y) * 0x000103u);
        const std::vector<uint8_t> before = c.raster.bytes;
        c.g.SelectionRect(3, 4, 17, 20, inside);
        EXPECT_NE(c.raster.bytes, before);
        c.g.SelectionRect(3, 4, 17, 20, inside);
        EXPECT_EQ(c.raster.bytes, before) << inside;
    }

    // The corner pixel is reached by a row and a column: inverted twice, it keeps its colour.
    Canvas corner(24, 24);
    corner.g.SelectionRect(4, 4, 10, 10, false);
    EXPECT_EQ(corner.raster.Get32(4, 4), Canvas::kBackground);
    EXPECT_EQ(corner.raster.Get32(6, 4), 0xFFFFFFFFu);
    EXPECT_EQ(corner.raster.Get32(5, 4), Canvas::kBackground);

    Canvas outside(24, 24);
    outside.g.SelectionRect(30, 30, 40, 40, true);
    EXPECT_TRUE(outside.ChangedPixels().empty());
}

TEST(QVGraphicsPrimitives, CircleOutlineTouchesItsFourExtremes)
{
    Canvas c(100, 100);
    c.g.SetColor(255, 255, 255);
    c.g.SetLineNoise(5, 10, 1);
    c.g.FrameCircle(10, 50, 50);
    EXPECT_TRUE(c.g.fLineNoise); // suspended for the circle, then restored
    for (const auto& p :
        { std::pair { 40, 50 }, std::pair { 60, 50 }, std::pair { 50, 40 }, std::pair { 50, 60 } })
        EXPECT_TRUE(c.Changed(p.first, p.second)) << p.first << "," << p.second << "\n" << c.Picture();
    EXPECT_FALSE(c.Changed(50, 50));
    for (const auto& p : c.ChangedPixels()) {
        EXPECT_GE(p.first, 40);
        EXPECT_LE(p.first, 60);
    }
}

TEST(QVGraphicsPrimitives, FilledCircleAndEllipseAreClosedAndSymmetric)
{
    Canvas c(64, 64);
    c.g.SetColor(255, 255, 255);
    c.g.FillCircle(10, 32, 32);
    EXPECT_TRUE(c.Changed(32, 32));
    EXPECT_TRUE(c.Changed(23, 32));
    EXPECT_FALSE(c.Changed(20, 32));
    EXPECT_FALSE(c.Changed(24, 24)); // the corner of the box

    Canvas e(64, 64);
    e.g.SetColor(255, 255, 255);
    EXPECT_TRUE(e.g.FillEllipse(10, 20, 50, 40));
    const size_t area = e.ChangedPixels().size(); // pi x 20 x 10 = 628
    EXPECT_GT(area, 600u);
    EXPECT_LT(area, 660u);
    EXPECT_TRUE(e.Changed(11, 30));
    EXPECT_TRUE(e.Changed(50, 30));
    EXPECT_FALSE(e.Changed(11, 21));
    EXPECT_FALSE(e.Changed(51, 30));

    Canvas frame(64, 64);
    frame.g.SetColor(255, 255, 255);
    frame.g.FrameEllipse(10, 20, 50, 40);
    EXPECT_TRUE(frame.Changed(10, 30));
    EXPECT_TRUE(frame.Changed(50, 30));
    EXPECT_TRUE(frame.Changed(30, 20));
    EXPECT_TRUE(frame.Changed(30, 40));
}

TEST(QVGraphicsPrimitives, RoundedRectangleHasRoundCorners)
{
    Canvas filled(40, 40);
    filled.g.SetColor(255, 255, 255);
    filled.g.FillRoundRect(8, 4, 4, 35, 35);
    EXPECT_TRUE(filled.Changed(20, 20));
    EXPECT_TRUE(filled.Changed(20, 4));
    EXPECT_FALSE(filled.Changed(5, 5));
    EXPECT_FALSE(filled.Changed(34, 34));

    Canvas framed(40, 40);
    framed.g.SetColor(255, 255, 255);
    framed.g.SetSmoothing(true);
    framed.g.FrameRoundRect(8, 4, 4, 35, 35);
    EXPECT_TRUE(framed.g.fSmoothing);
    EXPECT_EQ(framed.raster.Get32(20, 4), 0xFFFFFFFFu); // sides are drawn aliased
    EXPECT_FALSE(framed.Changed(20, 5));
    EXPECT_FALSE(framed.Changed(20, 20));
    EXPECT_TRUE(framed.Changed(6, 7)); // a corner arc, anti-aliased
    EXPECT_FALSE(framed.Changed(4, 4));
}

TEST(QVGraphicsPrimitives, MarkersArePixelSquares)
{
    Canvas fat(12, 12);
    fat.g.SetColor(255, 255, 255);
    fat.g.DrawFatMarker(5, 5, 2);
    EXPECT_EQ(fat.ChangedPixels(), Canvas::Block(3, 3, 6, 6));
    fat.g.DrawFatMarker(9, 9, 0.4f);
    EXPECT_EQ(fat.ChangedPixels().size(), 16u);

    Canvas marker(16, 16);
    marker.g.SetColor(255, 255, 255);
    marker.g.DrawMarker(8, 8);
    Canvas::Pixels outline;
    for (const auto& p : Canvas::Block(6, 6, 10, 10))
        if (p.first == 6 || p.first == 10 || p.second == 6 || p.second == 10)
            outline.push_back(p);
    EXPECT_EQ(marker.ChangedPixels(), outline);

    Canvas three(16, 16);
    three.g.SetColor(255, 255, 255);
    three.g.DrawMarker3D(8, 8, 5);
    EXPECT_EQ(three.ChangedPixels(), outline);
}

TEST(QVGraphicsPrimitives, MarkerNearTheClipRectangle)
{
    Canvas c(32, 32);
    c.g.SetColor(255, 255, 255);
    c.g.SetClipRect(10, 0, 31, 31);
    c.g.DrawMarker(8, 16); // 2 pixels left: not drawn
    EXPECT_TRUE(c.ChangedPixels().empty());
    c.g.DrawMarker(9, 16); // 1 pixel left: drawn clipped
    Canvas::Pixels expected = Canvas::Block(10, 14, 11, 14);
    for (int32_t y = 15; y <= 17; y++)
        expected.emplace_back(11, y);
    for (const auto& p : Canvas::Block(10, 18, 11, 18))
        expected.push_back(p);
    EXPECT_EQ(c.ChangedPixels(), expected) << c.Picture();

    Canvas behind(16, 16);
    QV_Matrix flip;
    flip.m[15] = -1;
    behind.g.ApplyMatrix(flip);
    behind.g.DrawMarker(8, 8);
    behind.g.DrawFatMarker(8, 8, 3);
    EXPECT_TRUE(behind.ChangedPixels().empty());
}

uint32_t Grey(uint32_t v)
{
    return 0xFF000000u | v << 16 | v << 8 | v;
}

TEST(QVGraphicsPrimitives, GradientRowsRunFromColourOneToColourTwo)
{
    Canvas c(16, 16);
    c.raster.Fill32(0x00000000u);
    const rgb_color black { 0, 0, 0, 255 }, white { 255, 255, 255, 255 };
    c.g.SetColor(10, 20, 30, 40);
    c.g.SetSmoothing(true);
    c.g.FillGradientRect(0, true, black, white, 2, 2, 5, 12);
    EXPECT_EQ(c.raster.Get32(3, 2), Grey(0));
    EXPECT_EQ(c.raster.Get32(3, 7), Grey(128)); // 127.5 rounded half away from zero
    EXPECT_EQ(c.raster.Get32(3, 12), Grey(255));
    EXPECT_EQ(c.raster.Get32(3, 4), Grey(51));
    EXPECT_EQ(c.raster.Get32(6, 7), 0u);
    EXPECT_EQ(c.g.fColor32, 0x280A141Eu); // colour and smoothing restored
    EXPECT_TRUE(c.g.fSmoothing);

    // Across, colour1 on the left; the alpha is colour2's.
    Canvas across(16, 4);
    across.g.FillGradientRect(
        0, false, rgb_color { 255, 0, 0, 255 }, rgb_color { 0, 0, 255, 100 }, 0, 0, 10, 1);
    EXPECT_EQ(across.raster.Get32(0, 0), 0x64FF0000u);
    EXPECT_EQ(across.raster.Get32(10, 1), 0x640000FFu);

    // One row (or one column) high: no run to spread over, the row takes colour1.
    Canvas one(16, 4);
    one.g.FillGradientRect(0, true, rgb_color { 9, 8, 7, 255 }, white, 0, 1, 10, 1);
    EXPECT_EQ(one.raster.Get32(5, 1), 0xFF090807u);
    one.g.FillGradientRect(0, false, rgb_color { 9, 8, 7, 255 }, white, 12, 0, 12, 3);
    EXPECT_EQ(one.raster.Get32(12, 2), 0xFF090807u);
}

TEST(QVGraphicsPrimitives, RoundedGradientLeavesTheCornersAlone)
{
    Canvas c(32, 32);
    c.raster.Fill32(0x00102030u);
    c.g.FillGradientRect(6, true, rgb_color { 255, 0, 0, 255 }, rgb_color { 0, 255, 0, 255 }, 2, 2, 29, 29);
    EXPECT_EQ(c.raster.Get32(2, 2), 0x00102030u);
    EXPECT_EQ(c.raster.Get32(15, 2), 0xFFFF0000u);
    const uint32_t nearBottom = c.raster.Get32(15, 28);
    EXPECT_LT((nearBottom >> 16) & 0xFF, 16u);
    EXPECT_GT((nearBottom >> 8) & 0xFF, 240u);
    // The shape's last row lies on its bottom edge, which the row rule leaves out: not stencilled.
    EXPECT_EQ(c.raster.Get32(15, 29), 0x00102030u);
}

} // namespace
