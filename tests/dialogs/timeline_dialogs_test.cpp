// The timeline's dialogs: loaded, validated and applied as their OK button would, without a
// window.
#include <gtest/gtest.h>

#include "app_prefs.h"
#include "channelinfo.h"
#include "meshlayer.h"
#include "plat_beep.h"
#include "qv_check_box.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_text_control.h"
#include "timeline_dialogs.h"
#include "timeline_wnd.h"
#include "vorndoc.h"

namespace {

int gBeeps = 0;

TEST(NoiseDlog, StoresTheReciprocalAndRefusesAScaleOfZero)
{
    float amplitude = 0.1f;
    float scale = 2.0f;
    NoiseDlog dialog(nullptr, &amplitude, &scale);
    dialog.ExchangeData(false);
    EXPECT_FLOAT_EQ(dialog.fScaleField->FloatValue(), 2.0f);
    dialog.fAmplitudeField->SetValue("0.5");
    dialog.fScaleField->SetValue("4");
    ASSERT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_FLOAT_EQ(amplitude, 0.5f);
    EXPECT_FLOAT_EQ(scale, 0.25f);

    gBeeps = 0;
    PlatSetBeepHook([] { gBeeps++; });
    dialog.fScaleField->SetValue("0");
    EXPECT_FALSE(dialog.OnValidate());
    PlatSetBeepHook(nullptr);
    EXPECT_EQ(gBeeps, 1);
    EXPECT_FLOAT_EQ(dialog.fScaleField->FloatValue(), kMinNoiseScale);
    dialog.ExchangeData(true);
    EXPECT_FLOAT_EQ(scale, 1.0f / kMinNoiseScale);
}

TEST(CycleDlog, RelativeCountsAreAtLeastOneAbsoluteFramesMayBeZero)
{
    int32_t relative = -1;
    int32_t absolute = 1;
    CycleDlog dialog(nullptr, &relative, &absolute);
    dialog.ExchangeData(false);
    EXPECT_TRUE(dialog.fAbsoluteButton->Value());
    EXPECT_EQ(dialog.fValueField->IntValue(), 1);

    dialog.fValueField->SetValue("0");
    EXPECT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(absolute, 0);
    EXPECT_EQ(relative, -1);

    dialog.fRelativeButton->SetValue(true);
    dialog.fAbsoluteButton->SetValue(false);
    EXPECT_FALSE(dialog.OnValidate());
    EXPECT_EQ(dialog.fValueField->IntValue(), 1);
    EXPECT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(relative, 1);
    EXPECT_EQ(absolute, -1);
}

TEST(HideChannelsDlog, DefaultInterpolationAndSwitches)
{
    VornDoc doc;
    auto* layer = new MeshLayer;
    doc.AddLayer(layer);
    doc.SetSelLayer(layer);
    const int32_t saved = gPrefs.defaultInterp;

    struct Case {
        int32_t stored;
        int32_t item;
        int32_t after;
    };
    for (const Case& c : { Case { 5, 6903, 1 }, Case { 6, 6903, 1 }, Case { 0, 6904, 0 }, Case { 8, 6909, 8 } }) {
        gPrefs.defaultInterp = c.stored;
        HideChannelsDlog dialog(&doc, nullptr);
        dialog.ExchangeData(false);
        EXPECT_EQ(dialog.fInterpPopup->Menu()->FirstCheckedMsg(), c.item) << c.stored;
        dialog.ExchangeData(true);
        EXPECT_EQ(gPrefs.defaultInterp, c.after) << c.stored;
    }

    // "None" turns off the layer's channels only.
    ResetChannelSwitches();
    std::vector<bool> present(64, false);
    for (int32_t i = 0; i < layer->CountChannels(); i++) {
        ChannelInfo info;
        layer->GetChannelInfo(i, info);
        present[size_t(info.fID - 10000)] = true;
    }
    int32_t absent = -1;
    for (int32_t i = 0; i < 64 && absent < 0; i++) {
        if (!present[size_t(i)] && gChannelSwitches[i])
            absent = i;
    }
    ASSERT_GE(absent, 0);
    HideChannelsDlog dialog(&doc, nullptr);
    dialog.ExchangeData(false);
    QV_Message none(6902);
    dialog.HandleMessage(&none);
    dialog.ExchangeData(true);
    for (int32_t i = 0; i < 64; i++) {
        if (present[size_t(i)]) {
            EXPECT_FALSE(gChannelSwitches[i]) << i;
        }
    }
    EXPECT_TRUE(gChannelSwitches[absent]);

    // Columns begin only at the group rows.
    for (int32_t i = 1; i < layer->CountChannels(); i++) {
        ChannelInfo info;
        layer->GetChannelInfo(i, info);
        EXPECT_EQ(dialog.fColumnOf[i] != dialog.fColumnOf[i - 1], info.fSeparator) << i;
    }
    gPrefs.defaultInterp = saved;
    ResetChannelSwitches();
}

} // namespace
