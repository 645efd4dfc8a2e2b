#include "image_file.h"

#include <csignal>
#include <sys/resource.h>

#include "image_format_registry.h"
#include "image_test_support.h"
#include "qv_psdwriter.h"

namespace {

// A 32-bit image with the given pixels (alpha << 24 | red << 16 | green << 8 | blue), row by row.
void FillImage(QV_BaseImage& image, int32_t width, int32_t height, const std::vector<uint32_t>& pixels)
{
    ASSERT_EQ(image.Allocate(width, height, 32), 0);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = pixels[size_t(y * width + x)];
            uint8_t* p = image.buffer.pixels + y * image.buffer.rowBytes + x * 4;
            p[0] = uint8_t(v), p[1] = uint8_t(v >> 8), p[2] = uint8_t(v >> 16), p[3] = uint8_t(v >> 24);
        }
}

void FillNoise(QV_BaseImage& image, int32_t width, int32_t height)
{
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    uint32_t seed = 7;
    for (auto& p : pixels) {
        seed = seed * 1664525u + 1013904223u;
        p = seed;
    }
    FillImage(image, width, height, pixels);
}

class ImageFileTest : public testing::Test {
protected:
    void SetUp() override { ImageFormatRegistry::Init(); }
    void TearDown() override { ImageFormatRegistry::Free(); }
    ScratchFolder fFolder;
};

TEST_F(ImageFileTest, RegistryListsTheCompiledInWriters)
{
    ImageFormatRegistry::Init(); // a second registration replaces the first
    EXPECT_EQ(ImageFormatRegistry::fPluginCount, 2);
    EXPECT_EQ(ImageFormatRegistry::CountWriters(), 4);
    const char* names[] = { "JPEG", "BMP", "Targa", "PNG" };
    const char* extensions[] = { "jpg", "bmp", "tga", "png" };
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(ImageFormatRegistry::WriterName(i), names[i]);
        EXPECT_STREQ(ImageFormatRegistry::WriterExtension(i), extensions[i]);
    }
    EXPECT_STREQ(ImageFormatRegistry::WriterName(4), "");
    EXPECT_STREQ(ImageFormatRegistry::WriterName(-1), "");
    EXPECT_STREQ(ImageFormatRegistry::WriterExtension(4), "");
    EXPECT_EQ(JpegWriterIndex, 0);
    EXPECT_EQ(BmpWriterIndex, 1);
    EXPECT_EQ(TargaWriterIndex, 2);
    EXPECT_EQ(PngWriterIndex, 3);
    EXPECT_EQ(PsdFormatIndex, 4096);
    EXPECT_STREQ(ImageOpenFilter.CString(), "*.jpg;*.bmp;*.gif;*.tga;*.png;*.jpeg");
    EXPECT_STREQ(ImageFormatRegistry::fPlugins[0].fReaderMimeTypes[3], "image/x-targa");

    ImageFormatRegistry::Free();
    EXPECT_EQ(ImageFormatRegistry::CountWriters(), 0);
    QV_BaseImage image;
    EXPECT_EQ(LoadImageFile((fFolder / "x.png").c_str(), image, 0), kImageFileNoCodec);
}

TEST_F(ImageFileTest, ReaderIsChosenByTheLowerCasedExtension)
{
    QV_BaseImage image;
    FillImage(image, 2, 2, { 0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0 });
    ASSERT_EQ(SaveImageFile(image, (fFolder / "photo.JPEG").c_str(), JpegWriterIndex), 0);
    QV_BaseImage loaded;
    EXPECT_EQ(LoadImageFile((fFolder / "photo.JPEG").c_str(), loaded, 0), 0);
    EXPECT_EQ(loaded.Width(), 2);
    EXPECT_EQ(PixelAt(loaded.buffer, 0, 0).a, 255);

    ASSERT_EQ(rename((fFolder / "photo.JPEG").c_str(), (fFolder / "photo.jpe").c_str()), 0);
    EXPECT_EQ(LoadImageFile((fFolder / "photo.jpe").c_str(), loaded, 0), kImageFileNoCodec);
    EXPECT_EQ(LoadImageFile((fFolder / "notes.txt").c_str(), loaded, 0), kImageFileNoCodec);
    EXPECT_EQ(LoadImageFile(nullptr, loaded, 0), kImageFileNoCodec);
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadImageFile((fFolder / "missing.png").c_str(), loaded, 0), kImageFileCannotOpen);
    WriteBytes(fFolder / "text.gif", { 'h', 'e', 'l', 'l', 'o' });
    EXPECT_EQ(LoadImageFile((fFolder / "text.gif").c_str(), loaded, 0), kImageFileCannotOpen);
    testing::internal::GetCapturedStderr();
}

