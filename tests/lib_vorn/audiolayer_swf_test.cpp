#include "audiolayer.h"
#include "qv_baseimage.h"
#include "qv_temp_file.h"
#include "render_job.h"
#include "render_settings.h"
#include "swf.h"
#include "swf_check.h"
#include "vorndoc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool HaveFfmpeg()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

// A one-second tone made by ffmpeg in the format the extension names (ID3 tag included for MP3).
std::string MakeTone(const char* extension)
{
    const std::string path = std::string(TempFileName().CString()) + extension;
    const std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i sine=frequency=440:sample_rate=22050:duration=1 "
        "-metadata title=tone " + path;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return path;
}

// Renders document frames 1 to 4 of a document holding only the audio layer into an SWF movie.
SwfReadMovie ExportAudio(const std::string& sound, int32_t timingOffset)
{
    VornDoc doc;
    doc.SetShape(64, 48);
    AudioLayer* layer = new AudioLayer;
    layer->SetAudioFile(sound.c_str());
    layer->fTimingOffset = timingOffset;
    doc.AddLayer(layer);
    QV_BaseImage image;
    EXPECT_EQ(image.Allocate(64, 48, 32), 0);
    SWFMovie movie = newSWFMovie();
    SWFMovie_setDimension(movie, 64, 48);
    SWFMovie_setRate(movie, 24);
    RenderSettings settings;
    settings.SetDefaults();
    settings.fDoc = &doc;
    settings.fImage = &image;
    settings.fStartFrame = 1;
    settings.fEndFrame = 4;
    settings.fSWFMovie = movie;
    RenderJob job;
    job.fSettings = &settings;
    job.fFrame = 1;
    for (int32_t steps = 0; steps < 1000 && job.RenderFrame(); steps++) {
    }
    EXPECT_EQ(job.LastStatus(), 0);
    const std::string path = std::string(TempFileName().CString()) + ".swf";
    EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
    // The layer's reference and the movie's are separate: the movie goes first here.
    destroySWFMovie(movie);
    SwfReadMovie read;
    ReadJudgedSwf(path, read);
    std::remove(path.c_str());
    return read;
}

bool IsSoundTag(int code)
{
    return code == 18 || code == 45 || code == 19;
}

TEST(AudioLayerSwfTest, Mp3LayerStreamsFromItsFirstLayerFrameAndWavAddsNothing)
{
    if (!HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const std::string mp3 = MakeTone(".mp3");
    const std::string wav = MakeTone(".wav");

    // Layer frame 1 falls on document frame 1, then, with an offset of -2, on document frame 3.
    for (const int32_t offset : { 0, -2 }) {
        SCOPED_TRACE(offset);
        const SwfReadMovie movie = ExportAudio(mp3, offset);
        ASSERT_EQ(SwfTagsOf(movie.fTags, 45).size() + SwfTagsOf(movie.fTags, 18).size(), 1u);
        const auto frames = SwfFrames(movie.fTags);
        ASSERT_EQ(frames.size(), 4u);
        const size_t first = size_t(1 - offset) - 1;
        for (size_t f = 0; f < frames.size(); f++) {
            bool block = false;
            for (const SwfReadTag* tag : frames[f]) {
                SwfReadSoundBlock decoded;
                block = block || (tag->fCode == 19 && DecodeSwfSoundBlock(*tag, decoded) && decoded.fSamples > 0);
            }
            EXPECT_EQ(block, f >= first) << "frame " << f + 1;
        }
    }

    const SwfReadMovie silent = ExportAudio(wav, 0);
    EXPECT_EQ(SwfFrames(silent.fTags).size(), 4u);
    for (const SwfReadTag& tag : silent.fTags)
        EXPECT_FALSE(IsSoundTag(tag.fCode)) << tag.fCode;
    std::remove(mp3.c_str());
    std::remove(wav.c_str());
}

} // namespace
