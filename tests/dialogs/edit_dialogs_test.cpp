// The grid, audio level, copy frame, rescale and blend morphs dialogs: loaded, validated and
// applied as their OK button would, without a window; their alerts answered by the test.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app_prefs.h"
#include "audiolayer.h"
#include "channelinfo.h"
#include "edit_dialogs.h"
#include "meshlayer.h"
#include "qv_check_box.h"
#include "qv_message.h"
#include "qv_slider.h"
#include "qv_text_control.h"
#include "vorndoc.h"

namespace {

int32_t gAnswer = 0;
std::vector<std::string> gAlerts;

int32_t Answer(QV_Wnd*, int32_t, const char* line1, const char*, const char*, const char*)
{
    gAlerts.push_back(line1 ? line1 : "");
    return gAnswer;
}

class EditDialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        fSaved = gEditDialogAlert;
        gEditDialogAlert = Answer;
        gAlerts.clear();
        gAnswer = 0;
        fLayer = new MeshLayer;
        fDoc.AddLayer(fLayer);
        fDoc.SetSelLayer(fLayer);
    }
    void TearDown() override { gEditDialogAlert = fSaved; }

    // The row of the channel table with that id.
    int32_t RowOf(int32_t id)
    {
        for (int32_t i = 0; i < fLayer->CountChannels(); i++) {
            ChannelInfo info;
            fLayer->GetChannelInfo(i, info);
            if (info.fID == id)
                return i;
        }
        return -1;
    }
    // The frames of the channel's keys.
    std::vector<int32_t> Keys(AnimChannel& channel)
    {
        std::vector<int32_t> frames;
        for (int32_t i = 0; i < channel.CountKeys(); i++)
            frames.push_back(channel.GetKeyWhen(i));
        return frames;
    }
    void KeyTranslation(const std::vector<int32_t>& frames)
    {
        for (int32_t frame : frames)
            fLayer->fTranslation.SetValue(frame, QV_Vector3 { float(frame), 0, 0 });
    }

    VornDoc fDoc;
    MeshLayer* fLayer = nullptr;
    decltype(gEditDialogAlert) fSaved = nullptr;
};

TEST_F(EditDialogs, GridSpacingIsClampedTruncatedAndShowsTheGrid)
{
    const EditorToggles saved = gToggles;
    gToggles.gridSize = 20;
    gToggles.gridShown = false;
    GridSettingsDlog dialog(nullptr);
    dialog.ExchangeData(false);
    EXPECT_EQ(dialog.fSpacing->IntValue(), 20);
    for (const auto& [typed, shown] : std::vector<std::pair<const char*, int32_t>> { { "0", 1 }, { "2000", 1024 } }) {
        dialog.fSpacing->SetValue(typed);
        EXPECT_FALSE(dialog.OnValidate()) << typed;
        EXPECT_EQ(dialog.fSpacing->IntValue(), shown) << typed;
    }
    dialog.fSpacing->SetValue("12.7");
    ASSERT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(gToggles.gridSize, 12);
    EXPECT_TRUE(gToggles.gridShown);
    gToggles = saved;
}

TEST_F(EditDialogs, AudioLevelIsKeyedAtTheLayerFrame)
{
    auto* audio = new AudioLayer;
    fDoc.AddLayer(audio);
    fDoc.SetSelLayer(audio);
    audio->SetTimingOffset(3);
    fDoc.SetCurFrame(4);
    ASSERT_EQ(audio->CurFrame(), 7);
    AudioLevelDlog dialog(&fDoc, nullptr);
    dialog.ExchangeData(false);
    EXPECT_FLOAT_EQ(dialog.fLevel->FloatValue(), audio->fAudioLevel.value);
    dialog.fLevel->SetValue("1500");
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_FLOAT_EQ(dialog.fLevel->FloatValue(), 1000);
    dialog.fLevel->SetValue("0.35");
    ASSERT_TRUE(dialog.OnValidate());
    ASSERT_FALSE(audio->fAudioLevel.HasKey(7));
    dialog.ExchangeData(true);
    EXPECT_TRUE(audio->fAudioLevel.HasKey(7));
    EXPECT_FLOAT_EQ(audio->fAudioLevel.GetValue(7), 0.35f);
    EXPECT_EQ(fDoc.fUndoLevel, 1);
    EXPECT_TRUE(fDoc.fDirty);
}

