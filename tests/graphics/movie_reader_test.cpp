#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "image_file.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "movie_test_support.h"
#include "owned_raster.h"
#include "qv_baseimage.h"
#include "qv_avi_reader.h"
#include "qv_movie_reader.h"
#include "system_palette.h"

namespace {

constexpr int32_t kWidth = 160;
constexpr int32_t kHeight = 120;
constexpr int32_t kFrames = 30;

// One movie of 30 frames of the moving test picture per container, and the frames ffmpeg itself
// decodes from it (ref01.png is frame 0).
class MovieReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageFormatRegistry::Init();
        gQuickTimePresent = true;
    }

    // False (with a failure) when the movie or its reference frames cannot be made.
    bool MakeMovie(const std::string& name, const std::string& codec)
    {
        fMovie = fFolder / name;
        return Ffmpeg("-f lavfi -i testsrc=size=160x120:rate=25 -frames:v 30 " + codec + " '" + fMovie + "'")
            && Ffmpeg("-i '" + fMovie + "' -sws_flags bicubic+accurate_rnd+full_chroma_int -pix_fmt bgra '"
                + (fFolder / "ref%02d.png") + "'");
    }

    // Mean absolute difference per channel between the raster and ffmpeg's frame n.
    double DistanceToFrame(const QV_PixelBuffer& raster, int32_t n)
    {
        char name[32];
        std::snprintf(name, sizeof name, "ref%02d.png", int(n + 1));
        QV_BaseImage ref;
        if (LoadImageFile((fFolder / name).c_str(), ref, 0) != 0)
            return 1e9;
        double sum = 0;
        for (int32_t y = 0; y < kHeight; ++y) {
            const uint8_t* a = raster.pixels + int64_t(y) * raster.rowBytes;
            const uint8_t* b = ref.buffer.pixels + int64_t(y) * ref.buffer.rowBytes;
            for (int32_t i = 0; i < kWidth * 4; ++i)
                sum += std::abs(int(a[i]) - int(b[i]));
        }
        return sum / (kWidth * kHeight * 4.0);
    }

    ScratchFolder fFolder;
    std::string fMovie;
};

TEST_F(MovieReaderTest, NothingOpenReportsTheDefaultsAndReadsNothing)
{
    QV_MovieReader reader;
    EXPECT_FALSE(reader.Open((fFolder / "missing.avi").c_str()));
    EXPECT_FALSE(reader.Open(nullptr));
    EXPECT_EQ(reader.Width(), 8);
    EXPECT_EQ(reader.Height(), 8);
    EXPECT_FLOAT_EQ(reader.FrameRate(), 30.0f);
    EXPECT_EQ(reader.FrameCount(), 1);
    OwnedRaster raster(8, 8, 32);
    raster.Fill32(0x11223344);
    reader.GetFrame(raster.buffer, 0);
    EXPECT_EQ(raster.Get32(3, 3), 0x11223344u);
}

TEST_F(MovieReaderTest, NonMovieFilesAndGarbageDoNotOpen)
{
    REQUIRE_MEDIA_TOOLS();
    const std::string text = fFolder / "notes.txt";
    WriteBytes(text, { 'h', 'i' });
    const std::string garbage = fFolder / "broken.avi";
    WriteBytes(garbage, std::vector<uint8_t>(4096, 0x5A));
    QV_MovieReader reader;
    EXPECT_FALSE(reader.Open(text.c_str()));
    EXPECT_FALSE(reader.Open(garbage.c_str()));
    EXPECT_FALSE(reader.IsOpen());

    // A movie cut short reads what it holds; frames past the cut leave the raster alone.
    ASSERT_TRUE(MakeMovie("whole.avi", "-c:v mpeg4"));
    std::vector<uint8_t> bytes = ReadBytes(fMovie);
    bytes.resize(bytes.size() / 2);
    const std::string cut = fFolder / "cut.avi";
    WriteBytes(cut, bytes);
    if (reader.Open(cut.c_str())) {
        EXPECT_LT(reader.FrameCount(), kFrames);
        OwnedRaster raster(kWidth, kHeight, 32);
        for (int32_t n : { 0, reader.FrameCount() - 1, 29, 15, -5 })
            reader.GetFrame(raster.buffer, n);
    }
}

