// Layer Settings on documents of every layer kind, on SDL's dummy driver: the pages each kind
// gets, what loading shows, which keys OK sets at which frame, the clamps, the media limits, the
// lip-sync keys and, in the real modal loop, the beep and the undo levels of OK and Cancel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../lib_vorn/media_test_support.h"
#include "../toolkit/widget_test_support.h"
#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "interface_colors.h"
#include "layer_dlog.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "particlelayer.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_tab_view.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "switchlayer.h"
#include "vorndoc.h"

namespace {

// The dialog with its alerts and file choosers answered by the test.
class TestDlog : public LayerDlog {
public:
    using LayerDlog::LayerDlog;
    int32_t ShowAlert(const char* text) override
    {
        fAlerts.push_back(text);
        return 0;
    }
    void ChooseFile(const char* title, int32_t message, const char*, const char* patterns) override
    {
        fChoosers.push_back(std::string(title) + " | " + patterns);
        if (fAnswer.empty())
            return;
        QV_Message answer(message);
        answer.AddString("path", fAnswer.c_str());
        DispatchMessage(&answer);
    }
    // What a widget or a chooser sends the dialog.
    void Send(int32_t what, const char* path = nullptr)
    {
        QV_Message message(what);
        if (path)
            message.AddString("path", path);
        DispatchMessage(&message);
    }

    std::vector<std::string> fAlerts;
    std::vector<std::string> fChoosers;
    std::string fAnswer;
};

// A 16-bit mono WAV at 24,000 Hz whose every 1,000-sample stretch (one frame at 24 fps) is a
// square wave of the given amplitude, so that its RMS is exactly that amplitude.
void WriteLevelsWav(const std::string& path, const std::vector<float>& levels)
{
    const uint32_t rate = 24000;
    std::vector<int16_t> samples;
    for (float level : levels) {
        for (int i = 0; i < 1000; i++)
            samples.push_back(int16_t((i % 2 ? 1 : -1) * std::lround(level * 32767)));
    }
    const uint32_t bytes = uint32_t(samples.size() * 2);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    auto u32 = [&](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [&](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(bytes);
    std::fwrite(samples.data(), 2, samples.size(), f);
    std::fclose(f);
}

std::vector<std::string> TabLabels(LayerDlog& dialog)
{
    std::vector<std::string> labels;
    for (int32_t i = 0; i < dialog.fTabs->fTabCount; i++)
        labels.push_back(dialog.fTabs->fTabLabels[i].CString());
    return labels;
}

// Runs one step inside the dialog's modal loop, from a timer of its window.
struct ModalDriver : public QV_Handler {
    void HandleMessage(QV_Message*) override
    {
        if (fDone || !fDialog)
            return;
        fDone = true;
        fStep(fDialog);
    }
    std::function<void(LayerDlog*)> fStep;
    LayerDlog* fDialog = nullptr;
    bool fDone = false;
};
ModalDriver* gDriver = nullptr;

class LayerDlogTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        RegisterShapeStyles();
        MediaReady();
        fDoc.SetShape(640, 480);
        fDoc.SetFps(24);
    }
    void TearDown() override
    {
        fDialog.reset();
        LayerDlog::sOpenedHook = nullptr;
        gDriver = nullptr;
        PumpPending();
        ImageFormatRegistry::Free();
        WidgetTest::TearDown();
    }
    template <class T> T* Add(T* layer, const char* name)
    {
        layer->SetName(name);
        fDoc.AddLayer(layer);
        return layer;
    }
    // The dialog on the layer at the document's frame, loaded.
    TestDlog& Open(VornLayer* layer, int32_t frame = 0)
    {
        fDoc.SetCurFrame(frame);
        fDialog = std::make_unique<TestDlog>(nullptr, &fDoc, layer);
        fDialog->ExchangeData(false);
        return *fDialog;
    }
    // The first audio layer chosen in the lip-sync menu, then OK.
    void GenerateKeysThroughDialog(SwitchLayer* target)
    {
        TestDlog& dialog = Open(target);
        dialog.fLipSync->Menu()->UncheckAll();
        dialog.fLipSync->Menu()->SetChecked(LD_LIPSYNC_FIRST, true);
        Ok();
    }
    void Ok()
    {
        ASSERT_TRUE(fDialog->OnValidate());
        fDialog->ExchangeData(true);
    }

    VornDoc fDoc;
    std::unique_ptr<TestDlog> fDialog;
};

} // namespace

