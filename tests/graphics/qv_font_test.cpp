#include "qv_font.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "blend_tables.h"
#include "qv_builtin_fonts.h"
#include "qv_font_library.h"
#include "system_palette.h"

extern char** environ;

namespace {

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kMonoBdf = std::string(CELVANE_TEST_DATA) + "/fonts/mono8.bdf";

constexpr rgb_color kWhite = { 255, 255, 255, 255 };

struct FontDeleter {
    void operator()(QV_Font* font) const { DeleteFont(font); }
};
using FontPtr = std::unique_ptr<QV_Font, FontDeleter>;

// A raster with room around it: rows are longer than the pixels they describe, so writes past the
// right edge land in bytes that must stay untouched.
struct TestRaster {
    static constexpr uint8_t kPadByte = 0xA5;

    TestRaster(int32_t width, int32_t height, int32_t depth, uint8_t fill = 0)
    {
        const int32_t bpp = depth == 8 ? 1 : depth == 24 ? 3 : depth == 32 ? 4 : 2;
        buffer.width = width;
        buffer.height = height;
        buffer.depth = depth;
        buffer.bytesPerPixel = bpp;
        buffer.rowBytes = width * bpp + 8;
        bytes.assign(size_t(buffer.rowBytes) * height, kPadByte);
        for (int32_t y = 0; y < height; y++)
            memset(&bytes[size_t(y) * buffer.rowBytes], fill, size_t(width) * bpp);
        buffer.pixels = bytes.data();
    }

    uint8_t* At(int32_t x, int32_t y)
    {
        return &bytes[size_t(y) * buffer.rowBytes + size_t(x) * buffer.bytesPerPixel];
    }
    uint32_t Pixel32(int32_t x, int32_t y)
    {
        uint32_t v;
        memcpy(&v, At(x, y), 4);
        return v;
    }
    uint16_t Pixel16(int32_t x, int32_t y)
    {
        uint16_t v;
        memcpy(&v, At(x, y), 2);
        return v;
    }
    bool PaddingIntact() const
    {
        for (int32_t y = 0; y < buffer.height; y++) {
            for (int32_t i = buffer.width * buffer.bytesPerPixel; i < buffer.rowBytes; i++) {
                if (bytes[size_t(y) * buffer.rowBytes + i] != kPadByte)
                    return false;
            }
        }
        return true;
    }
    // Bounding box of the pixels whose first byte differs from `background`; false when none do.
    bool InkBounds(uint8_t background, int32_t& left, int32_t& top, int32_t& right, int32_t& bottom)
    {
        left = top = INT32_MAX;
        right = bottom = -1;
        for (int32_t y = 0; y < buffer.height; y++) {
            for (int32_t x = 0; x < buffer.width; x++) {
                if (*At(x, y) != background) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return right >= 0;
    }

    QV_PixelBuffer buffer;
    std::vector<uint8_t> bytes;
};

QV_PixelBuffer CoverageImage(uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes)
{
    QV_PixelBuffer glyph;
    glyph.pixels = pixels;
    glyph.width = width;
    glyph.height = height;
    glyph.depth = 8;
    glyph.bytesPerPixel = 1;
    glyph.rowBytes = rowBytes;
    return glyph;
}

class FontTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        BuildBlendTables();
        ASSERT_TRUE(StartFontLibrary());
    }
    static void TearDownTestSuite() { StopFontLibrary(); }

