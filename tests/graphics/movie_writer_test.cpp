#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "codec_dialog_hook.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "movie_test_support.h"
#include "owned_raster.h"
#include "qv_avi_writer.h"
#include "qv_message.h"
#include "qv_movie_reader.h"
#include "qv_movie_writer.h"
#include "qv_qt_movie_writer.h"

namespace {

// Every test starts with no codec chosen and no settings record, as a fresh process does.
class MovieWriterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gQuickTimePresent = true;
        gAviOptions = AviCompression();
        gAviOptionsValid = false;
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = nullptr;
    }
    void TearDown() override
    {
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = nullptr;
        SetCodecDialogHook(nullptr);
    }

    // Writes `count` frames of a picture that changes with the frame number; Close's answer.
    static bool WriteMovie(QV_MovieWriter& writer, OwnedRaster& frame, int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            for (int32_t y = 0; y < frame.buffer.height; ++y)
                for (int32_t x = 0; x < frame.buffer.width; ++x)
                    frame.Set32(x, y, Pixel32(255, uint32_t(x * 4 + i * 9) & 255, uint32_t(y * 5) & 255, 90));
            const bool written = writer.fAvi ? writer.fAvi->WriteFrame(frame.buffer) : writer.fQt->WriteFrame(frame.buffer);
            if (!written)
                return false;
        }
        return writer.Close();
    }

    // A sine tone of the seconds, rate and channels.
    std::string MakeSound(const std::string& name, double seconds, int rate, int channels, const char* extra = "")
    {
        const std::string path = fFolder / name;
        Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=" + std::to_string(rate) + ":duration="
            + std::to_string(seconds) + " -ac " + std::to_string(channels) + " " + extra + " '" + path + "'");
        return path;
    }

    ScratchFolder fFolder;
};

TEST_F(MovieWriterTest, ExtensionsOfTheKinds)
{
    EXPECT_EQ(MovieFileExtension(0), "avi");
    EXPECT_EQ(MovieFileExtension(1), "mov");
    EXPECT_EQ(MovieFileExtension(2), "");
    EXPECT_EQ(MovieFileExtension(-1), "");
}

// What the stand-in codec dialog was asked, and what it answers: OK stores its choice
// (Motion JPEG for AVI, PNG for MOV), Cancel changes nothing.
struct DialogCall {
    int32_t kind = -1;
    void* parent = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};
std::vector<DialogCall> gDialogCalls;
bool gDialogConfirms = true;

bool StandInDialog(int32_t kind, void* parent, int32_t width, int32_t height)
{
    gDialogCalls.push_back({ kind, parent, width, height });
    if (!gDialogConfirms)
        return false;
    if (kind == kMovieKindAvi) {
        gAviOptions = AviCompression();
        gAviOptions.fEncoder = "mjpeg";
        gAviOptionsValid = true;
    } else {
        delete gQtSettings;
        gQtSettings = new QtCompression { FourCharCode("png "), 24, 512 };
    }
    return true;
}

// Without a dialog installed nothing can be chosen; with one, choosing answers what the user did.
TEST_F(MovieWriterTest, ChoosingACodecGoesThroughTheInstalledDialog)
{
    for (int32_t kind : { 0, 1, 5 })
        EXPECT_FALSE(QV_MovieWriter::ChooseCompression(kind, nullptr, 64, 48));
    SetCodecDialogHook(StandInDialog);
    gDialogCalls.clear();
    int parent = 0;
    gDialogConfirms = true;
    EXPECT_TRUE(QV_MovieWriter::ChooseCompression(0, &parent, 64, 48));
    EXPECT_TRUE(QV_MovieWriter::ChooseCompression(1, &parent, 32, 16));
    EXPECT_FALSE(QV_MovieWriter::ChooseCompression(5, &parent, 64, 48));
    gDialogConfirms = false;
    EXPECT_FALSE(QV_MovieWriter::ChooseCompression(0, &parent, 64, 48));
    gQuickTimePresent = false;
    EXPECT_FALSE(QV_MovieWriter::ChooseCompression(1, &parent, 64, 48));
    ASSERT_EQ(gDialogCalls.size(), 3u);
    EXPECT_EQ(gDialogCalls[0].kind, 0);
    EXPECT_EQ(gDialogCalls[0].parent, &parent);
    EXPECT_EQ(gDialogCalls[1].kind, 1);
    EXPECT_EQ(gDialogCalls[1].width, 32);
    EXPECT_EQ(gDialogCalls[1].height, 16);
    EXPECT_EQ(gDialogCalls[2].kind, 0);
}