TEST_F(LayerDlogTest, EachKindGetsTheCommonPagesAndItsOwn)
{
    const std::vector<std::string> common = { "General", "Shadows", "Motion Blur", "Masking" };
    struct Case {
        VornLayer* layer;
        std::vector<std::string> extra;
        bool groupMask;
        bool excludeStrokes;
    };
    const Case cases[] = {
        { new MeshLayer, { "Vectors" }, false, true },
        { new ImageLayer, { "Image" }, false, false },
        { new GroupLayer, { "Depth Sort" }, true, false },
        { new BoneLayer, { "Depth Sort", "Bones" }, true, false },
        { new SwitchLayer, { "Bones", "Switch" }, false, false },
        { new ParticleLayer, { "Particles" }, false, false },
        { new NoteLayer, { "Note" }, false, false },
        { new Mesh3DLayer, { "3D Options" }, false, false },
        { new AudioLayer, { "Audio" }, false, false },
    };
    for (const Case& c : cases) {
        Add(c.layer, "L");
        TestDlog& dialog = Open(c.layer);
        std::vector<std::string> expected = common;
        expected.insert(expected.end(), c.extra.begin(), c.extra.end());
        EXPECT_EQ(TabLabels(dialog), expected) << c.layer->LayerType();
        EXPECT_EQ(dialog.fNoGroupMask != nullptr, c.groupMask) << c.layer->LayerType();
        EXPECT_EQ(dialog.fExcludeStrokes != nullptr, c.excludeStrokes) << c.layer->LayerType();
    }
}

TEST_F(LayerDlogTest, AMovieWithASoundTrackAlsoGetsTheAudioPage)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    const std::string movie = folder.Path("talk.avi");
    ASSERT_TRUE(Ffmpeg("-f lavfi -i color=c=black:s=16x16:r=24:d=1 -f lavfi -i sine=frequency=440:duration=1 "
                       "-shortest -c:v mjpeg -c:a pcm_s16le '"
        + movie + "'"));
    auto* image = Add(new ImageLayer, "Movie");
    image->SetSourceImage(movie.c_str());
    ASSERT_NE(image->Sound(), nullptr);
    const std::vector<std::string> expected = { "General", "Shadows", "Motion Blur", "Masking", "Image", "Audio" };
    EXPECT_EQ(TabLabels(Open(image)), expected);
}

TEST_F(LayerDlogTest, ANoteLayerOpensOnItsNotePageWithTheTextSelected)
{
    auto* note = Add(new NoteLayer, "Memo");
    note->SetNoteText("fix the ears");
    TestDlog& dialog = Open(note);
    EXPECT_EQ(dialog.fTabs->fSelTab, LayerDlog::kNoteTab);
    EXPECT_EQ(dialog.fFocusWidget, dialog.fNoteText);
    EXPECT_STREQ(dialog.fNoteText->Value(), "fix the ears");
    EXPECT_EQ(dialog.fNoteText->fAnchor, 0);
    EXPECT_EQ(dialog.fNoteText->fCaret, int32_t(std::string("fix the ears").size()));

    dialog.fNoteText->SetValue("ears done");
    Ok();
    EXPECT_STREQ(note->fNoteText.CString(), "ears done");

    // Any other kind opens on General with the name ready to be typed over.
    auto* vector = Add(new MeshLayer, "Arm");
    TestDlog& other = Open(vector);
    EXPECT_EQ(other.fTabs->fSelTab, 0);
    EXPECT_EQ(other.fFocusWidget, other.fName);
}

// An effect changed on its own keys frame 0 while effects are not animated and the current frame
// when they are; visibility is keyed at the current frame either way; untouched values get no key.
TEST_F(LayerDlogTest, EffectsAreKeyedAtFrameZeroUnlessAnimated)
{
    for (const bool animated : { false, true }) {
        auto* layer = Add(new MeshLayer, animated ? "Animated" : "Still");
        layer->fAnimatedLayerEffects = animated;
        TestDlog& dialog = Open(layer, 12);
        const int32_t alphaKeys = layer->fAlpha.CountKeys();
        dialog.fBlur->SetValue(int32_t(12));
        dialog.fVisible->SetValue(false);
        Ok();
        const int32_t E = animated ? 12 : 0;
        EXPECT_TRUE(layer->fBlur.HasKey(E)) << animated;
        EXPECT_EQ(layer->fBlur.HasKey(12), animated);
        EXPECT_NEAR(layer->fBlur.GetValue(E), 12.0f / 480.0f, 1e-6f);
        EXPECT_EQ(layer->fAlpha.CountKeys(), alphaKeys) << animated;
        EXPECT_TRUE(layer->fVisibility.HasKey(12)) << animated;
        EXPECT_FALSE(layer->fVisibility.GetValue(12));
        EXPECT_TRUE(layer->fVisibility.GetValue(11));
    }
}

