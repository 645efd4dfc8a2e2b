#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <sndfile.h>

#include "audiolayer.h"
#include "format_version.h"
#include "interpsetting.h"
#include "layer_test_support.h"
#include "layerfactory.h"
#include "qv_filestream.h"
#include "qv_baseimage.h"
#include "qv_memstream.h"
#include "raster_fill.h"
#include "vorn_test_support.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

// A fresh folder under the temporary folder, removed with everything in it.
class SoundFolder {
public:
    SoundFolder()
    {
        char pattern[] = "/tmp/celvane_audio_XXXXXX";
        if (const char* folder = mkdtemp(pattern))
            fFolder = folder;
    }
    ~SoundFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(fFolder, error);
    }
    std::string Path(const char* name) const { return fFolder + "/" + name; }

private:
    std::string fFolder;
};

// A 16-bit WAV file whose sample of frame i, channel c is sample(i, c).
void WriteSound(const std::string& path, int32_t rate, int32_t channels, int64_t frames,
    const std::function<float(int64_t, int32_t)>& sample)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> data(size_t(frames * channels));
    for (int64_t i = 0; i < frames; i++)
        for (int32_t c = 0; c < channels; c++)
            data[size_t(i * channels + c)] = sample(i, c);
    sf_writef_float(file, data.data(), frames);
    sf_close(file);
}

struct Mixed {
    SF_INFO info {};
    std::vector<float> samples;
    float Left(int64_t k) const { return samples[size_t(2 * k)]; }
    float Right(int64_t k) const { return samples[size_t(2 * k + 1)]; }
};

Mixed ReadMix(const std::string& path)
{
    Mixed mix;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &mix.info);
    if (!file)
        return mix;
    mix.samples.resize(size_t(mix.info.frames * mix.info.channels));
    sf_readf_float(file, mix.samples.data(), mix.info.frames);
    sf_close(file);
    return mix;
}

AudioLayer* AddAudio(VornDoc& doc, const std::string& sound)
{
    AudioLayer* layer = new AudioLayer;
    EXPECT_EQ(layer->SetAudioFile(sound.c_str()), 0);
    layer->SetSpatialPositioning(false);
    doc.AddLayer(layer);
    return layer;
}

constexpr float kQuantum = 1.5f / 32768;

// A sawtooth that never repeats within a few hundred samples, so positions can be told apart.
float Saw(int64_t i)
{
    return float(i % 400) / 400 * 0.8f - 0.4f;
}

std::string RecordText(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    layer.WriteRecord(&stream);
    return StreamText(stream);
}

} // namespace

TEST(AudioLayer, SoundTimingFollowsJumpsAndCycles)
{
    AudioLayer layer;
    const float s = 1.0f / 24;
    EXPECT_FLOAT_EQ(layer.AudioTimeAt(1, s), 0);
    EXPECT_FLOAT_EQ(layer.AudioTimeAt(25, s), 1);

    // A jump key restarts the sound from its value in frames.
    layer.fJumpToFrame.SetValue(50, 0);
    EXPECT_FLOAT_EQ(layer.AudioTimeAt(50, s), 0);
    EXPECT_FLOAT_EQ(layer.AudioTimeAt(51, s), s);
    layer.fJumpToFrame.SetValue(50, 12);
    EXPECT_FLOAT_EQ(layer.AudioTimeAt(52, s), 14 * s);

    // A cycle key at 48 back to frame 24 replays what frame 24 onwards played.
    AudioLayer cycling;
    cycling.fJumpToFrame.SetValue(48, 47);
    cycling.fJumpToFrame.SetKeyInterp(48, INTERP_CYCLE, 0, 24);
    const int32_t mapped = MapCycleFrame(48, 24, 49);
    EXPECT_LE(mapped, 48);
    EXPECT_FLOAT_EQ(cycling.AudioTimeAt(49, s), cycling.AudioTimeAt(mapped, s));
    EXPECT_LT(cycling.AudioTimeAt(49, s), cycling.AudioTimeAt(48, s));
}