// Opening without skipping the dialog shows it for the frame size and writes with what it chose;
// cancelling fails the open with -1 and leaves no file; skipping it never shows it.
TEST_F(MovieWriterTest, OpeningShowsTheDialogUnlessSkipped)
{
    REQUIRE_MEDIA_TOOLS();
    SetCodecDialogHook(StandInDialog);
    int parent = 0;
    for (int32_t kind : { 0, 1 }) {
        gDialogCalls.clear();
        const std::string extension = MovieFileExtension(kind).CString();
        OwnedRaster frame(40, 30, 32);
        QV_MovieWriter writer;
        gDialogConfirms = false;
        const size_t filesBefore = fFolder.Names().size();
        EXPECT_EQ(writer.Open(frame.buffer, (fFolder / ("cancelled." + extension)).c_str(), 12, 3, kind, &parent,
                      false),
            -1);
        EXPECT_FALSE(writer.fAvi || writer.fQt);
        EXPECT_EQ(kind == 0 ? gAviOptionsValid : gQtSettings != nullptr, false);
        EXPECT_EQ(fFolder.Names().size(), filesBefore);

        gDialogConfirms = true;
        const std::string path = fFolder / ("chosen." + extension);
        ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 12, 3, kind, &parent, false), 0);
        ASSERT_TRUE(WriteMovie(writer, frame, 3));
        EXPECT_EQ(Probe(path, "v:0", "codec_name"), kind == 0 ? "mjpeg" : "png");
        ASSERT_EQ(gDialogCalls.size(), 2u);
        EXPECT_EQ(gDialogCalls[1].kind, kind);
        EXPECT_EQ(gDialogCalls[1].parent, &parent);
        EXPECT_EQ(gDialogCalls[1].width, 40);
        EXPECT_EQ(gDialogCalls[1].height, 30);

        ASSERT_EQ(writer.Open(frame.buffer, (fFolder / ("skipped." + extension)).c_str(), 12, 3, kind, &parent,
                      true),
            0);
        writer.Close();
        EXPECT_EQ(gDialogCalls.size(), 2u);
    }
}

TEST_F(MovieWriterTest, BadKindsAndMissingMovieLibrariesFail)
{
    OwnedRaster frame(32, 24, 32);
    QV_MovieWriter writer;
    EXPECT_EQ(writer.Open(frame.buffer, (fFolder / "a.avi").c_str(), 24, 10, 2, nullptr, true), -1);
    gQuickTimePresent = false;
    EXPECT_EQ(writer.Open(frame.buffer, (fFolder / "a.mov").c_str(), 24, 10, 1, nullptr, true), -1);
    EXPECT_FALSE(writer.fAvi || writer.fQt);
    EXPECT_TRUE(fFolder.Names().empty());
}