TEST_F(LayerDlogTest, AShadowColourAloneKeysTheWholeShadowGroup)
{
    auto* layer = Add(new MeshLayer, "Hero");
    layer->fAnimatedLayerEffects = true;
    TestDlog& dialog = Open(layer, 7);
    dialog.fShadowColor->SetValue(rgb_color { 200, 0, 0, 128 });
    Ok();
    AnimChannel* shadow[] = { &layer->fLayerShadow, &layer->fShadowAngle, &layer->fShadowOffset,
        &layer->fShadowBlur, &layer->fShadowExpansion, &layer->fShadowColor };
    for (AnimChannel* channel : shadow)
        EXPECT_TRUE(channel->HasKey(7));
    AnimChannel* untouched[] = { &layer->fLayerShading, &layer->fShadingColor, &layer->fMotionBlur };
    for (AnimChannel* channel : untouched)
        EXPECT_FALSE(channel->HasKey(7));
    EXPECT_EQ(layer->fShadowColor.GetValue(7).AsColorStruct().r, 200);
}

// A blur beyond the field's range shows clamped; the shown value then differs from what the layer
// holds, so OK writes the group even though the user changed nothing.
TEST_F(LayerDlogTest, AShadowBlurBeyondTheRangeLoadsClampedAndIsWrittenBack)
{
    auto* layer = Add(new MeshLayer, "Hero");
    layer->fShadowBlur.SetValue(0, 300.0f / 480.0f);
    layer->fShadowExpansion.SetValue(0, 40.0f / 480.0f);
    TestDlog& dialog = Open(layer);
    EXPECT_STREQ(dialog.fShadowBlur->Value(), "256");
    EXPECT_STREQ(dialog.fShadowExpansion->Value(), "30");
    Ok();
    EXPECT_NEAR(layer->fShadowBlur.GetValue(0) * 480.0f, 256.0f, 1e-3f);
    EXPECT_NEAR(layer->fShadowExpansion.GetValue(0) * 480.0f, 30.0f, 1e-3f);
}

TEST_F(LayerDlogTest, MaskingModesLoadAndStoreThroughTheOfferedButtons)
{
    struct Case {
        int32_t stored;
        int32_t button;
        int32_t written;
        bool excludeEnabled;
    };
    const Case cases[] = {
        { MM_MASKED, 0, MM_MASKED, false },
        { MM_NOTMASKED, 1, MM_NOTMASKED, false },
        { MM_ADD_MASK, 2, MM_ADD_MASK, true },
        { MM_SUB_MASK, 0, MM_MASKED, false }, // not offered: shown and stored as masked
        { MM_ADD_MASK_INVIS, 3, MM_ADD_MASK_INVIS, true },
        { MM_SUB_MASK_INVIS, 4, MM_SUB_MASK_INVIS, false },
        { MM_CLEAR_ADD_MASK, 5, MM_CLEAR_ADD_MASK, true },
        { 77, 0, MM_MASKED, false },
    };
    for (const Case& c : cases) {
        auto* layer = Add(new MeshLayer, "M");
        layer->SetMaskingMode(c.stored);
        TestDlog& dialog = Open(layer);
        for (int32_t i = 0; i < 6; i++)
            EXPECT_EQ(dialog.fMaskModes[i]->Value(), i == c.button) << c.stored << " " << i;
        EXPECT_EQ(dialog.fExcludeStrokes->IsEnabled(), c.excludeEnabled) << c.stored;
        Ok();
        EXPECT_EQ(layer->MaskingMode(), c.written) << c.stored;
    }
}