TEST_F(EditDialogs, CopyFrameFollowsTheTimingOffset)
{
    fLayer->SetTimingOffset(10);
    fLayer->fRotationZ.SetValue(15, 2.5f);
    fLayer->fRotationZ.SetValue(16, 9.0f);
    fDoc.SetCurFrame(5);
    CopyFrameDlog dialog(&fDoc, nullptr);
    dialog.ExchangeData(false);
    EXPECT_EQ(dialog.fFrame->IntValue(), 0);
    const int32_t row = RowOf(CHANNEL_LAYER_ROT_Z);
    ASSERT_GE(row, 0);
    dialog.fRows.fChecks[row]->SetValue(true);
    dialog.fFrame->SetValue("20");
    ASSERT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    // Document frame 5 is the layer's 15; target 20 its 30.
    EXPECT_TRUE(fLayer->fRotationZ.HasKey(30));
    EXPECT_FLOAT_EQ(fLayer->fRotationZ.GetValue(30), 2.5f);
    EXPECT_FALSE(fLayer->fRotationZ.HasKey(20));
    // Unchecked rows are left alone.
    EXPECT_EQ(fLayer->fTranslation.CountKeys(), 1);
    EXPECT_EQ(fDoc.fUndoLevel, 1);
}

TEST_F(EditDialogs, CopyingTheWholeDocumentAsksAndClearsTheUndoHistory)
{
    fDoc.PrepUndo(fLayer);
    fLayer->fAlpha.SetValue(4, 0.5f);
    fDoc.SetCurFrame(4);
    CopyFrameDlog dialog(&fDoc, nullptr);
    dialog.ExchangeData(false);
    dialog.fFrame->SetValue("-3");
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(dialog.fFrame->IntValue(), 0);
    dialog.fFrame->SetValue("9");
    dialog.fEntireDocument->SetValue(true);
    QV_Message toggle(6701);
    dialog.HandleMessage(&toggle);
    EXPECT_FALSE(dialog.fRows.fChecks[0]->IsEnabled());
    gAnswer = 1;
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(gAlerts.size(), 1u);
    gAnswer = 0;
    ASSERT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(fDoc.fUndoLevel, 0);
    EXPECT_FLOAT_EQ(fLayer->fAlpha.GetValue(9), 0.5f);
    EXPECT_TRUE(fLayer->fAlpha.HasKey(9));
    EXPECT_TRUE(fDoc.fCameraZoom.HasKey(9));
}

TEST(KeyRescale, KeysMoveByTheMappingExactlyOnce)
{
    struct Case {
        KeyRescale rescale;
        int32_t offset;
        std::vector<int32_t> before;
        std::vector<int32_t> after;
    };
    const Case cases[] = {
        // Stretched twice: the range doubles, later keys follow the end, frame 0 stays.
        { { 1, 10, 1, 20 }, 0, { 0, 5, 10, 15 }, { 0, 10, 20, 25 } },
        // Halved: 1.5 rounds to 2, later keys come back by 10.
        { { 1, 20, 1, 10 }, 0, { 0, 3, 20, 30 }, { 0, 2, 10, 20 } },
        // Compressed and moved later: a key walked in place would meet its moved neighbours.
        { { 1, 10, 11, 15 }, 0, { 0, 2, 4, 6, 8, 10, 12 }, { 0, 11, 12, 13, 14, 15, 17 } },
        // Stretched with its start moved earlier: 5 lands on 2 and replaces the key there.
        { { 5, 8, 1, 8 }, 0, { 0, 2, 5, 6, 8, 9 }, { 0, 2, 4, 8, 9 } },
        // A timing offset of 5: channel frames 10..15 are document frames 5..10.
        { { 5, 10, 5, 15 }, 5, { 0, 10, 15, 16 }, { 0, 11, 20, 21 } },
    };
    for (const Case& c : cases) {
        AnimVal channel;
        for (int32_t frame : c.before) {
            channel.SetValue(frame, float(frame));
            channel.SetKeyInterp(frame, 3, 0, 0);
        }
        RescaleChannel(&channel, c.rescale, c.offset);
        std::vector<int32_t> frames;
        for (int32_t i = 0; i < channel.CountKeys(); i++)
            frames.push_back(channel.GetKeyWhen(i));
        EXPECT_EQ(frames, c.after) << c.rescale.newStart << ".." << c.rescale.newEnd;
        // Values and interpolation move with their keys.
        EXPECT_FLOAT_EQ(channel.GetValue(c.after.back()), float(c.before.back()));
        EXPECT_EQ(channel.GetKeyInterpMode(c.after.back()), 3);
    }
}

