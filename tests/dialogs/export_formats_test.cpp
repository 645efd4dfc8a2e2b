// Export format numbering and the Export Animation dialog's values.
#include <gtest/gtest.h>

#include "anim_dlog.h"
#include "app_prefs.h"
#include "export_formats.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "plat_beep.h"
#include "qv_check_box.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_text_control.h"
#include "render_settings.h"
#include "vorndoc.h"
#include "window_test_support.h"

namespace {

int gBeeps = 0;

class ExportFormatsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ImageFormatRegistry::Init();
        fWasQuickTime = gQuickTimePresent;
        gQuickTimePresent = true;
    }
    void TearDown() override { gQuickTimePresent = fWasQuickTime; }
    bool fWasQuickTime = false;
};

TEST_F(ExportFormatsTest, ListPositionsMapToFormatsKindsAndExtensions)
{
    const int32_t n = ExportWriterCount();
    ASSERT_GT(n, 0);
    struct Case {
        int32_t position;
        int32_t format;
        ExportKind kind;
        const char* extension;
    };
    const Case cases[] = {
        { PngWriterIndex, PngWriterIndex, ExportKind::Images, "png" },
        { n, kRenderFormatPSD, ExportKind::LayeredPSD, "psd" },
        { n + 1, n, ExportKind::Movie, "avi" },
        { n + 2, n + 1, ExportKind::Movie, "mov" },
        { n + 3, n + 2, ExportKind::SWF, "swf" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(FormatOfListPosition(c.position), c.format);
        EXPECT_EQ(ListPositionOfFormat(c.format), c.position);
        EXPECT_EQ(KindOfFormat(c.format), c.kind);
        EXPECT_STREQ(FormatExtension(c.format).CString(), c.extension);
    }
    EXPECT_EQ(AviListPosition(), n + 1);
    EXPECT_EQ(SwfListPosition(), n + 3);
    // Without the movie libraries SWF moves up one.
    gQuickTimePresent = false;
    EXPECT_EQ(KindOfFormat(n + 1), ExportKind::SWF);
    EXPECT_EQ(SwfListPosition(), n + 2);
}

TEST_F(ExportFormatsTest, SizesOfSwfFramesAndExportWindows)
{
    struct Case {
        int32_t width, height, swfWidth, swfHeight;
    };
    for (const Case& c : { Case { 2000, 1500, 1024, 768 }, Case { 1000, 750, 1000, 750 }, Case { 600, 2400, 256, 1024 },
             Case { 1025, 10, 1024, 10 } }) {
        int32_t w = c.width;
        int32_t h = c.height;
        ClampSwfSize(w, h);
        EXPECT_EQ(w, c.swfWidth) << c.width << " x " << c.height;
        EXPECT_EQ(h, c.swfHeight) << c.width << " x " << c.height;
    }
    int32_t w = 0;
    int32_t h = 0;
    ExportWindowSize(4000, 300, 1280, 1024, w, h);
    EXPECT_EQ(w, 1184);
    EXPECT_EQ(h, 332);
}

TEST_F(ExportFormatsTest, OutputBesideTheProject)
{
    const int32_t n = ExportWriterCount();
    EXPECT_STREQ(OutputPathBeside("/a/b/walk.celv", "walk.celv", n).CString(), "/a/b/walk.avi");
    EXPECT_STREQ(OutputPathBeside("/a/b.c/run", "run", PngWriterIndex).CString(), "/a/b.c/run.png");
    EXPECT_STREQ(OutputPathBeside("walk.celv", "walk.celv", kRenderFormatPSD).CString(), "walk.psd");
}

class AnimDlogTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ImageFormatRegistry::Init();
        fWasQuickTime = gQuickTimePresent;
        gQuickTimePresent = true;
        gPrefs.preferredFormat = AviListPosition();
        ExportTemplateDocument = nullptr;
        ExportEndAtAnimationEnd = false;
        gBeeps = 0;
        PlatSetBeepHook([] { gBeeps++; });
    }
    void TearDown() override
    {
        PlatSetBeepHook(nullptr);
        ExportTemplateDocument = nullptr;
        gQuickTimePresent = fWasQuickTime;
        WindowTest::TearDown();
    }
    bool fWasQuickTime = false;
};