TEST_F(LayerDlogTest, OutOfRangeFieldsAreClampedInPlaceAndFailTheCheck)
{
    auto* layer = Add(new MeshLayer, "V");
    TestDlog& dialog = Open(layer);
    struct Case {
        QV_TextControl* field;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        { dialog.fOpacity, "150", "100" },
        { dialog.fBlur, "300", "256" },
        { dialog.fShadowOffset, "2000", "1024" },
        { dialog.fShadingContraction, "31", "30" },
        { dialog.fMotionBlurFrames, "0", "1" },
        { dialog.fMotionBlurAlphaEnd, "101", "100" },
        { dialog.fNoiseScale, "0", "1" },
        { dialog.fLineCount, "17", "16" },
    };
    for (const Case& c : cases)
        c.field->SetValue(c.typed);
    EXPECT_FALSE(dialog.OnValidate());
    for (const Case& c : cases)
        EXPECT_STREQ(c.field->Value(), c.shown) << c.typed;
    EXPECT_TRUE(dialog.OnValidate());

    auto* audio = Add(new AudioLayer, "A");
    TestDlog& sound = Open(audio);
    sound.fAudioLevel->SetValue("-2000");
    EXPECT_FALSE(sound.OnValidate());
    EXPECT_FLOAT_EQ(sound.fAudioLevel->FloatValue(), -1000.0f);
}

TEST_F(LayerDlogTest, WidgetsFollowTheirSwitches)
{
    auto* layer = Add(new MeshLayer, "V");
    TestDlog& dialog = Open(layer);
    EXPECT_FALSE(dialog.fShadowBlur->IsEnabled());
    dialog.fShadowOn->SetValue(true);
    dialog.Send(LD_SHADOW_ON);
    EXPECT_TRUE(dialog.fShadowBlur->IsEnabled());
    EXPECT_TRUE(dialog.fShadowColor->IsEnabled());

    dialog.fNoisyOutlines->SetValue(false);
    dialog.fNoisyFills->SetValue(true);
    dialog.Send(LD_NOISY_FILLS);
    EXPECT_TRUE(dialog.fNoiseOffset->IsEnabled());
    EXPECT_FALSE(dialog.fLineCount->IsEnabled());
    EXPECT_FALSE(dialog.fExtraSketchy->IsEnabled());

    auto* group = Add(new GroupLayer, "G");
    TestDlog& groupDialog = Open(group);
    groupDialog.fSortByDepth->SetValue(true);
    groupDialog.Send(LD_DEPTH_SORT);
    EXPECT_TRUE(groupDialog.fSortByDistance->IsEnabled());
    EXPECT_FALSE(groupDialog.fAnimatedOrder->IsEnabled());
}

// A file of the wrong kind leaves the box off and the path empty; unchecking forgets the file.
TEST_F(LayerDlogTest, HsvImageAndScriptTakeOnlyFilesOfTheirKind)
{
    auto* layer = Add(new MeshLayer, "V");
    TestDlog& dialog = Open(layer);
    dialog.fHsvImage->SetValue(true);
    dialog.fAnswer = "/tmp/notes.txt";
    dialog.Send(LD_HSV_IMAGE);
    EXPECT_FALSE(dialog.fHsvImage->Value());
    EXPECT_TRUE(dialog.fHsvPath.IsEmpty());
    ASSERT_EQ(dialog.fChoosers.size(), 1u);
    EXPECT_NE(dialog.fChoosers[0].find("*.png"), std::string::npos) << dialog.fChoosers[0];

    dialog.fHsvImage->SetValue(true);
    dialog.fAnswer = "/tmp/tint.png";
    dialog.Send(LD_HSV_IMAGE);
    EXPECT_TRUE(dialog.fHsvImage->Value());

    dialog.fScript->SetValue(true);
    dialog.fAnswer = "/tmp/wobble.lua";
    dialog.Send(LD_SCRIPT);
    EXPECT_TRUE(dialog.fScript->Value());
    Ok();
    EXPECT_STREQ(layer->HsvImage().CString(), "/tmp/tint.png");
    EXPECT_STREQ(layer->fLayerScript.CString(), "/tmp/wobble.lua");

    TestDlog& again = Open(layer);
    again.fScript->SetValue(false);
    again.Send(LD_SCRIPT);
    Ok();
    EXPECT_TRUE(layer->fLayerScript.IsEmpty());
    EXPECT_STREQ(layer->HsvImage().CString(), "/tmp/tint.png");
}