TEST_F(EditDialogs, RescaleWorksOnTheCheckedRows)
{
    KeyTranslation({ 5, 10, 15 });
    fLayer->fAlpha.SetValue(10, 0.5f);
    ScaleKeysDlog dialog(&fDoc, nullptr);
    dialog.ExchangeData(false);
    EXPECT_EQ(dialog.fStart->IntValue(), 1);
    EXPECT_EQ(dialog.fNewStart->IntValue(), 1);
    EXPECT_EQ(dialog.fEnd->IntValue(), 15);
    EXPECT_EQ(dialog.fNewEnd->IntValue(), 15);
    dialog.fStart->SetValue("40");
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(dialog.fStart->IntValue(), 15);
    dialog.fStart->SetValue("1");
    dialog.fEnd->SetValue("10");
    dialog.fNewEnd->SetValue("0");
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(dialog.fNewEnd->IntValue(), 2);
    dialog.fNewEnd->SetValue("20");
    dialog.fRows.fChecks[RowOf(CHANNEL_LAYER_T)]->SetValue(true);
    ASSERT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(Keys(fLayer->fTranslation), (std::vector<int32_t> { 0, 10, 20, 25 }));
    EXPECT_EQ(Keys(fLayer->fAlpha), (std::vector<int32_t> { 0, 10 }));
    EXPECT_EQ(fDoc.fUndoLevel, 1);

    // The whole document: the end follows the document's duration; No keeps the dialog open.
    QV_Message toggle(6801);
    dialog.fEntireDocument->SetValue(true);
    dialog.HandleMessage(&toggle);
    EXPECT_EQ(dialog.fEnd->IntValue(), 25);
    EXPECT_EQ(dialog.fNewEnd->IntValue(), 25);
    gAnswer = 1;
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(gAlerts.size(), 1u);
}

// A one-frame action of the layer's Z rotation.
void MakeMorph(VornLayer& layer, const char* name, float value)
{
    layer.ActivatePose(name, true);
    layer.fRotationZ.SetValue(1, value);
    layer.ActivatePose(nullptr, false);
}

TEST_F(EditDialogs, BlendMorphsPreviewsAndKeepsOnlyWhatOkApplies)
{
    // Only actions of several frames: the alert and no dialog.
    fLayer->ActivatePose("walk", true);
    fLayer->fRotationZ.SetValue(6, 1.0f);
    fLayer->ActivatePose(nullptr, false);
    {
        PoseBlendDlog none(&fDoc, nullptr);
        EXPECT_FALSE(none.HasMorphs());
        EXPECT_EQ(gAlerts.size(), 1u);
    }

    MakeMorph(*fLayer, "smile", 8);
    fLayer->fRotationZ.SetValue(10, 4);
    fDoc.SetCurFrame(10);
    const float before = fLayer->fRotationZ.GetValue(10);
    PoseBlendDlog dialog(&fDoc, nullptr);
    ASSERT_TRUE(dialog.HasMorphs());
    ASSERT_EQ(dialog.fCount, 2);
    EXPECT_EQ(dialog.fNames[1], QV_String("smile"));
    dialog.fSliders[1]->fValue = 50;
    QV_Message moved(9101);
    dialog.HandleMessage(&moved);
    // The preview was taken back at once: Cancel leaves the layer as it was.
    EXPECT_FLOAT_EQ(fLayer->fRotationZ.GetValue(10), before);
    EXPECT_FLOAT_EQ(fLayer->fRotationZ.value, before);

    dialog.ExchangeData(true);
    EXPECT_FLOAT_EQ(fLayer->fRotationZ.GetValue(10), 6);
    EXPECT_EQ(fDoc.fUndoLevel, 1);
}

} // namespace