    static FontPtr OpenDejaVu(int32_t pixels)
    {
        FontPtr font(QV_Font::OpenFace(kDejaVuSans, 0));
        if (font)
            font->SetPixelSize(pixels);
        return font;
    }
};

// --- Built-in bitmap fonts ---------------------------------------------------------------------

struct SetMetrics {
    int32_t stripWidth, lineHeight, ascent;
    int32_t space, A, zero, i, W, period;
    int32_t boxWidth, boxAdvance;
};

const SetMetrics kSetMetrics[kBuiltInFontSetCount] = {
    { 1522, 15, 11, 4, 8, 7, 3, 11, 4, 8, 11 },
    { 1689, 15, 11, 4, 9, 8, 4, 12, 4, 8, 11 },
    { 1768, 15, 11, 4, 8, 7, 3, 11, 4, 8, 11 },
    { 1820, 18, 13, 5, 9, 8, 3, 13, 5, 10, 13 },
    { 2011, 18, 13, 4, 10, 9, 4, 14, 5, 10, 13 },
    { 2048, 18, 13, 5, 8, 8, 3, 12, 5, 10, 13 },
};

TEST_F(FontTest, BuiltInSetsHaveTheirFixedMetrics)
{
    for (int32_t set = 0; set < kBuiltInFontSetCount; set++) {
        SCOPED_TRACE("set " + std::to_string(set));
        const SetMetrics& m = kSetMetrics[set];
        FontPtr font(QV_Font::CreateBuiltIn(set));
        ASSERT_TRUE(font);
        EXPECT_EQ(font->fKind, QV_Font::kBitmapFont);
        EXPECT_FALSE(font->fOwnsTables);
        EXPECT_EQ(font->fFace, nullptr);
        EXPECT_EQ(font->fStripWidth, m.stripWidth);
        EXPECT_EQ(font->LineHeight(), m.lineHeight);
        EXPECT_EQ(font->Ascent(), m.ascent);
        EXPECT_EQ(font->fAdvance[' '], m.space);
        EXPECT_EQ(font->fAdvance['A'], m.A);
        EXPECT_EQ(font->fAdvance['0'], m.zero);
        EXPECT_EQ(font->fAdvance['i'], m.i);
        EXPECT_EQ(font->fAdvance['W'], m.W);
        EXPECT_EQ(font->fAdvance['.'], m.period);
        EXPECT_EQ(font->fAdvance[160], m.space);
        EXPECT_GT(font->fGlyphWidth[233], 0);
        EXPECT_EQ(font->Name(), "Bitmap Font");

        // Control and C1 byte values all show the one hollow box.
        for (int c : { 0, 9, 31, 127, 128, 159 }) {
            EXPECT_EQ(font->fGlyphWidth[c], m.boxWidth) << c;
            EXPECT_EQ(font->fAdvance[c], m.boxAdvance) << c;
            EXPECT_EQ(font->fGlyphOffset[c], font->fGlyphOffset[0]) << c;
        }
        const uint8_t* box = font->fStrip + font->fGlyphOffset[0];
        const int32_t mid = font->fStripWidth * (m.ascent / 2);
        EXPECT_EQ(box[mid], 255);
        EXPECT_EQ(box[mid + 1], 0);
        EXPECT_EQ(box[mid + m.boxWidth - 1], 255);

        bool negativeBearing = false;
        for (int c = 0; c < 256; c++) {
            EXPECT_GE(font->fGlyphOffset[c], 0) << c;
            EXPECT_LE(font->fGlyphOffset[c] + font->fGlyphWidth[c], font->fStripWidth) << c;
            negativeBearing |= font->fLeftBearing[c] < 0;
        }
        if (set == 2) {
            EXPECT_TRUE(negativeBearing);
        }
    }
}

TEST_F(FontTest, UnknownSetGivesSetZero)
{
    for (int32_t set : { 9, -1, 6 }) {
        FontPtr font(QV_Font::CreateBuiltIn(set));
        EXPECT_EQ(font->fStrip, kBuiltInFontSets[0].strip) << set;
    }
}

TEST_F(FontTest, BitmapStringWidthSumsByteAdvances)
{
    FontPtr font(QV_Font::CreateBuiltIn(0));
    EXPECT_EQ(font->StringWidth("AB"), font->fAdvance['A'] + font->fAdvance['B']);
    EXPECT_EQ(font->StringWidth("\t"), 16);
    EXPECT_EQ(font->StringWidth(""), 0);
    EXPECT_EQ(font->StringWidth(nullptr), 0);
    // Bytes are glyphs as they stand: UTF-8 is not decoded, and invalid UTF-8 is measured too.
    EXPECT_EQ(font->StringWidth("\xC3\xA9"), font->fAdvance[0xC3] + font->fAdvance[0xA9]);
    EXPECT_EQ(font->StringWidth("\xFF\x80"), font->fAdvance[0xFF] + font->fAdvance[0x80]);
}

TEST_F(FontTest, BitmapGlyphLandsWithItsTopRowOnTheLineTop)
{
    // In set 0, N with tilde reaches the strip's first row; drawn at y = ascent that row is row 0.
    FontPtr font(QV_Font::CreateBuiltIn(0));
    const unsigned char c = 209;
    const int32_t width = font->fGlyphWidth[c];
    TestRaster raster(width, font->fLineHeight, 32);
    font->DrawString(kWhite, &raster.buffer, "\xD1", -font->fLeftBearing[c], font->Ascent());

    bool rowZeroInked = false;
    for (int32_t y = 0; y < font->fLineHeight; y++) {
        for (int32_t x = 0; x < width; x++) {
            const uint8_t coverage = font->fStrip[y * font->fStripWidth + font->fGlyphOffset[c] + x];
            // White over black leaves the coverage in every colour byte.
            EXPECT_EQ(raster.At(x, y)[2], coverage) << x << "," << y;
            if (y == 0)
                rowZeroInked |= coverage != 0;
        }
    }
    EXPECT_TRUE(rowZeroInked);
    EXPECT_TRUE(raster.PaddingIntact());
}

TEST_F(FontTest, BitmapDrawingOutsideTheRasterDrawsNothing)
{
    FontPtr font(QV_Font::CreateBuiltIn(2));
    const int32_t lineHeight = font->LineHeight();
    const int32_t ascent = font->Ascent();
    struct {
        int32_t x, y;
    } const cases[] = {
        { 20, ascent }, // at the right edge
        { 0, -(lineHeight - ascent) - 1 }, // line entirely above
        { 0, 10 + ascent }, // line entirely below
        { -1000, ascent }, // ends left of the raster
    };
    for (const auto& at : cases) {
        TestRaster raster(20, 10, 32);
        font->DrawString(kWhite, &raster.buffer, "Wij\xD1", at.x, at.y);
        int32_t l, t, r, b;
        EXPECT_FALSE(raster.InkBounds(0, l, t, r, b)) << at.x << "," << at.y;
        EXPECT_TRUE(raster.PaddingIntact());
    }
}

TEST_F(FontTest, TabAdvancesFourSpacesWithoutDrawing)
{
    FontPtr font(QV_Font::CreateBuiltIn(0));
    TestRaster tabbed(80, 15, 32);
    TestRaster spaced(80, 15, 32);
    font->DrawString(kWhite, &tabbed.buffer, "\tW", 0, 11);
    font->DrawString(kWhite, &spaced.buffer, "    W", 0, 11);
    EXPECT_EQ(tabbed.bytes, spaced.bytes);
    int32_t l, t, r, b;
    ASSERT_TRUE(tabbed.InkBounds(0, l, t, r, b));
    EXPECT_GE(l, 16 + font->fLeftBearing['W']);
}

// --- Glyph blending ----------------------------------------------------------------------------

TEST_F(FontTest, CoverageBlendsIntoEachDepth)
{
    const rgb_color orange = { 255, 128, 0, 255 };
    uint8_t half = 128;
    uint8_t full = 255;
    QV_PixelBuffer halfGlyph = CoverageImage(&half, 1, 1, 1);
    QV_PixelBuffer fullGlyph = CoverageImage(&full, 1, 1, 1);

    {
        TestRaster raster(2, 1, 32);
        *reinterpret_cast<uint32_t*>(raster.At(0, 0)) = 0xFF000000; // opaque black
        QV_Font::BlitGlyph(0, kWhite, &halfGlyph, &raster.buffer, 0, false);
        EXPECT_EQ(raster.Pixel32(0, 0), 0x80808080u);
        // Full coverage writes the colour opaque whatever was there.
        QV_Font::BlitGlyph(0, orange, &fullGlyph, &raster.buffer, 1, false);
        EXPECT_EQ(raster.Pixel32(1, 0), 0xFFFF8000u);
    }
    {
        TestRaster raster(2, 1, 15, 0xFF); // white with bit 15 set
        QV_Font::BlitGlyph(0, orange, &fullGlyph, &raster.buffer, 0, false);
        EXPECT_EQ(raster.Pixel16(0, 0), 0x7E00); // 31 << 10 | 16 << 5 | 0
        const rgb_color black = { 0, 0, 0, 255 };
        QV_Font::BlitGlyph(0, black, &halfGlyph, &raster.buffer, 1, false);
        EXPECT_EQ(raster.Pixel16(1, 0), 0x3DEF); // 248 * 127 / 255 = 123 -> 15 per channel, bit 15 clear
    }
    {
        TestRaster raster(2, 1, 16);
        QV_Font::BlitGlyph(0, orange, &fullGlyph, &raster.buffer, 0, false);
        EXPECT_EQ(raster.Pixel16(0, 0), 0xFC00); // 31 << 11 | 32 << 5
        QV_Font::BlitGlyph(0, kWhite, &halfGlyph, &raster.buffer, 1, false);
        EXPECT_EQ(raster.Pixel16(1, 0), 0x8410); // 128 per channel: 16 << 11 | 32 << 5 | 16
    }
    {
        const SystemPalette& palette = EnsureSystemPalette();
        TestRaster raster(2, 1, 8); // index 0: black
        QV_Font::BlitGlyph(0, kWhite, &fullGlyph, &raster.buffer, 0, false);
        EXPECT_EQ(*raster.At(0, 0), palette.NearestIndex(255, 255, 255));
        QV_Font::BlitGlyph(0, kWhite, &halfGlyph, &raster.buffer, 1, false);
        EXPECT_EQ(*raster.At(1, 0), palette.NearestIndex(128, 128, 128));
        EXPECT_EQ(palette.fColors[*raster.At(1, 0)], 0xFF808080u);
    }
    {
        TestRaster raster(1, 1, 24, 0x11);
        QV_Font::BlitGlyph(0, kWhite, &fullGlyph, &raster.buffer, 0, false);
        EXPECT_EQ(*raster.At(0, 0), 0x11);
    }
}

TEST_F(FontTest, OneBitGlyphsDrawOnThirtyTwoBitsOnly)
{
    uint8_t bits[2] = { 0xA0, 0x01 }; // row 0: columns 0 and 2; row 1: column 7
    QV_PixelBuffer glyph = CoverageImage(bits, 8, 2, 1);

    TestRaster raster32(8, 2, 32);
    QV_Font::BlitGlyph(0, kWhite, &glyph, &raster32.buffer, 0, true);
    for (int32_t y = 0; y < 2; y++) {
        for (int32_t x = 0; x < 8; x++) {
            const bool set = (y == 0 && (x == 0 || x == 2)) || (y == 1 && x == 7);
            EXPECT_EQ(raster32.Pixel32(x, y), set ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
    }
    for (int32_t depth : { 8, 15, 16 }) {
        TestRaster raster(8, 2, depth, 0x33);
        const std::vector<uint8_t> before = raster.bytes;
        QV_Font::BlitGlyph(0, kWhite, &glyph, &raster.buffer, 0, true);
        EXPECT_EQ(raster.bytes, before) << depth;
    }
}

TEST_F(FontTest, GlyphsAreClippedToTheRaster)
{
    // A solid 5 x 5 glyph placed at each corner and past each edge of a 4 x 3 raster: exactly the
    // overlap changes, and nothing beyond the rows' pixels is written.
    std::vector<uint8_t> solid(25, 255);
    QV_PixelBuffer glyph = CoverageImage(solid.data(), 5, 5, 5);
    struct {
        int32_t x, top;
    } const cases[]
        = { { -3, -4 }, { 2, -1 }, { -4, 2 }, { 3, 2 }, { 4, 0 }, { 0, 3 }, { -5, 0 }, { 0, -5 } };
    for (const auto& at : cases) {
        TestRaster raster(4, 3, 32);
        QV_Font::BlitGlyph(at.top, kWhite, &glyph, &raster.buffer, at.x, false);
        for (int32_t y = 0; y < 3; y++) {
            for (int32_t x = 0; x < 4; x++) {
                const bool inside = x >= at.x && x < at.x + 5 && y >= at.top && y < at.top + 5;
                EXPECT_EQ(raster.Pixel32(x, y), inside ? 0xFFFFFFFFu : 0u) << at.x << "," << at.top;
            }
        }
        EXPECT_TRUE(raster.PaddingIntact()) << at.x << "," << at.top;
    }
}

// --- FreeType faces ----------------------------------------------------------------------------

TEST_F(FontTest, OpenFaceFailsForWhatIsNotAFont)
{
    EXPECT_EQ(QV_Font::OpenFace(nullptr, 0), nullptr);
    EXPECT_EQ(QV_Font::OpenFace("/nonexistent/font.ttf", 0), nullptr);
    EXPECT_EQ(QV_Font::OpenFace((std::string(CELVANE_SOURCE_DIR) + "/CMakeLists.txt").c_str(), 0), nullptr);
    EXPECT_EQ(QV_Font::OpenFace(kDejaVuSans, 5), nullptr); // a single-face file
    EXPECT_EQ(QV_Font::OpenFace(kDejaVuSans, -1), nullptr); // only counts the faces

    StopFontLibrary();
    EXPECT_EQ(QV_Font::OpenFace(kDejaVuSans, 0), nullptr);
    ASSERT_TRUE(StartFontLibrary());
}

TEST_F(FontTest, FaceMetricsFollowItsSize)
{
    FontPtr font(QV_Font::OpenFace(kDejaVuSans, 0));
    ASSERT_TRUE(font) << "fonts-dejavu-core is needed";
    EXPECT_EQ(font->fKind, QV_Font::kFaceFont);
    EXPECT_EQ(font->Name(), "DejaVu Sans Book");
    // Opened at 12 pixels; 9 points at 96 dpi are the same 12 pixels.
    EXPECT_EQ(font->Ascent(), 11);
    EXPECT_EQ(font->LineHeight(), 13);
    const int32_t width12 = font->StringWidth("Hello");
    font->SetSize(9);
    EXPECT_EQ(font->Ascent(), 11);
    EXPECT_EQ(font->StringWidth("Hello"), width12);
    font->SetPixelSize(40);
    EXPECT_GT(font->Ascent(), 30);
    EXPECT_GT(font->LineHeight(), font->Ascent());
    EXPECT_GT(font->StringWidth("Hello"), 3 * width12);

    // Sizing a bitmap font changes nothing.
    FontPtr bitmap(QV_Font::CreateBuiltIn(0));
    bitmap->SetSize(40);
    bitmap->SetPixelSize(40);
    EXPECT_EQ(bitmap->LineHeight(), 15);
    EXPECT_EQ(bitmap->StringWidth("AB"), 16);
}

TEST_F(FontTest, FaceWidthIsKerned)
{
    FontPtr font = OpenDejaVu(40);
    ASSERT_TRUE(font);
    const int32_t a = font->StringWidth("A");
    const int32_t v = font->StringWidth("V");
    EXPECT_GT(a, 20);
    EXPECT_LT(font->StringWidth("AV"), a + v);
    EXPECT_EQ(font->StringWidth("HH"), 2 * font->StringWidth("H"));
    EXPECT_EQ(font->StringWidth(""), 0);
    EXPECT_EQ(font->StringWidth(nullptr), 0);
}

TEST_F(FontTest, FaceDecodesUtf8Strictly)
{
    FontPtr font = OpenDejaVu(20);
    ASSERT_TRUE(font);
    const int32_t a = font->StringWidth("A");
    // U+00E9 is one glyph, not two bytes' worth.
    EXPECT_EQ(font->StringWidth("\xC3\xA9"),
        font->StringWidth("\xC3\xA9"
                          "\xC3\xA9")
            / 2);
    struct {
        const char* text;
        int32_t width;
    } const cases[] = {
        { "A\xFF", 0 }, // illegal byte
        { "\xC0\x80", 0 }, // overlong NUL
        { "A\xED\xA0\x80", 0 }, // encoded surrogate
        { "A\xE2\x82", a }, // cut short at the end: what came before counts
    };
    for (const auto& c : cases)
        EXPECT_EQ(font->StringWidth(c.text), c.width) << c.text;

    TestRaster raster(100, 30, 32);
    font->DrawString(kWhite, &raster.buffer, "AB\xFF", 2, 20);
    int32_t l, t, r, b;
    EXPECT_FALSE(raster.InkBounds(0, l, t, r, b));
}

TEST_F(FontTest, FaceDrawsWithinItsMetrics)
{
    FontPtr font = OpenDejaVu(24);
    ASSERT_TRUE(font);
    const char* text = "Hag\xC3\xA9";
    const int32_t x = 5;
    const int32_t y = 30;
    for (int32_t depth : { 32, 16, 15, 8 }) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        TestRaster raster(120, 40, depth);
        font->DrawString(kWhite, &raster.buffer, text, x, y);
        int32_t l, t, r, b;
        ASSERT_TRUE(raster.InkBounds(0, l, t, r, b));
        EXPECT_GE(l, x);
        EXPECT_LT(r, x + font->StringWidth(text));
        EXPECT_GE(t, y - font->Ascent());
        EXPECT_GT(b, y); // the descender of g
        EXPECT_LE(b, y - font->Ascent() + font->LineHeight());
        EXPECT_TRUE(raster.PaddingIntact());
    }

    // Nothing at or beyond the right edge, and nothing outside a raster of 24 bits.
    TestRaster edge(50, 40, 32);
    font->DrawString(kWhite, &edge.buffer, text, 50, y);
    int32_t l, t, r, b;
    EXPECT_FALSE(edge.InkBounds(0, l, t, r, b));
    TestRaster deep(50, 40, 24);
    font->DrawString(kWhite, &deep.buffer, text, 0, y);
    EXPECT_FALSE(deep.InkBounds(0, l, t, r, b));
}

TEST_F(FontTest, OneBitFaceIsNotScaledAndDrawsBits)
{
    FontPtr font(QV_Font::OpenFace(kMonoBdf.c_str(), 0));
    ASSERT_TRUE(font);
    // A face without outlines reports the fixed metrics.
    EXPECT_EQ(font->Ascent(), 12);
    EXPECT_EQ(font->LineHeight(), 12);
    font->SetPixelSize(8);
    EXPECT_EQ(font->StringWidth("AB"), 16);

    // A is a diagonal from the top left: one-bit glyphs reach 32-bit rasters only.
    TestRaster raster32(16, 8, 32);
    font->DrawString(kWhite, &raster32.buffer, "AB", 0, 7);
    for (int32_t i = 0; i < 8; i++) {
        for (int32_t x = 0; x < 8; x++)
            EXPECT_EQ(raster32.Pixel32(x, i), x == i ? 0xFFFFFFFFu : 0u) << x << "," << i;
        EXPECT_EQ(raster32.Pixel32(8 + i, i), 0xFFFFFFFFu);
    }
    TestRaster raster16(16, 8, 16);
    font->DrawString(kWhite, &raster16.buffer, "AB", 0, 7);
    int32_t l, t, r, b;
    EXPECT_FALSE(raster16.InkBounds(0, l, t, r, b));
}

TEST_F(FontTest, FaceWithoutItsLockAnswersOneAndDrawsNothing)
{
    FontPtr font = OpenDejaVu(20);
    ASSERT_TRUE(font);
    PlatMutexDestroy(font->fLock.handle);
    font->fLock.handle = nullptr;
    EXPECT_EQ(font->Ascent(), 1);
    EXPECT_EQ(font->LineHeight(), 1);
    EXPECT_EQ(font->StringWidth("Hello"), 1);
    TestRaster raster(60, 30, 32);
    font->DrawString(kWhite, &raster.buffer, "Hello", 0, 20);
    int32_t l, t, r, b;
    EXPECT_FALSE(raster.InkBounds(0, l, t, r, b));
}

// --- Texts longer than a work buffer -----------------------------------------------------------

TEST_F(FontTest, LongTextsAreMeasuredAndDrawnWhole)
{
    const std::string text(10000, 'a');
    const std::string tail(10, 'a');

    FontPtr bitmap(QV_Font::CreateBuiltIn(0));
    const int32_t advance = bitmap->fAdvance['a'];
    EXPECT_EQ(bitmap->StringWidth(text.c_str()), 10000 * advance);

    FontPtr face = OpenDejaVu(12);
    ASSERT_TRUE(face);
    const int32_t faceAdvance = face->StringWidth("a");
    EXPECT_EQ(face->StringWidth(text.c_str()), 10000 * faceAdvance);

    // Drawn so that only the last ten glyphs fall into the raster: they must look like the same ten
    // glyphs drawn on their own.
    for (QV_Font* font : { bitmap.get(), face.get() }) {
        const int32_t each = font->StringWidth("a");
        TestRaster whole(12 * each, 20, 32);
        TestRaster alone(12 * each, 20, 32);
        font->DrawString(kWhite, &whole.buffer, text.c_str(), -9990 * each, 14);
        font->DrawString(kWhite, &alone.buffer, tail.c_str(), 0, 14);
        int32_t l, t, r, b;
        EXPECT_TRUE(alone.InkBounds(0, l, t, r, b));
        EXPECT_EQ(whole.bytes, alone.bytes) << font->Name().CString();
    }
}

// --- Threads -----------------------------------------------------------------------------------

TEST_F(FontTest, FaceIsSafeToShareBetweenThreads)
{
    FontPtr font = OpenDejaVu(16);
    ASSERT_TRUE(font);
    const char* texts[] = { "Wavy", "Quartz glyph job", "AVA", "\xC3\xA9t\xC3\xA9" };
    int32_t expected[4];
    for (int i = 0; i < 4; i++)
        expected[i] = font->StringWidth(texts[i]);
    TestRaster reference(200, 24, 32);
    font->DrawString(kWhite, &reference.buffer, texts[1], 0, 18);

    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; t++) {
        threads.emplace_back([&, t] {
            for (int n = 0; n < 100; n++) {
                failures[t] += font->StringWidth(texts[(t + n) % 4]) != expected[(t + n) % 4];
                if (n % 10 == 0) {
                    TestRaster raster(200, 24, 32);
                    font->DrawString(kWhite, &raster.buffer, texts[1], 0, 18);
                    failures[t] += raster.bytes != reference.bytes;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < 4; t++)
        EXPECT_EQ(failures[t], 0) << "thread " << t;
}

// --- A sample to look at -----------------------------------------------------------------------

// Writes font_sample.png (or font_sample.pam where ImageMagick is missing) into the test's working
// folder: every built-in set and DejaVu Sans at three sizes, black on white.
TEST_F(FontTest, WritesSampleImage)
{
    const char* sample
        = "The quick brown fox jumps over the lazy dog 0123456789 \xE9\xE8\xF1\xC5\xDF \x01\t|";
    const char* utf8Sample
        = "The quick brown fox jumps over the lazy dog 0123456789 \xC3\xA9\xC3\xA8\xC3\xB1 AV Wa";
    const rgb_color black = { 0, 0, 0, 255 };
    TestRaster raster(560, 260, 32, 0xFF);
    int32_t y = 4;
    for (int32_t set = 0; set < kBuiltInFontSetCount; set++) {
        FontPtr font(QV_Font::CreateBuiltIn(set));
        font->DrawString(black, &raster.buffer, sample, 4, y + font->Ascent());
        y += font->LineHeight();
    }
    for (int32_t pixels : { 11, 16, 28 }) {
        FontPtr font = OpenDejaVu(pixels);
        ASSERT_TRUE(font);
        font->DrawString(black, &raster.buffer, utf8Sample, 4, y + font->Ascent());
        y += font->LineHeight();
    }
    ASSERT_LE(y, raster.buffer.height);

    FILE* f = fopen("font_sample.pam", "wb");
    ASSERT_TRUE(f);
    fprintf(f, "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
        raster.buffer.width, raster.buffer.height);
    for (int32_t yy = 0; yy < raster.buffer.height; yy++) {
        for (int32_t x = 0; x < raster.buffer.width; x++) {
            const uint8_t* p = raster.At(x, yy);
            const uint8_t rgba[4] = { p[2], p[1], p[0], p[3] };
            fwrite(rgba, 1, 4, f);
        }
    }
    ASSERT_EQ(fclose(f), 0);

    char arg0[] = "convert";
    char arg1[] = "font_sample.pam";
    char arg2[] = "font_sample.png";
    char* argv[] = { arg0, arg1, arg2, nullptr };
    pid_t pid;
    if (posix_spawnp(&pid, "convert", nullptr, nullptr, argv, environ) != 0)
        GTEST_SKIP() << "ImageMagick is not installed; the sample stays in font_sample.pam";
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        remove("font_sample.pam");
}

} // namespace
