#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "movie_test_support.h"
#include "qv_sound_clip.h"
#include "sound_test_support.h"

namespace {

float Zero(int64_t)
{
    return 0;
}

TEST(SoundClipTest, SampleIndexRoundsToWholeFramesAndClamps)
{
    QV_SoundClip stereo;
    FillClip(stereo, 44100, 2, 44100, Zero);
    QV_SoundClip mono;
    FillClip(mono, 44100, 1, 44100, Zero);
    EXPECT_EQ(stereo.SampleIndex(0.5f, true), 44100);
    EXPECT_EQ(mono.SampleIndex(0.5f, true), 22050);
    EXPECT_EQ(stereo.SampleIndex(1.0f / 3.0f, true), 29400);
    // 3 samples at 1 / 29,400 s round to 3, then fall to the frame at 2; negatives fall too.
    EXPECT_EQ(stereo.SampleIndex(3.0f / 88200.0f, false), 2);
    EXPECT_EQ(stereo.SampleIndex(-3.0f / 88200.0f, false), -4);
    EXPECT_EQ(stereo.SampleIndex(-1.0f, true), 0);
    EXPECT_EQ(stereo.SampleIndex(5.0f, true), 88199);
    EXPECT_EQ(stereo.SampleIndex(1e30f, true), 88199);
    EXPECT_FLOAT_EQ(stereo.Duration(), 1.0f);
}

TEST(SoundClipTest, AClipWithoutSamplesMeasuresNothing)
{
    QV_SoundClip clip;
    EXPECT_FALSE(clip.HasSamples());
    EXPECT_EQ(clip.Duration(), 0.0f);
    EXPECT_EQ(clip.SampleIndex(1.0f, true), 0);
    EXPECT_EQ(clip.GetAmplitude(0, 1), 0.0f);
    EXPECT_EQ(clip.GetRMSAmplitude(0, 1), 0.0f);
    EXPECT_EQ(clip.GetMaxAmplitude(0, 1), 0.0f);
}

// Samples of magnitude 1.5 are skipped but still count in the divisor.
TEST(SoundClipTest, MeasurementsSkipGarbageButCountIt)
{
    QV_SoundClip clip;
    const float values[] = { 0.5f, 1.5f, -0.5f, -1.5f };
    FillClip(clip, 4, 1, 4, [&](int64_t i) { return values[i]; });
    EXPECT_FLOAT_EQ(clip.GetAmplitude(0, 0.75f), 1.0f / 3.0f);
    EXPECT_FLOAT_EQ(clip.GetRMSAmplitude(0, 0.75f), std::sqrt(0.5f / 3.0f));
    EXPECT_FLOAT_EQ(clip.GetMaxAmplitude(0, 0.75f), 0.5f);
    EXPECT_FLOAT_EQ(clip.GetMaxAmplitude(0.25f, 0.25f), -1000000.0f);
    EXPECT_EQ(clip.GetAmplitude(0, -0.1f), 0.0f);
    // A window wholly after the end clamps both ends to the last sample.
    EXPECT_EQ(clip.GetAmplitude(3, 1), 0.0f);
    EXPECT_EQ(clip.GetRMSAmplitude(3, 1), 0.0f);
    EXPECT_EQ(clip.GetMaxAmplitude(3, 1), 0.0f);
}

// WAV goes through libsndfile; M4A (AAC) through the movie libraries as 16-bit samples.
TEST(SoundClipTest, LoadsWavAndM4a)
{
    REQUIRE_MEDIA_TOOLS();
    ScratchFolder folder;
    const std::string wav = folder / "tone.wav";
    const std::string m4a = folder / "tone.m4a";
    const std::string tone = "-f lavfi -i sine=frequency=500:sample_rate=22050:duration=1 -af 'volume=0.5,pan=stereo|c0=c0|c1=c0' ";
    ASSERT_TRUE(Ffmpeg(tone + "'" + wav + "'"));
    ASSERT_TRUE(Ffmpeg(tone + "-c:a aac -b:a 128k '" + m4a + "'"));
    for (const std::string& path : { wav, m4a }) {
        QV_SoundClip clip;
        ASSERT_EQ(clip.Load(path.c_str()), 0) << path;
        EXPECT_EQ(clip.SampleRate(), 22050);
        EXPECT_EQ(clip.Channels(), 2);
        EXPECT_NEAR(clip.Duration(), 1.0f, 0.06f) << path;
        EXPECT_EQ(clip.fSampleCount, clip.fInfo.frames * 2);
        // A sine of amplitude 1/8 (ffmpeg's tone) halved: RMS of 1/16 / sqrt 2.
        EXPECT_NEAR(clip.GetRMSAmplitude(0.2f, 0.5f), 0.0625f / std::sqrt(2.0f), 0.005f) << path;
    }
}

TEST(SoundClipTest, UnreadableFilesLeaveTheClipEmpty)
{
    ScratchFolder folder;
    const std::string junk = folder / "junk.wav";
    WriteBytes(junk, std::vector<uint8_t>(1000, 0x33));
    QV_SoundClip clip;
    EXPECT_EQ(clip.Load(junk.c_str()), -6);
    EXPECT_EQ(clip.Load((folder / "missing.wav").c_str()), -6);
    EXPECT_EQ(clip.Load(nullptr), -6);
    // Devices and folders are refused before anything reads them: /dev/zero would never end.
    EXPECT_EQ(clip.Load("/dev/zero"), -6);
    EXPECT_EQ(clip.Load(folder.Path().c_str()), -6);
    EXPECT_FALSE(clip.HasSamples());
    EXPECT_EQ(clip.GetAmplitude(0, 1), 0.0f);
}

} // namespace