// One movie per document: a still image layer may not become a second movie layer, while the
// movie layer itself may change its movie.
TEST_F(LayerDlogTest, ASecondMovieIsRefusedWithTheOneVideoAlert)
{
    auto* movie = Add(new ImageLayer, "Movie");
    movie->SetSourceImage("/tmp/first.avi");
    auto* still = Add(new ImageLayer, "Still");
    still->SetSourceImage("/tmp/still.png");

    TestDlog& dialog = Open(still);
    dialog.Send(LD_SOURCE_IMAGE, "/tmp/second.mov");
    EXPECT_TRUE(dialog.fLoopMovie->IsEnabled());
    Ok();
    ASSERT_EQ(dialog.fAlerts.size(), 1u);
    EXPECT_EQ(dialog.fAlerts[0], "No more than one video layer is allowed.");
    EXPECT_STREQ(still->SourceImage().CString(), "/tmp/still.png");

    TestDlog& own = Open(movie);
    own.Send(LD_SOURCE_IMAGE, "/tmp/third.avi");
    Ok();
    EXPECT_TRUE(own.fAlerts.empty());
    EXPECT_STREQ(movie->SourceImage().CString(), "/tmp/third.avi");

    // Another still is always fine.
    TestDlog& picture = Open(still);
    picture.Send(LD_SOURCE_IMAGE, "/tmp/other.png");
    EXPECT_FALSE(picture.fLoopMovie->IsEnabled());
    Ok();
    EXPECT_TRUE(picture.fAlerts.empty());
    EXPECT_STREQ(still->SourceImage().CString(), "/tmp/other.png");
}

TEST_F(LayerDlogTest, TheLipSyncMenuListsTheDocumentsAudioLayers)
{
    auto* switcher = Add(new SwitchLayer, "Mouth");
    auto labels = [](QV_Menu* menu) {
        std::vector<std::string> out;
        for (int32_t i = 0; i < menu->CountItems(); i++)
            out.push_back(menu->fLabels[i].IsEmpty() ? "-" : menu->fLabels[i].CString());
        return out;
    };
    TestDlog& bare = Open(switcher);
    EXPECT_EQ(labels(bare.fLipSync->Menu()), (std::vector<std::string> { "None", "-", "Switch Data File..." }));
    EXPECT_EQ(bare.fLipSync->Menu()->FirstCheckedMsg(), LD_LIPSYNC_NONE);

    Add(new AudioLayer, "Voice");
    Add(new AudioLayer, "Music");
    TestDlog& withAudio = Open(switcher);
    EXPECT_EQ(labels(withAudio.fLipSync->Menu()),
        (std::vector<std::string> { "None", "-", "Voice", "Music", "-", "Switch Data File..." }));
    EXPECT_EQ(withAudio.fLipSync->Menu()->IsChecked(LD_LIPSYNC_FIRST + 1), false);

    // Choosing a data file and cancelling its chooser leaves None checked.
    withAudio.Send(LD_SWITCH_DATA);
    EXPECT_EQ(withAudio.fLipSync->Menu()->FirstCheckedMsg(), LD_LIPSYNC_NONE);
}

// Ten mouth shapes: the loudness buckets become "rest", "etc", "E", "L" and "AI", one key where
// the bucket changes; old keys over the sound's length go.
TEST_F(LayerDlogTest, LipSyncOntoMouthShapesKeysTheFiveBuckets)
{
    MediaFolder folder;
    const std::string wav = folder.Path("voice.wav");
    WriteLevelsWav(wav, { 0.0f, 0.0f, 0.4f, 0.4f, 0.4f, 0.8f, 0.2f, 0.2f, 0.6f, 0.0f });
    auto* voice = Add(new AudioLayer, "Voice");
    ASSERT_EQ(voice->SetAudioFile(wav.c_str()), 0);
    auto* mouth = Add(new SwitchLayer, "Mouth");
    for (const char* name : { "rest", "etc", "FV", "L", "MBP", "O", "E", "AI", "U", "WQ" }) {
        auto* shape = new MeshLayer;
        shape->SetName(name);
        mouth->AddLayer(shape);
    }
    ASSERT_TRUE(mouth->HasPhonemeLayers());
    mouth->SetValue(4, "MBP");
    mouth->SetValue(40, "WQ");

    GenerateKeysThroughDialog(mouth);

    AnimString* keys = mouth->SwitchValues();
    std::vector<std::pair<int32_t, std::string>> got;
    for (int32_t i = 0; i < keys->CountKeys(); i++) {
        const int32_t frame = keys->fKeyFrames[i];
        if (frame > 0)
            got.emplace_back(frame, keys->GetValue(frame).CString());
    }
    const std::vector<std::pair<int32_t, std::string>> expected
        = { { 1, "rest" }, { 3, "E" }, { 6, "AI" }, { 7, "etc" }, { 9, "L" }, { 10, "rest" }, { 40, "WQ" } };
    EXPECT_EQ(got, expected);
}

