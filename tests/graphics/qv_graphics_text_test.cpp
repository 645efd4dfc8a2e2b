#include "graphics_canvas.h"
#include "qv_font.h"
#include "qv_graphics.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

struct FontDeleter {
    void operator()(QV_Font* f) const { DeleteFont(f); }
};
using FontPtr = std::unique_ptr<QV_Font, FontDeleter>;

// The text drawn straight by the font with its baseline at y.
std::vector<uint8_t> Reference(
    QV_Font* font, int32_t width, int32_t height, const char* text, int32_t x, int32_t y)
{
    OwnedRaster raster(width, height, 32);
    raster.Fill32(Canvas::kBackground);
    font->DrawString(rgb_color { 255, 255, 255, 255 }, &raster.buffer, text, x, y);
    return raster.bytes;
}

TEST(QVGraphicsText, VerticalModesPlaceTheBaseline)
{
    FontPtr font(QV_Font::CreateBuiltIn(3));
    ASSERT_TRUE(font);
    font->fAscent = 16; // the baseline rules read only the ascent
    struct Case {
        int32_t mode;
        int32_t below; // baseline pixels below the pen
    } cases[] = { { 1, 0 }, { 2, 0 }, { 3, 14 }, { 4, 6 } };
    for (const Case& k : cases) {
        Canvas c(80, 60);
        c.g.SetFont(font.get());
        c.g.SetColor(255, 255, 255);
        c.g.MoveTo(5, 20);
        c.g.DrawText("Hg0", k.mode);
        EXPECT_FALSE(c.ChangedPixels().empty());
        EXPECT_EQ(c.raster.bytes, Reference(font.get(), 80, 60, "Hg0", 5, 20 + k.below)) << k.mode;
        EXPECT_EQ(c.g.fPenX, 5.0f); // text does not move the pen
    }
}

TEST(QVGraphicsText, TextIsPlacedThroughTheMatrixAndClipped)
{
    FontPtr font(QV_Font::CreateBuiltIn(0));
    Canvas c(80, 40);
    c.g.SetFont(font.get());
    c.g.SetColor(255, 255, 255);
    c.g.Translate(10, 5);
    c.g.SetClipRect(0, 0, 30, 30); // (10, 5) to (40, 35) in pixels
    c.g.MoveTo(0, 15);
    c.g.DrawText("WWWWWW", 1);
    OwnedRaster whole(80, 40, 32);
    whole.Fill32(Canvas::kBackground);
    whole.bytes = Reference(font.get(), 80, 40, "WWWWWW", 10, 20);
    bool cut = false;
    for (int32_t y = 0; y < 40; y++) {
        for (int32_t x = 0; x < 80; x++) {
            const bool inside = x >= 10 && x <= 40 && y >= 5 && y <= 35;
            EXPECT_EQ(c.raster.Get32(x, y), inside ? whole.Get32(x, y) : Canvas::kBackground)
                << x << "," << y;
            cut = cut || (!inside && whole.Get32(x, y) != Canvas::kBackground);
        }
    }
    EXPECT_TRUE(cut); // the text did reach beyond the clip rectangle
}

TEST(QVGraphicsText, NothingWithoutAFontOrBehindTheEye)
{
    Canvas c(40, 20);
    c.g.MoveTo(2, 15);
    c.g.DrawText("abc", 1);
    EXPECT_TRUE(c.ChangedPixels().empty());

    FontPtr font(QV_Font::CreateBuiltIn(0));
    c.g.SetFont(font.get());
    QV_Matrix behind;
    behind.m[15] = -1;
    c.g.ApplyMatrix(behind);
    c.g.DrawText("abc", 1);
    EXPECT_TRUE(c.ChangedPixels().empty());
}

} // namespace