TEST(AudioLayer, LevelSilenceAndDuration)
{
    AudioLayer layer;
    layer.fAudioLevel.SetValue(5, -0.5f);
    EXPECT_FLOAT_EQ(layer.GetAudioLevel(5), 0);
    EXPECT_FLOAT_EQ(layer.GetAudioLevel(0), 1);
    layer.fVisibility.SetValue(0, false);
    EXPECT_FLOAT_EQ(layer.GetAudioLevel(0), 0);

    AudioLayer silent;
    EXPECT_FALSE(silent.IsSilent());
    silent.fAudioLevel.SetValue(0, 0);
    EXPECT_TRUE(silent.IsSilent());
    silent.fAudioLevel.SetValue(10, 1);
    EXPECT_FALSE(silent.IsSilent());

    SoundFolder folder;
    const std::string two = folder.Path("two.wav");
    WriteSound(two, 44100, 1, 88200, [](int64_t i, int32_t) { return Saw(i); });
    VornDoc doc;
    AudioLayer* sound = AddAudio(doc, two);
    EXPECT_EQ(sound->LayerDuration(), 49);
    EXPECT_GT(sound->MaxAmplitude(), 0.2f);
    EXPECT_EQ(sound->LayerType(), LT_AUDIO);
    EXPECT_TRUE(sound->IsAudioType());

    AudioLayer empty;
    EXPECT_EQ(empty.LayerDuration(), -1);
    EXPECT_FLOAT_EQ(empty.MaxAmplitude(), 1);
    EXPECT_EQ(empty.SetAudioFile(""), -6);
    EXPECT_EQ(empty.SetAudioFile(folder.Path("missing.wav").c_str()), -5);
    EXPECT_EQ(empty.Sound(), nullptr);
    EXPECT_EQ(std::string(empty.AudioFile().CString()), folder.Path("missing.wav"));
}

TEST(AudioLayer, StereoPositionIsTheOriginsSceneX)
{
    VornDoc doc;
    AudioLayer* layer = new AudioLayer;
    doc.AddLayer(layer);
    layer->fTranslation.SetValue(0, QV_Vector3 { 1, 0, 0 });
    // Through the camera's projection, so only nearly exact.
    EXPECT_NEAR(layer->GetStereoPosition(1), 1, 1e-4);
    layer->SetSpatialPositioning(false);
    EXPECT_FLOAT_EQ(layer->GetStereoPosition(1), 0);
}

TEST(AudioLayer, RecordRoundTripsThroughTheFactory)
{
    SoundFolder folder;
    const std::string path = folder.Path("beep.wav");
    WriteSound(path, 22050, 1, 2205, [](int64_t i, int32_t) { return Saw(i); });

    AudioLayer layer;
    layer.SetName("Beep");
    ASSERT_EQ(layer.SetAudioFile(path.c_str()), 0);
    layer.SetSpatialPositioning(false);
    layer.fAudioLevel.SetValue(12, 0.25f);
    layer.fJumpToFrame.SetValue(30, 5);
    layer.SetAudioText("say \"hi\"");
    EXPECT_STREQ(layer.AudioText().CString(), "say hi");
    const std::string text = RecordText(layer);
    // The closing brace follows the kept text on its line.
    EXPECT_NE(text.find("audio_text \n\"say hi\""), std::string::npos) << text;
    EXPECT_EQ(text.find("\"say hi\"\n"), std::string::npos) << text;

    std::unique_ptr<VornLayer> back(LayerFactory(LT_AUDIO));
    ASSERT_NE(back, nullptr);
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = kCurrentFormatVersion;
    ASSERT_TRUE(back->ReadRecord(&stream)) << stream.fError.CString();
    AudioLayer* audio = static_cast<AudioLayer*>(back.get());
    EXPECT_NE(audio->Sound(), nullptr);
    EXPECT_FALSE(audio->SpatialPositioning());
    EXPECT_FLOAT_EQ(audio->fAudioLevel.GetValue(12), 0.25f);
    EXPECT_FLOAT_EQ(audio->fJumpToFrame.GetValue(30), 5);
    EXPECT_EQ(RecordText(*back), text);

    // An undecodable sound keeps the document readable; a bad value does not.
    QV_MemStream missing;
    FillStream(missing, "{\naudio_file \"/nowhere/gone.wav\"\naudio_text\n\"x\" }\n");
    AudioLayer silent;
    EXPECT_TRUE(silent.ReadRecord(&missing));
    EXPECT_EQ(silent.Sound(), nullptr);
    QV_MemStream bad;
    FillStream(bad, "{\nspatial_positioning maybe\n}\n");
    AudioLayer failing;
    EXPECT_FALSE(failing.ReadRecord(&bad));
    EXPECT_EQ(std::string(bad.fError.CString()).rfind("Read error at line 2. In code file lib_vorn/audiolayer", 0), 0u)
        << bad.fError.CString();
}

