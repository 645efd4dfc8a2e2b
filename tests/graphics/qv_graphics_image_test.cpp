#include "graphics_canvas.h"
#include "qv_graphics.h"

#include <gtest/gtest.h>

namespace {

// A 10 x 10 image whose every pixel is different and opaque.
OwnedRaster Numbered()
{
    OwnedRaster image(10, 10, 32);
    for (int32_t y = 0; y < 10; y++)
        for (int32_t x = 0; x < 10; x++)
            image.Set32(x, y, 0xFF000000u | uint32_t(y * 10 + x + 1) * 0x010101u);
    return image;
}

TEST(QVGraphicsImage, ImageAtANegativePointIsClipped)
{
    OwnedRaster image = Numbered();
    Canvas c(20, 20);
    c.g.Translate(-5, -5);
    c.g.DrawImage(&image.buffer, 2, 2); // lands at (-3, -3)
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(0, 0, 6, 6));
    EXPECT_EQ(c.raster.Get32(0, 0), image.Get32(3, 3));
    EXPECT_EQ(c.raster.Get32(6, 6), image.Get32(9, 9));

    Canvas clipped(20, 20);
    clipped.g.SetClipRect(4, 4, 19, 19);
    clipped.g.DrawImage(&image.buffer, 0, 0);
    EXPECT_EQ(clipped.ChangedPixels(), Canvas::Block(4, 4, 9, 9));
    EXPECT_EQ(clipped.raster.Get32(4, 4), image.Get32(4, 4));
}

TEST(QVGraphicsImage, ScaledImageFillsTheProjectedRectangle)
{
    OwnedRaster image(10, 10, 32);
    image.Fill32(0xFFFFFFFFu);
    Canvas c(32, 32);
    c.g.DrawImageScaled(&image.buffer, 0, 0, 20, 20);
    EXPECT_EQ(c.ChangedPixels(), Canvas::Block(0, 0, 19, 19));

    // Rotated views place the image at the point without turning it.
    Canvas turned(32, 32);
    turned.g.Translate(8, 8);
    turned.g.Rotate(0.3f);
    turned.g.DrawImageScaled(&image.buffer, 0, 0, 5.4f, 3.6f);
    EXPECT_EQ(turned.ChangedPixels(), Canvas::Block(8, 8, 12, 11));
}

TEST(QVGraphicsImage, ScaledImageOfNoSizeDrawsNothing)
{
    OwnedRaster image = Numbered();
    Canvas c(32, 32);
    c.g.DrawImageScaled(&image.buffer, 4, 4, 0.3f, 10); // corners 4 and 3.3 round to a width of 0
    c.g.DrawImageScaled(&image.buffer, 4, 4, 10, -5);
    c.g.Rotate(0.1f);
    c.g.DrawImageScaled(&image.buffer, 4, 4, 0.4f, 10); // rounds to 0
    EXPECT_TRUE(c.ChangedPixels().empty());
}

TEST(QVGraphicsImage, CompositesGoThroughTheClipView)
{
    OwnedRaster image(4, 4, 32);
    image.Fill32(0x80FFFFFFu); // white, half transparent
    struct Case {
        const char* name;
        void (*draw)(QV_Graphics&, QV_PixelBuffer*);
        uint32_t expected;
    } cases[] = {
        { "alpha", [](QV_Graphics& g, QV_PixelBuffer* i) { g.DrawImageAlpha(i, 3, 3, false); }, 0xFF808080u },
        { "alpha merged", [](QV_Graphics& g, QV_PixelBuffer* i) { g.DrawImageAlpha(i, 3, 3, true); },
            0xFF808080u },
        { "faded", [](QV_Graphics& g, QV_PixelBuffer* i) { g.DrawImageFaded(i, 3, 3, 127); }, 0xFFFFFFFFu },
        { "intersect", [](QV_Graphics& g, QV_PixelBuffer* i) { g.DrawImageIntersect(i, 3, 3); },
            0x80FFFFFFu },
    };
    for (const Case& k : cases) {
        Canvas c(10, 10);
        c.g.SetClipRect(0, 0, 4, 9);
        k.draw(c.g, &image.buffer);
        EXPECT_EQ(c.ChangedPixels(), Canvas::Block(3, 3, 4, 6)) << k.name;
        EXPECT_EQ(c.raster.Get32(4, 4), k.expected) << k.name;
    }
}

TEST(QVGraphicsImage, NothingBehindTheEye)
{
    OwnedRaster image = Numbered();
    Canvas c(20, 20);
    QV_Matrix behind;
    behind.m[15] = -1;
    c.g.ApplyMatrix(behind);
    c.g.DrawImage(&image.buffer, 1, 1);
    c.g.DrawImageAlpha(&image.buffer, 1, 1, true);
    c.g.DrawImageScaled(&image.buffer, 1, 1, 5, 5);
    EXPECT_TRUE(c.ChangedPixels().empty());
}

} // namespace
