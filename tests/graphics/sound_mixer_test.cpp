#include <gtest/gtest.h>

#include <vector>

#include "media_presence.h"
#include "qv_sound_mixer.h"
#include "qv_sound_player.h"
#include "sound_test_support.h"

namespace {

// Sample i of a clip is i + 1 (scaled to stay below 1), so every output names its sample.
float Ramp(int64_t i)
{
    return float(i + 1) / 1.0e6f;
}

std::vector<float> Mix(QV_SoundMixer& mixer, unsigned long frames)
{
    std::vector<float> out(frames * 2, -9.0f);
    mixer.Mix(out.data(), frames);
    return out;
}

TEST(SoundMixerTest, AMono22050ClipIsHeardTwicePerSampleOnBothChannels)
{
    QV_SoundClip clip;
    FillClip(clip, 22050, 1, 100, Ramp);
    QV_SoundMixer mixer;
    QV_MixerTrack* track = mixer.AddTrack(&clip, 0, nullptr);
    ASSERT_TRUE(track);
    EXPECT_FLOAT_EQ(track->fRateRatio, 0.5f);
    mixer.Rewind();
    const std::vector<float> out = Mix(mixer, 8);
    for (int f = 0; f < 8; ++f) {
        EXPECT_FLOAT_EQ(out[f * 2], Ramp(f / 2)) << f;
        EXPECT_FLOAT_EQ(out[f * 2 + 1], Ramp(f / 2)) << f;
    }
}

TEST(SoundMixerTest, ATrackStartingLaterStaysSilentUntilItsTime)
{
    QV_SoundClip clip;
    FillClip(clip, 44100, 2, 44100, Ramp);
    QV_SoundMixer mixer;
    mixer.AddTrack(&clip, 2.0f, nullptr);
    mixer.Rewind();
    mixer.Seek(1.0f);
    EXPECT_LT(mixer.fTracks[0].fSamplePos.load(), 0);
    const std::vector<float> before = Mix(mixer, 44100);
    for (float s : before)
        ASSERT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(mixer.CurrentTime(), 2.0f);
    const std::vector<float> after = Mix(mixer, 2);
    EXPECT_FLOAT_EQ(after[0], Ramp(0));
    EXPECT_FLOAT_EQ(after[1], Ramp(1));
    EXPECT_FLOAT_EQ(after[2], Ramp(2));
}

TEST(SoundMixerTest, ARangeEndsAfterItsFrames)
{
    QV_SoundClip clip;
    FillClip(clip, 44100, 2, 44100 * 3, Ramp);
    QV_SoundMixer mixer;
    mixer.AddTrack(&clip, 0, nullptr);
    mixer.SetRange(1.0f, 0.5f, 1.0f);
    const std::vector<float> first = Mix(mixer, 1);
    EXPECT_FLOAT_EQ(first[0], Ramp(88200));
    Mix(mixer, 22049);
    EXPECT_FALSE(mixer.IsPlaying());
    EXPECT_EQ(mixer.CurrentTime(), 0.0f);
    const std::vector<float> after = Mix(mixer, 4);
    for (float s : after)
        EXPECT_EQ(s, 0.0f);
}

TEST(SoundMixerTest, PanAndLevelShapeTheChannels)
{
    QV_SoundClip clip;
    FillClip(clip, 44100, 1, 10, [](int64_t) { return 0.5f; });
    struct PanCase {
        float pan;
        float left;
        float right;
    };
    for (const PanCase& c : { PanCase { 1, 0.25f, 0.5f }, PanCase { -2.5f, 0.5f, 0 }, PanCase { -1, 0.5f, 0.25f },
             PanCase { 3, 0, 0.5f }, PanCase { 0, 0.5f, 0.5f } }) {
        QV_SoundMixer mixer;
        mixer.AddTrack(&clip, 0, nullptr)->fPan = c.pan;
        mixer.Rewind();
        const std::vector<float> out = Mix(mixer, 1);
        EXPECT_FLOAT_EQ(out[0], c.left) << c.pan;
        EXPECT_FLOAT_EQ(out[1], c.right) << c.pan;
    }
    QV_SoundMixer mixer;
    QV_MixerTrack* loud = mixer.AddTrack(&clip, 0, nullptr);
    QV_MixerTrack* quiet = mixer.AddTrack(&clip, 0, nullptr);
    loud->fLevel = 2;
    quiet->fLevel = 0.0005f;
    mixer.Rewind();
    EXPECT_FLOAT_EQ(Mix(mixer, 1)[0], 1.0f);
}

TEST(SoundMixerTest, MutingKeepsTimeRunning)
{
    QV_SoundClip clip;
    FillClip(clip, 44100, 2, 44100, Ramp);
    QV_SoundMixer mixer;
    mixer.AddTrack(&clip, 0, nullptr);
    mixer.Rewind();
    mixer.fMuted = true;
    for (float s : Mix(mixer, 4410))
        ASSERT_EQ(s, 0.0f);
    EXPECT_FLOAT_EQ(mixer.CurrentTime(), 0.1f);
    mixer.fMuted = false;
    EXPECT_FLOAT_EQ(Mix(mixer, 1)[0], Ramp(8820));
}

// Time keeps moving long into a document, where a single-precision position would stall.
TEST(SoundMixerTest, TimeAdvancesFarIntoTheTimeline)
{
    QV_SoundClip clip;
    FillClip(clip, 22050, 1, 10, Ramp);
    QV_SoundMixer mixer;
    mixer.AddTrack(&clip, 0, nullptr);
    mixer.Rewind();
    mixer.fRate = 0.5f;
    mixer.Seek(600.0f);
    Mix(mixer, 44100);
    EXPECT_FLOAT_EQ(mixer.CurrentTime(), 600.5f);
}

TEST(SoundMixerTest, TrackListLimitsAndStreamsWithoutAudio)
{
    QV_SoundClip clip;
    FillClip(clip, 44100, 2, 10, Ramp);
    QV_SoundMixer mixer;
    EXPECT_FALSE(mixer.OpenStream());
    for (int i = 0; i < QV_SoundMixer::kMaxTracks; ++i)
        ASSERT_TRUE(mixer.AddTrack(&clip, 0, nullptr));
    EXPECT_EQ(mixer.AddTrack(&clip, 0, nullptr), nullptr);
    const bool audio = gAudioAvailable;
    gAudioAvailable = false;
    EXPECT_FALSE(mixer.OpenStream());
    mixer.Play();
    EXPECT_FALSE(mixer.IsPlaying());
    gAudioAvailable = audio;
    mixer.fTrackCount = 0;
    EXPECT_EQ(mixer.CurrentTime(), 0.0f);
    EXPECT_EQ(mixer.AddTrack(&clip, 0, nullptr), &mixer.fTracks[0]);
}

TEST(SoundPlayerTest, ASecondClickRestartsTheSound)
{
    QV_SoundPlayer player(nullptr);
    QV_SoundClip samples;
    FillClip(samples, 44100, 1, 1000, Ramp);
    player.fInfo = samples.fInfo;
    player.fSampleCount = samples.fSampleCount;
    player.fSamples = std::move(samples.fSamples);
    std::vector<float> out(1000);
    player.Rewind();
    player.Render(out.data(), 300);
    EXPECT_FLOAT_EQ(out[299], Ramp(299));
    player.Rewind();
    player.Render(out.data(), 2);
    EXPECT_FLOAT_EQ(out[0], Ramp(0));
    EXPECT_FLOAT_EQ(out[1], Ramp(1));
    // Played through, it stays silent at the end.
    player.Render(out.data(), 1000);
    player.Render(out.data(), 2);
    EXPECT_EQ(out[0], 0.0f);
    EXPECT_EQ(player.fPosition.load(), 1000);
}

} // namespace