TEST_F(LayerDlogTest, LipSyncOntoPlainSubLayersNamesThemByLoudness)
{
    MediaFolder folder;
    const std::string wav = folder.Path("voice.wav");
    WriteLevelsWav(wav, { 0.0f, 0.8f, 0.4f, 0.4f, 0.0f });
    auto* voice = Add(new AudioLayer, "Voice");
    ASSERT_EQ(voice->SetAudioFile(wav.c_str()), 0);
    auto* hand = Add(new SwitchLayer, "Hand");
    for (const char* name : { "open", "half", "fist" }) {
        auto* shape = new MeshLayer;
        shape->SetName(name);
        hand->AddLayer(shape);
    }
    GenerateKeysThroughDialog(hand);
    AnimString* keys = hand->SwitchValues();
    std::vector<std::pair<int32_t, std::string>> got;
    for (int32_t i = 0; i < keys->CountKeys(); i++) {
        if (keys->fKeyFrames[i] > 0)
            got.emplace_back(keys->fKeyFrames[i], keys->GetValue(keys->fKeyFrames[i]).CString());
    }
    const std::vector<std::pair<int32_t, std::string>> expected
        = { { 1, "open" }, { 2, "fist" }, { 3, "half" }, { 5, "open" } };
    EXPECT_EQ(got, expected);
}

TEST_F(LayerDlogTest, LipSyncFromASoundWithoutDataChangesNothing)
{
    auto* silent = Add(new AudioLayer, "Missing");
    silent->SetAudioFile("/nonexistent/voice.wav");
    ASSERT_EQ(silent->Sound(), nullptr);
    auto* hand = Add(new SwitchLayer, "Hand");
    for (const char* name : { "open", "fist" }) {
        auto* shape = new MeshLayer;
        shape->SetName(name);
        hand->AddLayer(shape);
    }
    hand->SetValue(3, "fist");
    GenerateKeysThroughDialog(hand);
    EXPECT_EQ(hand->SwitchValues()->CountKeys(), 2);
    EXPECT_STREQ(hand->GetValue(3).CString(), "fist");
}

TEST_F(LayerDlogTest, KindPagesWriteTheirSettings)
{
    auto* particles = Add(new ParticleLayer, "Sparks");
    TestDlog& p = Open(particles);
    p.fParticleCount->SetValue(int32_t(40));
    p.fPreviewParticles->SetValue(int32_t(90));
    p.fSpread->SetValue(90.0f);
    p.fOnAtStart->SetValue(false);
    Ok();
    int32_t total = 0;
    int32_t preview = 0;
    particles->GetNumParticles(total, preview);
    EXPECT_EQ(total, 40);
    EXPECT_EQ(preview, 40);
    float direction = 0;
    float spread = 0;
    particles->GetDirection(direction, spread);
    EXPECT_NEAR(spread, 0.25f * 3.14159265f, 1e-4f);
    EXPECT_FALSE(particles->fActivation.GetValue(0));

    auto* vector = Add(new MeshLayer, "V");
    TestDlog& v = Open(vector);
    v.fNoiseOffset->SetValue(int32_t(12));
    v.fLineCount->SetValue(int32_t(3));
    Ok();
    EXPECT_NEAR(vector->fNoiseAmp * 480.0f, 12.0f, 1e-3f);
    EXPECT_EQ(vector->fExtraLines, 2);

    auto* bones = Add(new BoneLayer, "Rig");
    TestDlog& b = Open(bones);
    b.fRegionBinding->SetValue(true);
    b.fAnimatedOrder->SetValue(false);
    Ok();
    EXPECT_EQ(bones->fSkeleton.fBindingMode, 2);

    auto* model = Add(new Mesh3DLayer, "Cube");
    TestDlog& m = Open(model);
    m.fEdgeOffset->SetValue(0.25f);
    m.f3DWarp->SetValue(true);
    m.fCounterClockwise->SetValue(true);
    Ok();
    EXPECT_FLOAT_EQ(model->EdgeOffset(), 0.25f);
    EXPECT_EQ(model->LayerParentBone(), -3);
    EXPECT_FALSE(model->fMesh.Clockwise());
}