TEST_F(AnimDlogTest, ValidationClampsBeepsAndStaysOpen)
{
    VornDoc doc;
    doc.SetStartFrame(1);
    doc.SetEndFrame(24);
    RenderSettings settings;
    AnimDlog dialog(&doc, &settings, nullptr);
    dialog.ExchangeData(false);
    EXPECT_EQ(dialog.fStart->IntValue(), 1);
    EXPECT_EQ(dialog.fEnd->IntValue(), 24);

    dialog.fStart->SetValue(int32_t(5));
    dialog.fEnd->SetValue(int32_t(3));
    QV_Message ok(MSG_OK);
    dialog.HandleMessage(&ok);
    EXPECT_EQ(gBeeps, 1);
    EXPECT_EQ(dialog.fEnd->IntValue(), 5);

    // The reading of a field stops at a million, which passes and is stored.
    dialog.fStart->SetValue(int32_t(1));
    dialog.fEnd->SetValue("2000000");
    EXPECT_TRUE(dialog.OnValidate());
    dialog.ExchangeData(true);
    EXPECT_EQ(settings.fEndFrame, 1000000);
    EXPECT_EQ(ExportSettingsTemplate().fEndFrame, 1000000);
}

TEST_F(AnimDlogTest, EndFollowsTheKeysAndTheTemplateIsKeptPerDocument)
{
    VornDoc doc;
    doc.SetStartFrame(1);
    doc.SetEndFrame(0);
    doc.fCameraTrack.AddKey(48);
    ASSERT_EQ(doc.AnimDuration(), 48);
    {
        RenderSettings settings;
        AnimDlog dialog(&doc, &settings, nullptr);
        dialog.ExchangeData(false);
        EXPECT_EQ(dialog.fEnd->IntValue(), 48);
        dialog.fStart->SetValue(int32_t(3));
        dialog.fHalfSize->SetValue(true);
        dialog.ExchangeData(true);
    }
    {
        // The same document again: the last values.
        RenderSettings settings;
        AnimDlog dialog(&doc, &settings, nullptr);
        EXPECT_EQ(settings.fStartFrame, 3);
        EXPECT_TRUE(settings.fHalfSize);
    }
    VornDoc other;
    other.SetStartFrame(2);
    other.SetEndFrame(10);
    RenderSettings settings;
    AnimDlog dialog(&other, &settings, nullptr);
    EXPECT_EQ(settings.fStartFrame, 2);
    EXPECT_EQ(settings.fEndFrame, 10);
    EXPECT_FALSE(settings.fHalfSize);
}

TEST_F(AnimDlogTest, SwfDisablesTheRasterOptionsAndAFormatNotOfferedFallsBackToAvi)
{
    VornDoc doc;
    doc.SetEndFrame(10);
    RenderSettings settings;
    gPrefs.preferredFormat = PngWriterIndex;
    AnimDlog dialog(&doc, &settings, nullptr);
    dialog.ExchangeData(false);
    EXPECT_EQ(dialog.fFormatMenu->FirstCheckedMsg(), kAnimDlogFormatFirst + AviListPosition());
    EXPECT_TRUE(dialog.fLayerEffects->IsEnabled());

    dialog.ChooseListPosition(SwfListPosition());
    EXPECT_FALSE(dialog.fLayerEffects->IsEnabled());
    EXPECT_FALSE(dialog.fExtraSmooth->IsEnabled());
    EXPECT_TRUE(dialog.fHalfSize->IsEnabled());
    dialog.ExchangeData(true);
    EXPECT_EQ(KindOfFormat(settings.fFormat), ExportKind::SWF);
    EXPECT_EQ(gPrefs.preferredFormat, SwfListPosition());

    dialog.ChooseListPosition(AviListPosition());
    EXPECT_TRUE(dialog.fLayerEffects->IsEnabled());
    EXPECT_TRUE(dialog.fExtraSmooth->IsEnabled());
}

TEST_F(AnimDlogTest, ProposedNameTakesTheFormatsExtensionInTheDocumentsFolder)
{
    VornDoc doc;
    doc.SetPath("/home/someone/films/walk.celv");
    QV_String name;
    QV_String folder;
    ProposedExportName(&doc, ExportWriterCount() + 1, name, folder);
    EXPECT_STREQ(name.CString(), "walk.mov");
    EXPECT_STREQ(folder.CString(), "/home/someone/films");
}

} // namespace
