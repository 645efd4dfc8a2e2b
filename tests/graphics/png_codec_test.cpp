#include "png_codec.h"

#include <png.h>

#include "image_test_support.h"

namespace {

struct PngLayout {
    int width = 2;
    int height = 1;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha; // a tRNS chunk for palette images
    bool interlaced = false;
};

// A PNG written straight through libpng; rows are given as the file's packed bytes.
void WriteRawPng(const std::string& path, const PngLayout& layout, std::vector<std::vector<uint8_t>> rows)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    ASSERT_FALSE(setjmp(png_jmpbuf(png)));
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(layout.width), png_uint_32(layout.height), layout.bitDepth, layout.colorType,
        layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
        PNG_FILTER_TYPE_DEFAULT);
    if (!layout.palette.empty())
        png_set_PLTE(png, info, layout.palette.data(), int(layout.palette.size()));
    if (!layout.paletteAlpha.empty())
        png_set_tRNS(png, info, layout.paletteAlpha.data(), int(layout.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : rows)
        pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    fclose(file);
}

struct PngReadResult {
    bool opened = false;
    bool read = false;
    bool hasAlpha = false;
    int width = 0, height = 0;
    OwnedRaster raster { 1, 1, 32 };
    Rgba At(int32_t x, int32_t y) const { return PixelAt(raster.buffer, x, y); }
};

PngReadResult ReadPng(const std::string& path)
{
    PngReadResult result;
    PngReadContext* context = nullptr;
    testing::internal::CaptureStderr(); // libpng reports damage on the standard error stream
    result.opened = OpenPng(path.c_str(), &context, &result.width, &result.height, &result.hasAlpha);
    if (result.opened) {
        result.raster = OwnedRaster(result.width, result.height, 32);
        result.read = ReadPngRows(context, result.raster.buffer);
    }
    testing::internal::GetCapturedStderr();
    return result;
}

class PngCodecTest : public testing::Test {
protected:
    ScratchFolder fFolder;
    std::string fPath = fFolder / "in.png";
};

TEST_F(PngCodecTest, WrittenFilesKeepTheirAlpha)
{
    OwnedRaster raster = PatternRaster(5, 4, true);
    ASSERT_TRUE(WritePng(fPath.c_str(), raster.buffer));
    PngReadResult result = ReadPng(fPath);
    ASSERT_TRUE(result.read);
    EXPECT_TRUE(result.hasAlpha);
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(result.At(x, y), PixelAt(raster.buffer, x, y)) << x << "," << y;
}

TEST_F(PngCodecTest, EveryColourTypeArrivesAsEightBitBgra)
{
    struct Case {
        const char* what;
        PngLayout layout;
        std::vector<uint8_t> row;
        bool hasAlpha;
        std::vector<Rgba> expected;
    };
    PngLayout palette;
    palette.colorType = PNG_COLOR_TYPE_PALETTE;
    palette.palette = { { 255, 0, 0 }, { 0, 0, 255 } };
    palette.paletteAlpha = { 0, 128 };
    PngLayout palette2Bit = palette;
    palette2Bit.bitDepth = 2;
    palette2Bit.width = 3;
    PngLayout rgb16;
    rgb16.bitDepth = 16;
    rgb16.width = 1;
    PngLayout greyAlpha;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    PngLayout grey1;
    grey1.colorType = PNG_COLOR_TYPE_GRAY;
    grey1.bitDepth = 1;
    grey1.width = 3;
    PngLayout rgba16;
    rgba16.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    rgba16.bitDepth = 16;
    rgba16.width = 1;
    const Case cases[] = {
        { "palette with tRNS", palette, { 0, 1 }, false, { { 255, 0, 0, 0 }, { 0, 0, 255, 128 } } },
        { "2-bit palette", palette2Bit, { 0b01000100 }, false,
            { { 0, 0, 255, 128 }, { 255, 0, 0, 0 }, { 0, 0, 255, 128 } } },
        { "16-bit RGB", rgb16, { 0x12, 0xAB, 0x80, 0x01, 0xFF, 0xFF }, false, { { 0x12, 0x80, 0xFF, 255 } } },
        { "16-bit RGBA", rgba16, { 0x12, 0xAB, 0x80, 0x01, 0xFF, 0xFF, 0x40, 0x00 }, true,
            { { 0x12, 0x80, 0xFF, 0x40 } } },
        { "grey with alpha", greyAlpha, { 90, 10, 200, 255 }, true,
            { { 90, 90, 90, 10 }, { 200, 200, 200, 255 } } },
        { "1-bit grey", grey1, { 0b10100000 }, false,
            { { 255, 255, 255, 255 }, { 0, 0, 0, 255 }, { 255, 255, 255, 255 } } },
    };
    for (const Case& c : cases) {
        WriteRawPng(fPath, c.layout, { c.row });
        PngReadResult result = ReadPng(fPath);
        ASSERT_TRUE(result.read) << c.what;
        EXPECT_EQ(result.hasAlpha, c.hasAlpha) << c.what;
        for (size_t x = 0; x < c.expected.size(); ++x)
            EXPECT_EQ(result.At(int32_t(x), 0), c.expected[x]) << c.what << " pixel " << x;
    }
}

