// Every image reader is fed truncated and damaged copies of good files. Under the sanitizers of
// the test build, a reader must fail cleanly or succeed: no crash, no bad access, no leak.

#include "image_file.h"
#include "image_format_registry.h"
#include "image_test_support.h"

namespace {

struct Fixture {
    std::string name; // the extension picks the reader
    std::vector<uint8_t> bytes;
};

void AddWritten(std::vector<Fixture>& fixtures, const ScratchFolder& folder, int32_t writer, int32_t width,
    int32_t height)
{
    QV_BaseImage image;
    ASSERT_EQ(image.Allocate(width, height, 32), 0);
    OwnedRaster pattern = PatternRaster(width, height, true);
    for (int32_t y = 0; y < height; ++y)
        memcpy(image.buffer.pixels + y * image.buffer.rowBytes, pattern.Row(y), size_t(width) * 4);
    const std::string name
        = std::string("ours-") + std::to_string(width) + "." + ImageFormatRegistry::WriterExtension(writer);
    ASSERT_EQ(SaveImageFile(image, (folder / name).c_str(), writer), 0);
    fixtures.push_back({ name, ReadBytes(folder / name) });
}

std::vector<Fixture> MakeFixtures(const ScratchFolder& folder)
{
    std::vector<Fixture> fixtures;
    for (int32_t writer = 0; writer < 4; ++writer)
        AddWritten(fixtures, folder, writer, 11, 7);
    AddWritten(fixtures, folder, PngWriterIndex, 40, 30);

    // An interlaced GIF with a local colour table and an extension, LZW codes as literals.
    ByteBuilder gif;
    gif.Text("GIF89a").Le16(6).Le16(9).U8(0).U8(0).U8(0);
    gif.Text("!").U8(0xF9).U8(4).Fill(4, 0).U8(0);
    gif.Text(",").Le16(0).Le16(0).Le16(6).Le16(9).U8(0x80 | 0x40 | 3);
    for (int i = 0; i < 16; ++i)
        gif.U8(uint32_t(i * 16)).U8(uint32_t(255 - i * 16)).U8(uint32_t(i * 7));
    gif.U8(4);
    std::vector<uint8_t> data;
    uint32_t accumulator = 0;
    int bits = 0, inGroup = 14;
    auto put = [&](int code) {
        accumulator |= uint32_t(code) << bits;
        for (bits += 5; bits >= 8; bits -= 8, accumulator >>= 8)
            data.push_back(uint8_t(accumulator));
    };
    for (int i = 0; i < 54; ++i) {
        if (inGroup == 14) {
            put(16);
            inGroup = 0;
        }
        put(i % 16);
        inGroup++;
    }
    put(17);
    if (bits > 0)
        data.push_back(uint8_t(accumulator));
    gif.U8(uint32_t(data.size())).Append(data).U8(0).Text(";");
    fixtures.push_back({ "hand.gif", gif.bytes });

    const std::string convert = ImageMagickTool("convert");
    if (!convert.empty()) {
        const char* const made[][2] = {
            { "-type TrueColor BMP2:", "os2.bmp" },
            { "-type Palette -compress None BMP3:", "pal.bmp" },
            { "-interlace GIF ", "inter.gif" },
            { "", "plain.gif" },
            { "-compress RLE ", "rle.tga" },
            { "-type Palette -compress RLE ", "rlepal.tga" },
            { "-colorspace Gray ", "grey.tga" },
            { "-depth 16 ", "deep.png" },
            { "PNG8:", "pal.png" },
            { "-colorspace Gray -depth 2 ", "grey2.png" },
            { "-interlace Plane ", "prog.jpg" },
            { "-colorspace CMYK ", "cmyk.jpg" },
        };
        for (const auto& m : made) {
            const std::string path = folder / m[1];
            CommandResult result
                = RunCommand(convert + " -size 19x13 gradient:red-blue -fill lime -draw 'rectangle 2,2 9,5' "
                    + m[0] + "'" + path + "'");
            EXPECT_EQ(result.status, 0) << result.output;
            fixtures.push_back({ m[1], ReadBytes(path) });
        }
    }
    return fixtures;
}

class ImageReaderRobustnessTest : public testing::Test {
protected:
    void SetUp() override { ImageFormatRegistry::Init(); }
    void TearDown() override { ImageFormatRegistry::Free(); }

    // Loads the bytes as the named file; only the documented results may come back.
    void Load(const Fixture& fixture, const std::vector<uint8_t>& bytes, const std::string& what)
    {
        const std::string path = fFolder / ("damaged-" + fixture.name);
        WriteBytes(path, bytes);
        // Every third copy also goes through the shrink.
        const int32_t maxSize = (fLoads++ % 3 == 0) ? 5 : 0;
        {
            QV_BaseImage image;
            const int32_t result = LoadImageFile(path.c_str(), image, maxSize);
            EXPECT_TRUE(result == 0 || result == kImageFileCannotOpen || result == kImageFileDecodeFailed
                || result == QV_RESULT_NO_MEMORY)
                << fixture.name << " " << what << ": " << result;
            if (result == 0) {
                EXPECT_GT(image.Width(), 0);
                EXPECT_GT(image.Height(), 0);
            }
        }
    }

    ScratchFolder fFolder;
    int fLoads = 0;
};

TEST_F(ImageReaderRobustnessTest, TruncatedAndDamagedFilesFailCleanly)
{
    const std::vector<Fixture> fixtures = MakeFixtures(fFolder);
    uint32_t seed = 2024;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    testing::internal::CaptureStderr(); // the libraries complain about every damaged file
    for (const Fixture& fixture : fixtures) {
        ASSERT_FALSE(fixture.bytes.empty()) << fixture.name;
        Load(fixture, fixture.bytes, "whole");
        const size_t size = fixture.bytes.size();

        // Every cut inside the first 60 bytes, then cuts spread over the rest.
        for (size_t length = 0; length < size; length += (length < 60 ? 1 : std::max<size_t>(1, size / 30)))
            Load(fixture,
                std::vector<uint8_t>(fixture.bytes.begin(), fixture.bytes.begin() + ptrdiff_t(length)),
                "cut at " + std::to_string(length));

        // Single bytes set to extremes in the headers, then random damage anywhere.
        for (size_t at = 0; at < std::min<size_t>(size, 48); ++at)
            for (uint8_t value : { 0x00, 0xFF, 0x80 }) {
                std::vector<uint8_t> damaged = fixture.bytes;
                damaged[at] = value;
                Load(fixture, damaged, "byte " + std::to_string(at) + " = " + std::to_string(value));
            }
        for (int trial = 0; trial < 100; ++trial) {
            std::vector<uint8_t> damaged = fixture.bytes;
            const int flips = 1 + int(next() % 4);
            for (int f = 0; f < flips; ++f)
                damaged[next() % size] ^= uint8_t(1 + next() % 255);
            Load(fixture, damaged, "random damage " + std::to_string(trial));
        }
    }
    testing::internal::GetCapturedStderr();
}

} // namespace
