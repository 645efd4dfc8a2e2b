#include "jpeg_codec.h"

#include <cstdio>

#include <jpeglib.h>

#include "image_test_support.h"

namespace {

// A JPEG written straight through the library, for colour spaces our writer does not produce.
void WriteRawJpeg(const std::string& path, int width, int height, int components, J_COLOR_SPACE space,
    const std::vector<uint8_t>& pixel)
{
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    jpeg_compress_struct codec;
    jpeg_error_mgr error;
    codec.err = jpeg_std_error(&error);
    jpeg_create_compress(&codec);
    jpeg_stdio_dest(&codec, file);
    codec.image_width = JDIMENSION(width);
    codec.image_height = JDIMENSION(height);
    codec.input_components = components;
    codec.in_color_space = space;
    jpeg_set_defaults(&codec);
    jpeg_set_quality(&codec, 100, TRUE);
    jpeg_start_compress(&codec, TRUE);
    std::vector<uint8_t> row;
    for (int x = 0; x < width; ++x)
        row.insert(row.end(), pixel.begin(), pixel.end());
    for (int y = 0; y < height; ++y) {
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&codec, rows, 1);
    }
    jpeg_finish_compress(&codec);
    jpeg_destroy_compress(&codec);
    fclose(file);
}

struct JpegReadResult {
    bool opened = false;
    bool read = false;
    int width = 0, height = 0;
    OwnedRaster raster { 1, 1, 32 };
    Rgba At(int32_t x, int32_t y) const { return PixelAt(raster.buffer, x, y); }
};

JpegReadResult ReadJpeg(const std::string& path, int maxSize = 0)
{
    JpegReadResult result;
    ImageSourceContext* context = nullptr;
    bool hasAlpha = true;
    result.opened = OpenJpeg(path.c_str(), maxSize, &context, &result.width, &result.height, &hasAlpha);
    if (result.opened) {
        EXPECT_FALSE(hasAlpha);
        result.raster = OwnedRaster(result.width, result.height, 32);
        result.read = ReadJpegRows(context, result.raster.buffer);
    }
    return result;
}

class JpegCodecTest : public testing::Test {
protected:
    ScratchFolder fFolder;
};

TEST_F(JpegCodecTest, LargeImagesDecodeAtTheLargestReductionThatStillCoversTheMaximum)
{
    OwnedRaster raster = PatternRaster(3000, 1000, false);
    const std::string path = fFolder / "wide.jpg";
    ASSERT_TRUE(WriteJpeg(path.c_str(), raster.buffer, 80));
    struct Case {
        int maxSize, width, height;
    };
    const Case cases[] = { { 1000, 1500, 500 }, { 400, 750, 250 }, { 300, 375, 125 }, { 100, 375, 125 },
        { 1500, 1500, 500 }, { 1501, 3000, 1000 }, { 3000, 3000, 1000 }, { 0, 3000, 1000 } };
    for (const Case& c : cases) {
        ImageSourceContext* context = nullptr;
        int width = 0, height = 0;
        bool hasAlpha = true;
        ASSERT_TRUE(OpenJpeg(path.c_str(), c.maxSize, &context, &width, &height, &hasAlpha)) << c.maxSize;
        EXPECT_EQ(width, c.width) << c.maxSize;
        EXPECT_EQ(height, c.height) << c.maxSize;
        CloseSource(context);
    }
}

TEST_F(JpegCodecTest, ColourRoundTripStaysClose)
{
    OwnedRaster raster(16, 16, 32);
    raster.Fill32(Pixel32(255, 200, 100, 50));
    const std::string path = fFolder / "flat.jpg";
    ASSERT_TRUE(WriteJpeg(path.c_str(), raster.buffer, 95));
    JpegReadResult result = ReadJpeg(path);
    ASSERT_TRUE(result.read);
    const Rgba got = result.At(7, 7);
    EXPECT_NEAR(got.r, 200, 2);
    EXPECT_NEAR(got.g, 100, 2);
    EXPECT_NEAR(got.b, 50, 2);
    EXPECT_EQ(got.a, 0); // the reader writes alpha 0; plug-in 0 makes it opaque
}