// With nothing chosen an AVI stores its frames uncompressed, at the rate rounded to a whole
// number; the picture reads back the right way up whichever row order the raster had.
TEST_F(MovieWriterTest, AviIsUncompressedAtAWholeRateInEitherRowOrder)
{
    REQUIRE_MEDIA_TOOLS();
    const std::string path = fFolder / "out.avi";
    OwnedRaster frame(40, 30, 32);
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 29.97f, 6, 0, nullptr, true), 0);
    ASSERT_TRUE(writer.fAvi);
    EXPECT_TRUE(gAviOptionsValid);
    // The same picture described bottom-up: top half red, bottom half blue.
    OwnedRaster memory(40, 30, 32);
    for (int32_t y = 0; y < 30; ++y)
        for (int32_t x = 0; x < 40; ++x)
            memory.Set32(x, 29 - y, y < 15 ? Pixel32(255, 250, 0, 0) : Pixel32(255, 0, 0, 250));
    QV_PixelBuffer bottomUp = memory.buffer;
    bottomUp.pixels = memory.Row(29);
    bottomUp.rowBytes = -memory.buffer.rowBytes;
    for (int i = 0; i < 6; ++i)
        ASSERT_TRUE(writer.fAvi->WriteFrame(bottomUp));
    ASSERT_TRUE(writer.Close());

    EXPECT_EQ(Probe(path, "v:0", "codec_name"), "rawvideo");
    EXPECT_EQ(Probe(path, "v:0", "r_frame_rate"), "30/1");
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "6");
    EXPECT_EQ(Probe(path, "v:0", "width"), "40");
    EXPECT_EQ(Probe(path, "v:0", "height"), "30");
    QV_MovieReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    OwnedRaster back(40, 30, 32);
    reader.GetFrame(back.buffer, 3);
    EXPECT_EQ(back.Get32(20, 2), Pixel32(255, 250, 0, 0));
    EXPECT_EQ(back.Get32(20, 27), Pixel32(255, 0, 0, 250));
    EXPECT_EQ(std::vector<std::string> { "out.avi" }, fFolder.Names());
}

TEST_F(MovieWriterTest, AviWithAChosenEncoderUsesIt)
{
    REQUIRE_MEDIA_TOOLS();
    gAviOptions.fEncoder = "mjpeg";
    gAviOptions.fQuality = 8000;
    gAviOptionsValid = true;
    const std::string path = fFolder / "out.avi";
    OwnedRaster frame(64, 48, 32);
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 24, 5, 0, nullptr, false), 0);
    ASSERT_TRUE(WriteMovie(writer, frame, 5));
    EXPECT_EQ(Probe(path, "v:0", "codec_name"), "mjpeg");
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "5");
    EXPECT_EQ(Probe(path, "v:0", "r_frame_rate"), "24/1");
}

// An encoder that takes no frames of this size is the incompatible compression: -2, no file.
TEST_F(MovieWriterTest, AnEncoderRefusingTheFramesAnswersMinusTwo)
{
    REQUIRE_MEDIA_TOOLS();
    gAviOptions.fEncoder = "h261";
    gAviOptionsValid = true;
    OwnedRaster frame(64, 48, 32);
    QV_MovieWriter writer;
    EXPECT_EQ(writer.Open(frame.buffer, (fFolder / "out.avi").c_str(), 24, 5, 0, nullptr, true), -2);
    EXPECT_FALSE(writer.fAvi);
    EXPECT_TRUE(fFolder.Names().empty());
}

// Nothing set anywhere: 'mp4v' at depth 24 and quality 768, stored back into the settings.
// 29.97 frames per second is 20 units of 600 per frame, 24 is 25.
TEST_F(MovieWriterTest, MovDefaultsAndFrameDurations)
{
    REQUIRE_MEDIA_TOOLS();
    QV_Message settings;
    gMediaSettings = &settings;
    for (const auto& [rate, duration] : { std::pair { 29.97f, 20 }, std::pair { 24.0f, 25 } }) {
        const std::string path = fFolder / ("out" + std::to_string(duration) + ".mov");
        OwnedRaster frame(64, 48, 32);
        QV_MovieWriter writer;
        ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), rate, 4, 1, nullptr, true), 0);
        ASSERT_TRUE(writer.fQt);
        EXPECT_EQ(writer.fQt->fFrameDuration, duration);
        ASSERT_TRUE(WriteMovie(writer, frame, 4));
        EXPECT_EQ(Probe(path, "v:0", "codec_name"), "mpeg4");
        EXPECT_EQ(Probe(path, "v:0", "time_base"), "1/600");
        EXPECT_EQ(Probe(path, "v:0", "duration_ts"), std::to_string(4 * duration));
        EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "4");
    }
    ASSERT_TRUE(gQtSettings);
    EXPECT_EQ(gQtSettings->fCodec, FourCharCode("mp4v"));
    EXPECT_EQ(gQtSettings->fDepth, 24);
    EXPECT_EQ(gQtSettings->fSpatialQuality, 768);
    int32_t value = 0;
    EXPECT_TRUE(settings.FindInt("qtQuality", value));
    EXPECT_EQ(value, 3);
    EXPECT_TRUE(settings.FindInt("qtCodec", value));
    EXPECT_EQ(uint32_t(value), FourCharCode("mp4v"));
}