TEST_F(ImageFileTest, TruncatedPngFailsWithDecodeError)
{
    QV_BaseImage image;
    FillNoise(image, 64, 64);
    const std::string path = fFolder / "cut.png";
    ASSERT_EQ(SaveImageFile(image, path.c_str(), PngWriterIndex), 0);
    std::vector<uint8_t> bytes = ReadBytes(path);
    bytes.resize(bytes.size() / 2);
    WriteBytes(path, bytes);
    QV_BaseImage loaded;
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadImageFile(path.c_str(), loaded, 0), kImageFileDecodeFailed);
    testing::internal::GetCapturedStderr();
}

TEST_F(ImageFileTest, TransparentPixelsTakeTheMeanColourOfTheirVisibleNeighbours)
{
    struct Case {
        std::vector<uint32_t> pixels;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        { { 0xFF0A141E, 0x00636363, 0xFF14283C }, { 0xFF0A141E, 0x000F1E2D, 0xFF14283C } },
        // Halves round up: (10 + 21) / 2 = 15.5 gives 16.
        { { 0xFF0A141E, 0x00000000, 0xFF15293D }, { 0xFF0A141E, 0x00101F2E, 0xFF15293D } },
        // A bled pixel stays transparent and never feeds the next one.
        { { 0xFF0A141E, 0x00000000, 0x00050505 }, { 0xFF0A141E, 0x000A141E, 0x00050505 } },
    };
    for (const Case& c : cases) {
        QV_BaseImage image;
        FillImage(image, 3, 1, c.pixels);
        const std::string path = fFolder / "bleed.png";
        ASSERT_EQ(SaveImageFile(image, path.c_str(), PngWriterIndex), 0);
        QV_BaseImage loaded;
        ASSERT_EQ(LoadImageFile(path.c_str(), loaded, 0), 0);
        for (int x = 0; x < 3; ++x) {
            uint32_t v;
            memcpy(&v, loaded.buffer.pixels + x * 4, 4);
            EXPECT_EQ(v, c.expected[size_t(x)]) << std::hex << "pixel " << x;
        }
    }
}

TEST_F(ImageFileTest, LargeImagesShrinkToTheMaximumKeepingTheirAspect)
{
    struct Case {
        int32_t width, height, maxSize, newWidth, newHeight;
    };
    const Case cases[] = { { 400, 100, 200, 200, 50 }, { 400, 100, 0, 400, 100 }, { 100, 400, 200, 50, 200 },
        { 3, 900, 10, 1, 10 }, { 150, 100, 200, 150, 100 } };
    for (const Case& c : cases) {
        QV_BaseImage image;
        std::vector<uint32_t> pixels(size_t(c.width * c.height), 0xFF336699);
        FillImage(image, c.width, c.height, pixels);
        const std::string path = fFolder / "big.png";
        ASSERT_EQ(SaveImageFile(image, path.c_str(), PngWriterIndex), 0);
        QV_BaseImage loaded;
        ASSERT_EQ(LoadImageFile(path.c_str(), loaded, c.maxSize), 0);
        EXPECT_EQ(loaded.Width(), c.newWidth) << c.width << "x" << c.height << " max " << c.maxSize;
        EXPECT_EQ(loaded.Height(), c.newHeight) << c.width << "x" << c.height << " max " << c.maxSize;
        // The scaler mixes through truncating tables: a flat colour may come out one lower.
        const Rgba centre = PixelAt(loaded.buffer, loaded.Width() / 2, loaded.Height() / 2);
        EXPECT_NEAR(centre.r, 0x33, 1);
        EXPECT_NEAR(centre.g, 0x66, 1);
        EXPECT_NEAR(centre.b, 0x99, 1);
        EXPECT_EQ(centre.a, 255);
    }

    // A JPEG is first decoded at 1/2 and then shrunk the rest of the way.
    QV_BaseImage wide;
    std::vector<uint32_t> pixels(3000 * 1000, 0xFF808080);
    FillImage(wide, 3000, 1000, pixels);
    ASSERT_EQ(SaveImageFile(wide, (fFolder / "wide.jpg").c_str(), JpegWriterIndex), 0);
    QV_BaseImage loaded;
    ASSERT_EQ(LoadImageFile((fFolder / "wide.jpg").c_str(), loaded, 1000), 0);
    EXPECT_EQ(loaded.Width(), 1000);
    EXPECT_EQ(loaded.Height(), 333);
}

