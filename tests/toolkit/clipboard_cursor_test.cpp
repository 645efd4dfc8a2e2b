#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "image_format_registry.h"
#include "plat_clipboard.h"
#include "plat_cursor.h"
#include "png_codec.h"
#include "qv_baseimage.h"
#include "qv_cursor.h"
#include "qv_platform_image.h"
#include "resource_images.h"
#include "window_test_support.h"

namespace {

// A 32-bit raster of the given size, every pixel 0xAARRGGBB as given.
struct Raster {
    Raster(int32_t width, int32_t height, uint32_t argb = 0)
        : pixels(size_t(width) * height, argb)
    {
        buffer = { reinterpret_cast<uint8_t*>(pixels.data()), width, height, 32, 4, width * 4 };
    }
    void Set(int32_t x, int32_t y, uint32_t argb) { pixels[size_t(y) * buffer.width + x] = argb; }
    std::vector<uint32_t> pixels;
    QV_PixelBuffer buffer;
};

bool Bit(const std::vector<uint8_t>& mask, int32_t width, int32_t x, int32_t y)
{
    return (mask[size_t(y) * ((width + 7) / 8) + x / 8] >> (7 - x % 8)) & 1;
}

using ClipboardTest = WindowTest;
using CursorTest = WindowTest;

class ResourceImageTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        fApp = std::make_unique<QV_App>();
        ImageFormatRegistry::Init();
        fWarnings.clear();
        gMissingImageWarning = [](const char* name) { fWarnings.push_back(name); };
    }
    void TearDown() override
    {
        gMissingImageWarning = fSavedWarning;
        ImageFormatRegistry::Free();
        WindowTest::TearDown();
    }
    void PutImage(const std::string& name, uint32_t argb)
    {
        Raster raster(8, 4, argb);
        ASSERT_TRUE(WritePng(fRoot.File("app/Resources/" + name + ".png").c_str(), raster.buffer));
    }

    static inline std::vector<std::string> fWarnings;
    void (*fSavedWarning)(const char*) = gMissingImageWarning;
    std::unique_ptr<QV_App> fApp;
};

} // namespace

TEST_F(ClipboardTest, TextRoundTripsAsUtf8AndLongTextsAreCut)
{
    QV_Wnd* window = MakeWindow();
    window->CopyTextToClipboard("\xC3\xA9");
    const char* pasted = window->PasteText();
    ASSERT_NE(pasted, nullptr);
    EXPECT_STREQ(pasted, "\xC3\xA9");
    EXPECT_EQ(pasted, window->fClipboardText.CString());

    std::string long_text(3000, 'x');
    for (size_t i = 0; i < long_text.size(); ++i)
        long_text[i] = char('a' + i % 26);
    window->CopyTextToClipboard(long_text.c_str());
    pasted = window->PasteText();
    ASSERT_NE(pasted, nullptr);
    // The conversion every copied text passes through keeps 2046 units.
    EXPECT_EQ(std::string(pasted), long_text.substr(0, 2046));

    // A cut never leaves half a character behind.
    std::string accents;
    for (int i = 0; i < 1100; ++i)
        accents += "\xC3\xA9";
    window->CopyTextToClipboard(accents.c_str());
    pasted = window->PasteText();
    ASSERT_NE(pasted, nullptr);
    EXPECT_EQ(std::string(pasted), accents.substr(0, 2046));
}

TEST_F(ClipboardTest, WithOnlyAnImageOnTheClipboardPasteGivesNothing)
{
    QV_Wnd* window = MakeWindow();
    window->CopyTextToClipboard("before");
    QV_PlatformImage image;
    ASSERT_EQ(image.Create(16, 8, 32), 0);
    window->CopyImageToClipboard(&image);
    EXPECT_EQ(window->PasteText(), nullptr);
    PlatClipboardSetText("");
    EXPECT_EQ(window->PasteText(), nullptr);
}

TEST(CursorMasks, OpaquePixelsAreWhiteUnlessPureBlackAndTheMasksFitTheCursor)
{
    Raster raster(32, 32, 0); // transparent
    raster.Set(0, 0, 0xFFFFFFFFu); // white
    raster.Set(1, 0, 0xFF000000u); // black
    raster.Set(2, 0, 0xFF808080u); // grey
    raster.Set(9, 3, 0x01000001u); // barely opaque, not black
    raster.Set(31, 31, 0x00FFFFFFu); // transparent white
    for (int32_t size : { 32, 48, 20 }) {
        std::vector<uint8_t> andMask;
        std::vector<uint8_t> xorMask;
        ASSERT_TRUE(BuildCursorMasks(raster.buffer, size, size, andMask, xorMask));
        ASSERT_EQ(andMask.size(), size_t((size + 7) / 8 * size)) << size;
        EXPECT_FALSE(Bit(andMask, size, 0, 0));
        EXPECT_TRUE(Bit(xorMask, size, 0, 0));
        EXPECT_FALSE(Bit(andMask, size, 1, 0));
        EXPECT_FALSE(Bit(xorMask, size, 1, 0));
        EXPECT_FALSE(Bit(andMask, size, 2, 0));
        EXPECT_TRUE(Bit(xorMask, size, 2, 0));
        EXPECT_FALSE(Bit(andMask, size, 9, 3));
        EXPECT_TRUE(Bit(xorMask, size, 9, 3));
        EXPECT_TRUE(Bit(andMask, size, 3, 0));
        EXPECT_TRUE(Bit(andMask, size, size - 1, size - 1)); // transparent, or beyond the image
    }
    std::vector<uint8_t> andMask;
    std::vector<uint8_t> xorMask;
    Raster narrow(15, 32, 0xFFFFFFFFu);
    EXPECT_FALSE(BuildCursorMasks(narrow.buffer, 32, 32, andMask, xorMask));
    Raster low(32, 15, 0xFFFFFFFFu);
    EXPECT_FALSE(BuildCursorMasks(low.buffer, 32, 32, andMask, xorMask));
    QV_PixelBuffer threeBytes = raster.buffer;
    threeBytes.depth = 24;
    threeBytes.bytesPerPixel = 3;
    EXPECT_FALSE(BuildCursorMasks(threeBytes, 32, 32, andMask, xorMask));
    EXPECT_TRUE(andMask.empty());
}