struct CodecCase {
    const char* code;
    int32_t depth;
    const char* codecName;
    const char* pixelFormat;
};

class MovieCodecs : public MovieWriterTest, public ::testing::WithParamInterface<CodecCase> { };

// The settings keys pick the encoder; depth 32 keeps alpha where the encoder has a format for it.
TEST_P(MovieCodecs, SettingsKeysPickTheEncoderAndItsPixelFormat)
{
    REQUIRE_MEDIA_TOOLS();
    const CodecCase& c = GetParam();
    QV_Message settings;
    settings.AddInt("qtCodec", int32_t(FourCharCode(reinterpret_cast<const char(&)[5]>(*c.code))));
    settings.AddInt("qtDepth", c.depth);
    settings.AddInt("qtQuality", 5);
    gMediaSettings = &settings;
    const std::string path = fFolder / "out.mov";
    OwnedRaster frame(64, 48, 32);
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 12, 3, 1, nullptr, true), 0);
    ASSERT_TRUE(WriteMovie(writer, frame, 3));
    EXPECT_EQ(Probe(path, "v:0", "codec_name"), c.codecName);
    EXPECT_EQ(Probe(path, "v:0", "pix_fmt"), c.pixelFormat);
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "3");
    ASSERT_TRUE(gQtSettings);
    EXPECT_EQ(gQtSettings->fSpatialQuality, 1024);
}

INSTANTIATE_TEST_SUITE_P(Codecs, MovieCodecs,
    ::testing::Values(CodecCase { "png ", 32, "png", "rgba" }, CodecCase { "png ", 24, "png", "rgb24" },
        CodecCase { "rle ", 32, "qtrle", "argb" }, CodecCase { "jpeg", 24, "mjpeg", "yuvj420p" },
        CodecCase { "xyzw", 24, "mjpeg", "yuvj420p" }),
    [](const auto& info) { return std::string(info.param.codecName) + std::to_string(info.param.depth) + "_" + std::to_string(info.index); });

TEST_F(MovieWriterTest, QualityIndexesAndTheirStoredValues)
{
    const int32_t spatial[] = { 0, 256, 512, 768, 1023, 1024 };
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(SpatialQualityOfIndex(i), spatial[i]);
        EXPECT_EQ(IndexOfSpatialQuality(spatial[i]), i);
    }
    EXPECT_EQ(IndexOfSpatialQuality(700), 2);
    EXPECT_EQ(IndexOfSpatialQuality(-5), 2);
}

// A 4:2:0 encoder cannot take odd sizes: the frame is grown by repeating its edge.
TEST_F(MovieWriterTest, OddSizesArePaddedForFourTwoZeroEncoders)
{
    REQUIRE_MEDIA_TOOLS();
    const std::string path = fFolder / "odd.mov";
    OwnedRaster frame(65, 49, 32);
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 25, 3, 1, nullptr, true), 0);
    EXPECT_EQ(writer.fQt->fMovie.EncodedWidth(), 66);
    EXPECT_EQ(writer.fQt->fMovie.EncodedHeight(), 50);
    ASSERT_TRUE(WriteMovie(writer, frame, 3));
    EXPECT_EQ(Probe(path, "v:0", "width"), "66");
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "3");
}