TEST(AudioLayer, SoundtrackOfAnOlderFileBecomesAnAudioLayer)
{
    SoundFolder folder;
    WriteSound(folder.Path("music.wav"), 44100, 2, 4410, [](int64_t i, int32_t) { return Saw(i); });
    const std::string docPath = folder.Path("old.txt");
    FILE* f = std::fopen(docPath.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("application/x-vnd.qv_vorndoc\nversion 19\nsoundtrack \"music.wav\"\n", f);
    std::fclose(f);

    QV_FileStream stream;
    ASSERT_EQ(stream.Open(docPath.c_str(), true), 0);
    VornDoc doc(&stream);
    ASSERT_FALSE(doc.fReadFailed) << stream.fError.CString();
    ASSERT_EQ(doc.fLayers.fCount, 1);
    VornLayer* layer = doc.Layer(0);
    ASSERT_EQ(layer->LayerType(), LT_AUDIO);
    EXPECT_STREQ(layer->Name().CString(), "music.wav");
    AudioLayer* audio = static_cast<AudioLayer*>(layer);
    EXPECT_EQ(std::string(audio->AudioFile().CString()), folder.Path("music.wav"));
    EXPECT_NE(audio->Sound(), nullptr);
    EXPECT_TRUE(doc.fSoundtrack.IsEmpty());
}

TEST(AudioMixdown, OneSecondAtTwentyFourFramesIsFortyFourThousandStereoFrames)
{
    SoundFolder folder;
    const std::string sound = folder.Path("saw.wav");
    WriteSound(sound, 44100, 2, 44100, [](int64_t i, int32_t c) { return c == 0 ? Saw(i) : -Saw(i); });
    VornDoc doc;
    doc.SetFps(24);
    const std::string out = folder.Path("mix.wav");
    EXPECT_FALSE(doc.MixdownAudio(1, 24, out.c_str()));
    EXPECT_FALSE(std::filesystem::exists(out));

    AddAudio(doc, sound);
    EXPECT_FALSE(doc.MixdownAudio(5, 4, out.c_str()));
    EXPECT_FALSE(doc.MixdownAudio(1, 24, folder.Path("no/such/folder/mix.wav").c_str()));
    ASSERT_TRUE(doc.MixdownAudio(1, 24, out.c_str()));
    const Mixed mix = ReadMix(out);
    EXPECT_EQ(mix.info.frames, 44100);
    EXPECT_EQ(mix.info.channels, 2);
    EXPECT_EQ(mix.info.samplerate, 44100);
    EXPECT_EQ(mix.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    // The sound starts at layer frame 1 and keeps its channels apart.
    for (int64_t k : { 0, 1, 399, 1000, 44099 }) {
        EXPECT_NEAR(mix.Left(k), Saw(k), kQuantum) << k;
        EXPECT_NEAR(mix.Right(k), -Saw(k), kQuantum) << k;
    }
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

TEST(AudioMixdown, StereoPositionsFadeTheFarSide)
{
    SoundFolder folder;
    const std::string sound = folder.Path("dc.wav");
    WriteSound(sound, 44100, 1, 44100, [](int64_t, int32_t) { return 0.5f; });
    struct Case {
        float x;
        float left;
        float right;
    };
    const Case cases[] = { { 1, 0.25f, 0.5f }, { 3, 0, 0.5f }, { -1, 0.5f, 0.25f }, { 0, 0.5f, 0.5f } };
    for (const Case& c : cases) {
        VornDoc doc;
        AudioLayer* layer = AddAudio(doc, sound);
        layer->SetSpatialPositioning(true);
        layer->fTranslation.SetValue(0, QV_Vector3 { c.x, 0, 0 });
        const std::string out = folder.Path("pan.wav");
        ASSERT_TRUE(doc.MixdownAudio(1, 2, out.c_str()));
        const Mixed mix = ReadMix(out);
        ASSERT_GT(mix.info.frames, 100);
        EXPECT_NEAR(mix.Left(50), c.left, kQuantum) << c.x;
        EXPECT_NEAR(mix.Right(50), c.right, kQuantum) << c.x;
    }
}

TEST(AudioMixdown, LowRateMonoSoundFeedsBothSidesAtItsOwnPace)
{
    SoundFolder folder;
    const std::string sound = folder.Path("mono.wav");
    WriteSound(sound, 22050, 1, 22050, [](int64_t i, int32_t) { return Saw(i); });
    VornDoc doc;
    AddAudio(doc, sound);
    const std::string out = folder.Path("mix.wav");
    ASSERT_TRUE(doc.MixdownAudio(1, 12, out.c_str()));
    const Mixed mix = ReadMix(out);
    ASSERT_EQ(mix.info.frames, 22050);
    for (int64_t k : { 0, 1, 2, 3, 799, 800, 20001 }) {
        EXPECT_NEAR(mix.Left(k), Saw(k / 2), kQuantum) << k;
        EXPECT_NEAR(mix.Right(k), Saw(k / 2), kQuantum) << k;
    }
}

TEST(AudioMixdown, JumpRestartsAndSilentOrHiddenLayersStayOut)
{
    SoundFolder folder;
    const std::string sound = folder.Path("saw.wav");
    WriteSound(sound, 44100, 1, 44100 * 4, [](int64_t i, int32_t) { return Saw(i); });
    VornDoc doc;
    AudioLayer* layer = AddAudio(doc, sound);
    layer->fJumpToFrame.SetValue(49, 0);
    AudioLayer* muted = AddAudio(doc, sound);
    muted->fAudioLevel.SetValue(0, 0);
    AudioLayer* hidden = AddAudio(doc, sound);
    hidden->fVisible = false;
    AudioLayer* editOnly = AddAudio(doc, sound);
    editOnly->SetEditOnly(true);

    const std::string out = folder.Path("mix.wav");
    ASSERT_TRUE(doc.MixdownAudio(1, 60, out.c_str()));
    const Mixed mix = ReadMix(out);
    // Frame 49 starts at 2 s, sample 88,200.
    const int64_t restart = 88200;
    for (int64_t d : { 0, 1, 150, 3000 })
        EXPECT_NEAR(mix.Left(restart + d), Saw(d), kQuantum) << d;
    EXPECT_NEAR(mix.Left(restart - 1), Saw(restart - 1), kQuantum);
}

TEST(AudioMixdown, AtMostSixtyFourSourcesAreMixed)
{
    SoundFolder folder;
    const std::string sound = folder.Path("dc.wav");
    WriteSound(sound, 44100, 1, 4410, [](int64_t, int32_t) { return 0.01f; });
    VornDoc doc;
    for (int32_t i = 0; i < 66; i++)
        AddAudio(doc, sound);
    const std::string out = folder.Path("mix.wav");
    ASSERT_TRUE(doc.MixdownAudio(1, 1, out.c_str()));
    const Mixed mix = ReadMix(out);
    ASSERT_GT(mix.info.frames, 10);
    EXPECT_NEAR(mix.Left(10), 0.64f, 0.001f);
}

TEST(AudioLayer, DrawsOnlyItsOriginWhileBeingEdited)
{
    const rgb_color white { 255, 255, 255, 255 };
    auto changed = [&](VornLayer* current, int32_t mode) {
        QV_BaseImage image;
        image.Allocate(80, 60, 32);
        QV_PixelBuffer raster;
        image.GetPixelBuffer(raster);
        FillRaster(raster, white);
        XGraphics graphics;
        graphics.SetRaster(&raster);
        graphics.fZoom = 50;
        graphics.BeginDraw();
        AudioLayer layer;
        layer.fTranslation.SetValue(0, QV_Vector3 { 0.6f, 0.6f, 0 });
        layer.SetCurFrame(0);
        layer.Draw(nullptr, &graphics, nullptr, mode, current ? current : &layer, nullptr);
        EXPECT_FALSE(graphics.fSmoothing);
        EXPECT_EQ(graphics.fMatrixDepth, 0);
        int32_t count = 0;
        for (int32_t y = 0; y < raster.height; y++)
            for (int32_t x = 0; x < raster.width; x++)
                count += std::memcmp(raster.pixels + y * raster.rowBytes + x * 4, &white, 4) != 0;
        return count;
    };
    AudioLayer other;
    EXPECT_GT(changed(nullptr, DRAW_EDIT), 0);
    EXPECT_EQ(changed(&other, DRAW_EDIT), 0);
    for (int32_t mode : { DRAW_BELOW, DRAW_CURRENT, DRAW_QUICK_PREVIEW, DRAW_ONION })
        EXPECT_EQ(changed(nullptr, mode), 0) << mode;
}