TEST_F(JpegCodecTest, GreyAndCmykFilesBecomeRgb)
{
    const std::string grey = fFolder / "grey.jpg";
    WriteRawJpeg(grey, 8, 8, 1, JCS_GRAYSCALE, { 77 });
    JpegReadResult result = ReadJpeg(grey);
    ASSERT_TRUE(result.read);
    EXPECT_EQ(result.At(3, 3), (Rgba { 77, 77, 77, 0 }));

    // Stored CMYK samples c, m, y, k; red = k x 1.17 x c / 255 and so on.
    const std::string cmyk = fFolder / "cmyk.jpg";
    WriteRawJpeg(cmyk, 8, 8, 4, JCS_CMYK, { 200, 100, 50, 255 });
    result = ReadJpeg(cmyk);
    ASSERT_TRUE(result.read);
    EXPECT_NEAR(result.At(3, 3).r, 234, 2);
    EXPECT_NEAR(result.At(3, 3).g, 93, 2);
    EXPECT_NEAR(result.At(3, 3).b, 46, 2);
}

TEST_F(JpegCodecTest, BadFilesFailCleanly)
{
    ImageSourceContext* context = nullptr;
    int width, height;
    bool hasAlpha;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(OpenJpeg((fFolder / "missing.jpg").c_str(), 0, &context, &width, &height, &hasAlpha));
    const std::string notJpeg = fFolder / "not.jpg";
    WriteBytes(notJpeg, { 'B', 'M', 1, 2, 3 });
    EXPECT_FALSE(OpenJpeg(notJpeg.c_str(), 0, &context, &width, &height, &hasAlpha));
    // A header that promises more than any image may hold.
    OwnedRaster raster = PatternRaster(64, 64, false);
    const std::string big = fFolder / "big.jpg";
    ASSERT_TRUE(WriteJpeg(big.c_str(), raster.buffer, 50));
    std::vector<uint8_t> bytes = ReadBytes(big);
    for (size_t i = 0; i + 8 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) { // start of frame: height and width follow
            bytes[i + 5] = 0xFF, bytes[i + 6] = 0xDC, bytes[i + 7] = 0xFF, bytes[i + 8] = 0xDC;
            break;
        }
    WriteBytes(big, bytes);
    EXPECT_FALSE(OpenJpeg(big.c_str(), 0, &context, &width, &height, &hasAlpha));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Bogus message code 1040"), std::string::npos);
}

TEST_F(JpegCodecTest, LibraryErrorsWhileWritingFailTheWriteInsteadOfEndingTheProcess)
{
    const std::string path = fFolder / "out.jpg";
    OwnedRaster wide(70000, 1, 32); // beyond the format's 65500
    testing::internal::CaptureStderr();
    EXPECT_FALSE(WriteJpeg(path.c_str(), wide.buffer, 90));
    EXPECT_NE(
        testing::internal::GetCapturedStderr().find("Maximum supported image dimension"), std::string::npos);
    EXPECT_TRUE(fFolder.Names().empty());
    OwnedRaster rgb(4, 4, 24);
    EXPECT_FALSE(WriteJpeg(path.c_str(), rgb.buffer, 90));
}

TEST_F(JpegCodecTest, ImageMagickDecodesOurFilesAlike)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    OwnedRaster raster(33, 17, 32); // smooth, so the lossy round trip stays close
    for (int32_t y = 0; y < 17; ++y)
        for (int32_t x = 0; x < 33; ++x)
            raster.Set32(x, y, Pixel32(255, uint32_t(x * 7), uint32_t(y * 15), 128));
    const std::string path = fFolder / "ours.jpg";
    ASSERT_TRUE(WriteJpeg(path.c_str(), raster.buffer, 95));
    JpegReadResult result = ReadJpeg(path);
    ASSERT_TRUE(result.read);
    ExpectSameAsImageMagick(convert, path, result.raster.buffer, 3);
    // And what both decode is close to what was written.
    int worst = 0;
    for (int32_t y = 0; y < 17; ++y)
        for (int32_t x = 0; x < 33; ++x) {
            const Rgba a = result.At(x, y), b = PixelAt(raster.buffer, x, y);
            worst = std::max({ worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b) });
        }
    EXPECT_LT(worst, 12);
}

TEST_F(JpegCodecTest, ImageMagickFilesReadTheSame)
{
    REQUIRE_IMAGEMAGICK(convert, "convert");
    const char* const variants[] = { "-quality 90", "-colorspace Gray", "-interlace Plane" };
    int n = 0;
    for (const char* options : variants) {
        const std::string path = fFolder / ("im" + std::to_string(n++) + ".jpg");
        CommandResult made
            = RunCommand(convert + " -size 40x24 gradient:red-blue " + options + " '" + path + "'");
        ASSERT_EQ(made.status, 0) << made.output;
        JpegReadResult result = ReadJpeg(path);
        ASSERT_TRUE(result.read) << options;
        ExpectSameAsImageMagick(convert, path, result.raster.buffer, 3);
    }
}

} // namespace