// A frame the writer cannot take loses the movie: Close reports it and no file is left.
TEST_F(MovieWriterTest, AFailedFrameLeavesNoFile)
{
    REQUIRE_MEDIA_TOOLS();
    for (int32_t kind : { 0, 1 }) {
        const std::string path = fFolder / ("bad." + std::string(MovieFileExtension(kind).CString()));
        OwnedRaster frame(32, 24, 32);
        OwnedRaster wrong(16, 24, 32);
        QV_MovieWriter writer;
        ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 10, 3, kind, nullptr, true), 0);
        ASSERT_TRUE(kind == 0 ? writer.fAvi->WriteFrame(frame.buffer) : writer.fQt->WriteFrame(frame.buffer));
        EXPECT_FALSE(kind == 0 ? writer.fAvi->WriteFrame(wrong.buffer) : writer.fQt->WriteFrame(wrong.buffer));
        EXPECT_FALSE(writer.Close());
        EXPECT_EQ(access(path.c_str(), F_OK), -1);
    }
    EXPECT_TRUE(fFolder.Names().empty());
    QV_MovieWriter writer;
    const std::string path = fFolder / "nothing.mov";
    OwnedRaster frame(32, 24, 32);
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 10, 3, 1, nullptr, true), 0);
    EXPECT_FALSE(writer.Close());
    EXPECT_TRUE(fFolder.Names().empty());
}

// A soundtrack longer than the frames is cut to their length in a MOV.
TEST_F(MovieWriterTest, MovSoundtrackIsCutToTheFrames)
{
    REQUIRE_MEDIA_TOOLS();
    const std::string sound = MakeSound("long.wav", 3.0, 22050, 2);
    const std::string path = fFolder / "sound.mov";
    OwnedRaster frame(32, 24, 32);
    QV_MovieWriter writer;
    ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 10, 10, 1, nullptr, true), 0);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(writer.fQt->WriteFrame(frame.buffer));
    EXPECT_TRUE(writer.AddSoundtrack(sound.c_str()));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(Probe(path, "a:0", "codec_name").substr(0, 7), "pcm_s16");
    EXPECT_EQ(Probe(path, "a:0", "sample_rate"), "22050");
    EXPECT_EQ(Probe(path, "a:0", "channels"), "2");
    EXPECT_EQ(Probe(path, "a:0", "duration_ts"), "22050");
    EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "10");
}

// AVI takes only files named as WAV files, read by their chunks (extra chunks are not samples),
// and keeps their own rate and channels.
TEST_F(MovieWriterTest, AviSoundtrackIsAWavByName)
{
    REQUIRE_MEDIA_TOOLS();
    const std::string wav = MakeSound("tone.wav", 0.5, 8000, 1, "-metadata title=chunky");
    const std::string renamed = fFolder / "tone.dat";
    ASSERT_TRUE(Ffmpeg("-f wav -i '" + wav + "' -c copy -f wav '" + renamed + "'"));
    for (const auto& [sound, heard] : { std::pair { renamed, false }, std::pair { wav, true } }) {
        const std::string path = fFolder / (heard ? "with.avi" : "without.avi");
        OwnedRaster frame(32, 24, 32);
        QV_MovieWriter writer;
        ASSERT_EQ(writer.Open(frame.buffer, path.c_str(), 10, 5, 0, nullptr, true), 0);
        for (int i = 0; i < 5; ++i)
            ASSERT_TRUE(writer.fAvi->WriteFrame(frame.buffer));
        EXPECT_EQ(writer.AddSoundtrack(sound.c_str()), heard);
        ASSERT_TRUE(writer.Close());
        EXPECT_EQ(Probe(path, "a:0", "codec_name"), heard ? "pcm_s16le" : "");
        if (heard) {
            EXPECT_EQ(Probe(path, "a:0", "sample_rate"), "8000");
            EXPECT_EQ(Probe(path, "a:0", "channels"), "1");
            EXPECT_EQ(Probe(path, "a:0", "nb_read_frames").empty(), false);
        }
        EXPECT_EQ(Probe(path, "v:0", "nb_read_frames"), "5");
    }
    EXPECT_FALSE(QV_MovieWriter().AddSoundtrack(wav.c_str()));
    QV_MovieWriter unopened;
    EXPECT_FALSE(unopened.AddSoundtrack(""));
    EXPECT_FALSE(unopened.AddSoundtrack(nullptr));
}

} // namespace