// With "Noisy outlines" off the figure has one smooth outline; three noisy outlines differ from it.
TEST_F(LayerDlogTest, TheNoisePreviewJittersItsOutlines)
{
    auto* layer = Add(new MeshLayer, "V");
    TestDlog& dialog = Open(layer);
    auto draw = [&] {
        QV_BaseImage image;
        image.Allocate(160, 32, 32);
        dialog.fNoisePreview->DrawFigure(&image.buffer);
        return std::string(reinterpret_cast<const char*>(image.buffer.pixels), size_t(image.buffer.rowBytes) * 32);
    };
    dialog.fNoisyOutlines->SetValue(false);
    dialog.fNoisyFills->SetValue(false);
    dialog.fNoiseOffset->SetValue(int32_t(6));
    dialog.fNoiseScale->SetValue(int32_t(20));
    const std::string smooth = draw();
    dialog.fLineCount->SetValue(int32_t(3));
    EXPECT_EQ(draw(), smooth);
    dialog.fNoisyOutlines->SetValue(true);
    const std::string noisy = draw();
    EXPECT_NE(noisy, smooth);
    dialog.fLineCount->SetValue(int32_t(1));
    EXPECT_NE(draw(), noisy);

    // On the screen: the field colour around the figure, the selection colour inside it.
    MakeLayer(200, 60);
    auto* preview = Place(new NoisePreview(&dialog, 24.0f), 10, 10);
    preview->StopAnimation();
    preview->Draw();
    auto rgb = [](rgb_color c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; };
    EXPECT_EQ(Pixel(10 + 6, 10 + 16), rgb(TextBackground));
    EXPECT_EQ(Pixel(10 + 80, 10 + 16), rgb(Selection));
}

// In the real modal loop: OK with opacity 150 beeps, shows 100 and keeps the dialog; the next OK
// closes it with one undo level. Cancel changes nothing and makes no level.
TEST_F(LayerDlogTest, OkMakesOneUndoLevelAfterTheClampAndCancelNone)
{
    auto* layer = Add(new MeshLayer, "Layer 1");
    fDoc.PrepUndo(nullptr);
    LayerDlog::sOpenedHook = [](LayerDlog* dialog) {
        if (!gDriver)
            return;
        gDriver->fDialog = dialog;
        dialog->fWindow->AddTimer(0.01f, gDriver, 1);
    };
    auto run = [&](std::function<void(LayerDlog*)> step) {
        ModalDriver driver;
        driver.fStep = std::move(step);
        gDriver = &driver;
        const bool ok = RunLayerSettings(nullptr, &fDoc, layer);
        gDriver = nullptr;
        EXPECT_TRUE(driver.fDone);
        return ok;
    };

    std::string shownAfterBeep;
    bool stayed = false;
    EXPECT_TRUE(run([&](LayerDlog* dialog) {
        dialog->fName->SetValue("Hero");
        dialog->fOpacity->SetValue("150");
        dialog->PostMessage(MSG_OK);
        shownAfterBeep = dialog->fOpacity->Value();
        stayed = dialog->fWindow && !dialog->fWindow->fModalDone;
        dialog->PostMessage(MSG_OK);
    }));
    EXPECT_EQ(gBeeps, 1);
    EXPECT_EQ(shownAfterBeep, "100");
    EXPECT_TRUE(stayed);
    EXPECT_EQ(fDoc.fUndoLevel, 1);
    EXPECT_STREQ(layer->Name().CString(), "Hero");

    EXPECT_FALSE(run([&](LayerDlog* dialog) {
        dialog->fName->SetValue("Villain");
        dialog->PostMessage(MSG_CANCEL);
    }));
    EXPECT_EQ(fDoc.fUndoLevel, 1);
    EXPECT_STREQ(layer->Name().CString(), "Hero");

    fDoc.Undo();
    EXPECT_STREQ(fDoc.Layer(0)->Name().CString(), "Layer 1");
}