TEST_F(ImageFileTest, PluginZeroFilesAreAlwaysOpaque)
{
    QV_BaseImage image;
    FillImage(image, 2, 1, { 0x10FF0000, 0x8000FF00 });
    for (int32_t writer : { BmpWriterIndex, TargaWriterIndex }) {
        const std::string path
            = fFolder / (std::string("alpha.") + ImageFormatRegistry::WriterExtension(writer));
        ASSERT_EQ(SaveImageFile(image, path.c_str(), writer), 0);
        QV_BaseImage loaded;
        ASSERT_EQ(LoadImageFile(path.c_str(), loaded, 0), 0) << path;
        EXPECT_EQ(PixelAt(loaded.buffer, 0, 0), (Rgba { 255, 0, 0, 255 })) << path;
        EXPECT_EQ(PixelAt(loaded.buffer, 1, 0), (Rgba { 0, 255, 0, 255 })) << path;
    }
}

TEST_F(ImageFileTest, SaveChoosesTheWriterByGlobalIndex)
{
    QV_BaseImage image;
    FillImage(image, 3, 2, std::vector<uint32_t>(6, 0xFF010203));
    const std::string path = fFolder / "out.img";
    ASSERT_EQ(SaveImageFile(image, path.c_str(), 1), 0);
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 78u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(SaveImageFile(image, path.c_str(), 4), kImageFileNoCodec);
    EXPECT_EQ(SaveImageFile(image, path.c_str(), -1), kImageFileNoCodec);
    EXPECT_EQ(
        SaveImageFile(image, (fFolder / "missing/out.png").c_str(), PngWriterIndex), kImageFileWriteFailed);

    QV_BaseImage rgb;
    ASSERT_EQ(rgb.Allocate(3, 2, 24), 0);
    for (int32_t writer = 0; writer < 4; ++writer)
        EXPECT_EQ(SaveImageFile(rgb, path.c_str(), writer), kImageFileWriteFailed) << writer;
    EXPECT_EQ(ReadBytes(path), bytes); // every failed write left the file alone
    EXPECT_EQ(fFolder.Names(), std::vector<std::string> { "out.img" });
}

// Lowers this process's file size limit for the life of the object, so that writes fail as on a
// full disk (EFBIG instead of the SIGXFSZ signal).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        fOldHandler = signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &fOld);
        rlimit limit = fOld;
        limit.rlim_cur = bytes;
        fActive = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &fOld);
        signal(SIGXFSZ, fOldHandler);
    }
    bool Active() const { return fActive; }

private:
    rlimit fOld {};
    bool fActive = false;
    void (*fOldHandler)(int) = nullptr;
};

TEST_F(ImageFileTest, WriteErrorsFailTheSaveAndKeepTheOldFile)
{
    QV_BaseImage image;
    FillNoise(image, 200, 200);
    const std::string path = fFolder / "target";
    for (int32_t writer = 0; writer < 4; ++writer) {
        WriteBytes(path, { 'o', 'l', 'd' });
        testing::internal::CaptureStderr();
        int32_t result;
        {
            FileSizeLimit limit(4096);
            ASSERT_TRUE(limit.Active());
            result = SaveImageFile(image, path.c_str(), writer);
        }
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, kImageFileWriteFailed) << ImageFormatRegistry::WriterName(writer);
        EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t> { 'o', 'l', 'd' }))
            << ImageFormatRegistry::WriterName(writer);
        EXPECT_EQ(fFolder.Names(), std::vector<std::string> { "target" })
            << ImageFormatRegistry::WriterName(writer);
        // Without the limit the same save works.
        EXPECT_EQ(SaveImageFile(image, path.c_str(), writer), 0) << ImageFormatRegistry::WriterName(writer);
    }

    WriteBytes(path, { 'o', 'l', 'd' });
    int32_t finished;
    {
        FileSizeLimit limit(4096);
        QV_PSDWriter writer;
        ASSERT_EQ(writer.Open(path.c_str()), 0);
        writer.WriteHeader(200, 200);
        writer.AddLayer("noise", "norm", 255);
        writer.WriteLayerImage(image.buffer);
        finished = writer.Finish();
    }
    EXPECT_EQ(finished, -7);
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t> { 'o', 'l', 'd' }));
    EXPECT_EQ(fFolder.Names(), std::vector<std::string> { "target" });
}

} // namespace