TEST_F(CursorTest, ACursorShowsWhiteBlackAndSeeThroughPixels)
{
    Raster raster(64, 64, 0);
    raster.Set(0, 0, 0xFFFFFFFFu);
    raster.Set(1, 0, 0xFF000000u);
    raster.Set(2, 0, 0xFF808080u);
    raster.Set(40, 40, 0xFF000000u); // beyond the 32 x 32 cursor
    QV_Cursor cursor(&raster.buffer, 99, -5); // a hot spot off the cursor is kept on it
    ASSERT_NE(cursor.fHandle, nullptr);
    uint32_t pixel = 0;
    const uint32_t expected[] = { 0xFFFFFFFFu, 0xFF000000u, 0xFFFFFFFFu, 0 };
    for (int32_t x = 0; x < 4; ++x) {
        ASSERT_TRUE(PlatCursorPixel(cursor.fHandle, x, 0, pixel));
        EXPECT_EQ(pixel, expected[x]) << x;
    }
    EXPECT_FALSE(PlatCursorPixel(cursor.fHandle, 40, 40, pixel));

    CreateBuiltinCursors();
    ASSERT_NE(gTextCursor, nullptr);
    ASSERT_NE(gTextCursor->fHandle, nullptr);
    ASSERT_TRUE(PlatCursorPixel(gTextCursor->fHandle, 7, 7, pixel));
    EXPECT_EQ(pixel, 0xFF000000u); // the I-beam's stem under the hot spot
    ASSERT_TRUE(PlatCursorPixel(gTextCursor->fHandle, 20, 7, pixel));
    EXPECT_EQ(pixel, 0u);
    DestroyBuiltinCursors();
    EXPECT_EQ(gTextCursor, nullptr);
}

TEST_F(ResourceImageTest, ImagesAreReadOnceAndStayWhereTheyAreWhileTheCacheGrows)
{
    for (const char* name : { "a", "b", "c", "d", "e" })
        PutImage(name, 0xFF102030u);
    QV_PixelBuffer* first = GetResourceImage("a");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->width, 8);
    EXPECT_EQ(first->depth, 32);
    EXPECT_EQ(first->pixels[0], 0x30); // blue
    // Read once: with the file gone the cached picture still answers.
    std::filesystem::remove(fRoot.File("app/Resources/a.png"));
    EXPECT_EQ(GetResourceImage("a"), first);
    const uint8_t* firstPixels = first->pixels;
    for (const char* name : { "b", "c", "d" })
        GetResourceImage(name);
    EXPECT_EQ(fApp->fImageCapacity, 4);
    GetResourceImage("e");
    EXPECT_EQ(fApp->fImageCount, 5);
    EXPECT_EQ(fApp->fImageCapacity, 8);
    EXPECT_EQ(GetResourceImage("a"), first);
    EXPECT_EQ(first->pixels, firstPixels);
    EXPECT_EQ(GetResourceImage("A")->width, 32); // names are case-sensitive
    EXPECT_TRUE(fWarnings.size() == 1 && fWarnings[0] == "A");
}

TEST_F(ResourceImageTest, AMissingImageWarnsOnceAndGivesABlackPictureWithARedCross)
{
    QV_PixelBuffer* missing = GetResourceImage("tools/none");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->width, 32);
    EXPECT_EQ(missing->height, 32);
    EXPECT_EQ(GetResourceImage("tools/none"), missing);
    EXPECT_EQ(fWarnings, (std::vector<std::string> { "tools/none" }));
    auto argb = [missing](int32_t x, int32_t y) {
        const uint8_t* p = missing->pixels + y * missing->rowBytes + 4 * x;
        return uint32_t(p[3]) << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    };
    for (int32_t i : { 0, 10, 31 }) {
        EXPECT_EQ(argb(i, i), 0xFFFF0000u) << i;
        EXPECT_EQ(argb(i, 31 - i), 0xFFFF0000u) << i;
    }
    EXPECT_EQ(argb(5, 20), 0xFF000000u);
}