struct ContainerCase {
    const char* name;
    const char* codec;
    bool avi;
};

class MovieReaderContainers : public MovieReaderTest, public ::testing::WithParamInterface<ContainerCase> { };

// Forward reading decodes on; any other order seeks back to a key frame. Every frame must be the
// picture ffmpeg decodes for that number, whatever the path to it.
TEST_P(MovieReaderContainers, ExactCountAndTheRightPicturesForwardAndBackward)
{
    REQUIRE_MEDIA_TOOLS();
    ASSERT_TRUE(MakeMovie(GetParam().name, GetParam().codec));
    QV_MovieReader reader;
    ASSERT_TRUE(reader.Open(fMovie.c_str()));
    EXPECT_EQ(reader.fAvi != nullptr, GetParam().avi);
    EXPECT_EQ(reader.Width(), kWidth);
    EXPECT_EQ(reader.Height(), kHeight);
    EXPECT_FLOAT_EQ(reader.FrameRate(), 25.0f);
    EXPECT_EQ(reader.FrameCount(), kFrames);

    OwnedRaster raster(kWidth, kHeight, 32);
    for (int32_t n : { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 29, 28, 17, 3, 16, 0, 21 }) {
        raster.Fill32(0);
        reader.GetFrame(raster.buffer, n);
        // Neighbouring test pictures differ in a few places only: the right one matches exactly.
        EXPECT_LT(DistanceToFrame(raster.buffer, n), 0.05) << "frame " << n;
        EXPECT_GT(DistanceToFrame(raster.buffer, n == 0 ? 1 : n - 1), 0.2) << "frame " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, MovieReaderContainers,
    ::testing::Values(ContainerCase { "clip.avi", "-c:v mpeg4 -bf 2 -g 8", true },
        ContainerCase { "clip.mov", "-c:v mpeg4 -g 8", false },
        ContainerCase { "clip.mp4", "-c:v libx264 -pix_fmt yuv420p -bf 2 -g 10", false }),
    [](const auto& info) { return std::string(info.param.name).substr(5); });

TEST_F(MovieReaderTest, AviFrameNumbersWrapAndNegativeNumbersReadNothing)
{
    REQUIRE_MEDIA_TOOLS();
    ASSERT_TRUE(MakeMovie("clip.avi", "-c:v mpeg4"));
    QV_MovieReader reader;
    ASSERT_TRUE(reader.Open(fMovie.c_str()));
    ASSERT_TRUE(reader.fAvi);
    OwnedRaster raster(kWidth, kHeight, 32);
    reader.GetFrame(raster.buffer, kFrames + 2);
    EXPECT_LT(DistanceToFrame(raster.buffer, 2), 0.05);
    EXPECT_EQ(reader.fAvi->fCurrentFrame, 2);

    raster.Fill32(0x01020304);
    reader.GetFrame(raster.buffer, -1);
    EXPECT_EQ(raster.Get32(0, 0), 0x01020304u);
    EXPECT_EQ(raster.Get32(kWidth - 1, kHeight - 1), 0x01020304u);
}

// 16-bit targets get dithered 5:6:5 and 8-bit ones palette indices near the picture's colours;
// 24-bit targets are left alone.
TEST_F(MovieReaderTest, FramesConvertToTheTargetsPixelSize)
{
    REQUIRE_MEDIA_TOOLS();
    ASSERT_TRUE(MakeMovie("clip.mov", "-c:v mpeg4 -q:v 2"));
    QV_MovieReader reader;
    ASSERT_TRUE(reader.Open(fMovie.c_str()));
    OwnedRaster full(kWidth, kHeight, 32);
    reader.GetFrame(full.buffer, 4);

    OwnedRaster wide(kWidth, kHeight, 16);
    reader.GetFrame(wide.buffer, 4);
    OwnedRaster indexed(kWidth, kHeight, 8);
    reader.GetFrame(indexed.buffer, 4);
    const SystemPalette& palette = EnsureSystemPalette();
    double error16 = 0;
    double error8 = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const uint8_t* p = full.At(x, y);
            const uint16_t v = wide.Get16(x, y);
            error16 += std::abs(int((v >> 11) & 31) * 255 / 31 - p[2]) + std::abs(int((v >> 5) & 63) * 255 / 63 - p[1])
                + std::abs(int(v & 31) * 255 / 31 - p[0]);
            const uint32_t c = palette.fColors[*indexed.At(x, y)];
            error8 += std::abs(int((c >> 16) & 255) - p[2]) + std::abs(int((c >> 8) & 255) - p[1])
                + std::abs(int(c & 255) - p[0]);
        }
    }
    EXPECT_LT(error16 / (kWidth * kHeight * 3.0), 6.0);
    EXPECT_LT(error8 / (kWidth * kHeight * 3.0), 40.0);

    OwnedRaster packed(kWidth, kHeight, 24);
    std::memset(packed.bytes.data(), 0x77, packed.bytes.size());
    reader.GetFrame(packed.buffer, 4);
    EXPECT_EQ(*packed.At(10, 10), 0x77);
}