TEST_F(PngCodecTest, TruncatedOrDamagedImageDataFailsTheRows)
{
    OwnedRaster raster = PatternRaster(64, 64, true);
    ASSERT_TRUE(WritePng(fPath.c_str(), raster.buffer));
    const std::vector<uint8_t> whole = ReadBytes(fPath);

    // Cut inside the image data: the header opens, the rows must fail.
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + ptrdiff_t(whole.size() / 2));
    WriteBytes(fPath, cut);
    PngReadResult result = ReadPng(fPath);
    EXPECT_TRUE(result.opened);
    EXPECT_FALSE(result.read);

    // Only the IEND chunk missing: every row is there, so the image is good.
    std::vector<uint8_t> noEnd(whole.begin(), whole.end() - 12);
    WriteBytes(fPath, noEnd);
    result = ReadPng(fPath);
    EXPECT_TRUE(result.read);
    EXPECT_EQ(result.At(63, 63), PixelAt(raster.buffer, 63, 63));

    // Neither a file that is not a PNG nor a missing file opens.
    WriteBytes(fPath, { 0x89, 'P', 'N', 'G', 1, 2, 3 });
    EXPECT_FALSE(ReadPng(fPath).opened);
    EXPECT_FALSE(ReadPng(fFolder / "missing.png").opened);
}

// One PNG chunk: length, type, data, CRC.
void AppendChunk(ByteBuilder& file, const char* type, const std::vector<uint8_t>& data)
{
    std::vector<uint8_t> typed(type, type + 4);
    typed.insert(typed.end(), data.begin(), data.end());
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t byte : typed) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xFFFFFFFFu;
    const uint32_t length = uint32_t(data.size());
    file.U8(length >> 24).U8(length >> 16).U8(length >> 8).U8(length);
    file.Append(typed).U8(crc >> 24).U8(crc >> 16).U8(crc >> 8).U8(crc);
}

TEST_F(PngCodecTest, AHeaderLargerThanAnyImageIsRefusedAtOpen)
{
    // 100000 x 100000 pixels: allowed by the format, far beyond the largest image.
    ByteBuilder file;
    file.U8(0x89).Text("PNG").U8('\r').U8('\n').U8(0x1A).U8('\n');
    AppendChunk(file, "IHDR", { 0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0 });
    AppendChunk(file, "IDAT", { 0x78, 0x9C, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01 });
    AppendChunk(file, "IEND", {});
    WriteBytes(fPath, file.bytes);
    PngReadContext* context = nullptr;
    int width = 0, height = 0;
    bool hasAlpha = false;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(OpenPng(fPath.c_str(), &context, &width, &height, &hasAlpha));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("image too large"), std::string::npos);
}