// A movie whose only video packets are missing still has one frame to reduce by.
TEST_F(MovieReaderTest, AMovieWithoutFramesCountsOne)
{
    REQUIRE_MEDIA_TOOLS();
    ASSERT_TRUE(MakeMovie("clip.avi", "-c:v mpeg4"));
    const std::string empty = fFolder / "empty.avi";
    ASSERT_TRUE(Ffmpeg("-i '" + fMovie + "' -c copy -frames:v 0 '" + empty + "'"));
    QV_MovieReader reader;
    if (!reader.Open(empty.c_str()))
        GTEST_SKIP() << "ffmpeg wrote no stream for an empty movie";
    EXPECT_EQ(reader.FrameCount(), 1);
    OwnedRaster raster(kWidth, kHeight, 32);
    raster.Fill32(0x0A0B0C0D);
    reader.GetFrame(raster.buffer, 5);
    EXPECT_EQ(raster.Get32(1, 1), 0x0A0B0C0Du);
}

} // namespace

namespace {

// The utility reports the movie and writes the frames asked in their order, numbered by place.
TEST_F(MovieReaderTest, MovieFramesUtilityWritesTheFramesAsked)
{
    REQUIRE_MEDIA_TOOLS();
    ASSERT_TRUE(MakeMovie("clip.mov", "-c:v mpeg4 -g 8"));
    const std::string out = fFolder / "shot.png";
    const CommandResult r
        = RunCommand(std::string(CELVANE_MOVIE_FRAMES) + " '" + fMovie + "' '" + out + "' 12 3 12");
    ASSERT_EQ(WEXITSTATUS(r.status), 0) << r.output;
    EXPECT_EQ(r.output, "size 160 x 120\nframe rate 25\nframes 30\n");
    const int32_t asked[] = { 12, 3, 12 };
    for (int32_t i = 0; i < 3; ++i) {
        QV_BaseImage frame;
        ASSERT_EQ(LoadImageFile((fFolder / ("shot000" + std::to_string(i + 1) + ".png")).c_str(), frame, 0), 0);
        EXPECT_LT(DistanceToFrame(frame.buffer, asked[i]), 0.05) << i;
    }
    const CommandResult missing
        = RunCommand(std::string(CELVANE_MOVIE_FRAMES) + " '" + (fFolder / "none.mov") + "' '" + out + "' 0");
    EXPECT_EQ(WEXITSTATUS(missing.status), 1);
}

} // namespace