TEST_F(PngCodecTest, RastersThatDoNotFitAreRefused)
{
    OwnedRaster raster = PatternRaster(4, 4, true);
    ASSERT_TRUE(WritePng(fPath.c_str(), raster.buffer));
    PngReadContext* context = nullptr;
    int width, height;
    bool hasAlpha;
    ASSERT_TRUE(OpenPng(fPath.c_str(), &context, &width, &height, &hasAlpha));
    OwnedRaster small(4, 3, 32);
    EXPECT_FALSE(ReadPngRows(context, small.buffer));
    ASSERT_TRUE(OpenPng(fPath.c_str(), &context, &width, &height, &hasAlpha));
    OwnedRaster rgb(4, 4, 24);
    EXPECT_FALSE(ReadPngRows(context, rgb.buffer));
    ASSERT_TRUE(OpenPng(fPath.c_str(), &context, &width, &height, &hasAlpha));
    ClosePng(context);

    EXPECT_FALSE(WritePng((fFolder / "out.png").c_str(), rgb.buffer));
    EXPECT_EQ(fFolder.Names().size(), 1u);
}

TEST_F(PngCodecTest, ImageMagickFilesReadTheSame)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    // 16-bit files lose their low byte here; ImageMagick rounds, so they may differ by one.
    struct Variant {
        const char* options;
        int tolerance;
    };
    const Variant variants[] = {
        { "-depth 16", 1 },
        { "-alpha set -channel A -fx 'i/w' +channel -depth 16", 1 },
        { "-type Palette PNG8:", 0 },
        { "-alpha set -channel A -fx 'j>3?0:1' +channel PNG8:", 0 }, // palette with tRNS
        { "-colorspace Gray -depth 4", 0 },
        { "-depth 8 -interlace PNG", 0 },
    };
    int n = 0;
    for (const Variant& variant : variants) {
        const char* options = variant.options;
        const std::string path = fFolder / ("im" + std::to_string(n++) + ".png");
        std::string command
            = convert + " -size 13x9 gradient:red-blue -fill lime -draw 'point 3,2' " + options;
        if (command.back() != ':')
            command += " ";
        CommandResult made = RunCommand(command + "'" + path + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        PngReadResult result = ReadPng(path);
        ASSERT_TRUE(result.read) << options;
        ExpectSameAsImageMagick(convert, path, result.raster.buffer, variant.tolerance);
        // Alpha too: ImageMagick lists it as the fourth value.
        CommandResult text = RunCommand(convert + " '" + path + "' -depth 8 txt:-");
        std::vector<Rgba> expected;
        ASSERT_TRUE(ParseImageMagickText(text.output, 13, 9, expected));
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 13; ++x)
                EXPECT_NEAR(result.At(x, y).a, expected[size_t(y * 13 + x)].a, variant.tolerance)
                    << options << " " << x << "," << y;
    }
}

TEST_F(PngCodecTest, ImageMagickReadsOurFilesWithAlpha)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    OwnedRaster raster = PatternRaster(6, 5, true);
    ASSERT_TRUE(WritePng(fPath.c_str(), raster.buffer));
    ExpectSameAsImageMagick(convert, fPath, raster.buffer);
    CommandResult text = RunCommand(convert + " '" + fPath + "' -depth 8 txt:-");
    std::vector<Rgba> expected;
    ASSERT_TRUE(ParseImageMagickText(text.output, 6, 5, expected)) << text.output;
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(expected[size_t(y * 6 + x)].a, PixelAt(raster.buffer, x, y).a);
}

} // namespace

namespace {

// Rendered frames written by the library's default settings (the goldens) come out of a
// read-and-write round trip as the very same pixels, alpha included, by ImageMagick's count.
TEST_F(PngCodecTest, RenderedFramesRewrittenKeepEveryPixel)
{
    REQUIRE_IMAGEMAGICK(compare, "compare");
    for (const char* name : { "layer_effects_1", "layer_effects_24", "blurred_shapes", "qv_graphics_scene_smooth" }) {
        const std::string original = std::string(CELVANE_TEST_DATA) + "/golden/" + name + ".png";
        PngReadResult read = ReadPng(original);
        ASSERT_TRUE(read.read) << name;
        const std::string rewritten = fFolder / (std::string(name) + ".png");
        ASSERT_TRUE(WritePng(rewritten.c_str(), read.raster.buffer)) << name;
        const CommandResult result
            = RunCommand(compare + " -metric AE '" + original + "' '" + rewritten + "' null:");
        EXPECT_EQ(result.output, "0") << name;
    }
}

} // namespace
