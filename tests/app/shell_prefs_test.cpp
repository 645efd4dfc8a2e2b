// The preference store: the version gate, reading rules and the texts written back.
#include <gtest/gtest.h>

#include <string>

#include "app_prefs.h"
#include "image_format_registry.h"
#include "media_presence.h"
#include "model_prefs.h"
#include "qv_message.h"

namespace {

std::string Text(const QV_Message& settings, const char* key)
{
    QV_String text;
    return settings.FindString(key, text) ? text.CString() : "<absent>";
}

class ShellPrefsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetPreferences(); }
    void TearDown() override
    {
        SetModelPrefSource(nullptr);
        ResetPreferences();
    }
    // Reads the one stored entry, as start-up does.
    void ReadOne(const char* key, const char* text)
    {
        QV_Message settings;
        settings.AddString(key, text);
        ReadPreferences(settings);
    }
};

TEST_F(ShellPrefsTest, QualityFlagsKeepTheirDrawingBitsAndLoseThePreviewOnes)
{
    const struct {
        const char* stored;
        int32_t read;
    } cases[] = { { "0", 542 }, { "65535", 65278 }, { "1646", 1662 }, { "none", 1662 } };
    for (const auto& c : cases) {
        ResetPreferences();
        ReadOne("QualityFlags", c.stored);
        EXPECT_EQ(gPrefs.qualityFlags, c.read) << c.stored;
    }
}

TEST_F(ShellPrefsTest, GapFillingIsReadAndWrittenOff)
{
    ReadOne("GapFilling", "TRUE");
    EXPECT_FALSE(gPrefs.gapFilling);
    QV_Message out;
    WritePreferences(out);
    EXPECT_EQ(Text(out, "GapFilling"), "FALSE");
}

TEST_F(ShellPrefsTest, ValuesReadAsTheirKindsAndWriteBackInTheirForms)
{
    ReadOne("ProjFPS", "29.97");
    EXPECT_FLOAT_EQ(gPrefs.projFps, 29.97f);
    ReadOne("VornColFill", "300 -5 10 255");
    EXPECT_EQ(gPrefs.colFill.r, 255);
    EXPECT_EQ(gPrefs.colFill.g, 0);
    EXPECT_EQ(gPrefs.colFill.b, 10);
    EXPECT_EQ(gPrefs.colFill.a, 255);
    for (const auto& c : { std::pair { "1", true }, { "yes", false }, { "True", true }, { "FALSE", false } }) {
        ReadOne("SMPTE", c.first);
        EXPECT_EQ(gPrefs.smpte, c.second) << c.first;
    }
    QV_Message out;
    WritePreferences(out);
    EXPECT_EQ(Text(out, "ProjFPS"), "29.969999");
    EXPECT_EQ(Text(out, "VornColFill"), "255 0 10 255");
    EXPECT_EQ(Text(out, "ProjDofBlur"), "0.050000");
    EXPECT_EQ(Text(out, "QualityFlags"), "1662");
    EXPECT_EQ(Text(out, "InsertTextText"), "Text");
}

TEST_F(ShellPrefsTest, AnotherSettingsVersionDropsEveryEntry)
{
    QV_Message old;
    old.AddString("VornVersion", "20080101");
    old.AddString("RecentFile1", "/home/someone/a.celv");
    old.AddString("LayerWnd_Docked", "FALSE");
    ApplySettingsVersion(old);
    EXPECT_EQ(old.Count(), 1);
    EXPECT_EQ(Text(old, "VornVersion"), "20090526");

    QV_Message none;
    none.AddString("RecentFile1", "/a.celv");
    ApplySettingsVersion(none);
    EXPECT_EQ(Text(none, "RecentFile1"), "<absent>");

    QV_Message current;
    current.AddString("VornVersion", "20090526");
    current.AddString("RecentFile1", "/a.celv");
    ApplySettingsVersion(current);
    EXPECT_EQ(Text(current, "RecentFile1"), "/a.celv");
}

TEST_F(ShellPrefsTest, PreferredFormatFollowsTheImageWriters)
{
    const bool quickTime = gQuickTimePresent;
    gQuickTimePresent = false;
    ResetPreferences();
    EXPECT_EQ(gPrefs.preferredFormat, ImageFormatRegistry::CountWriters() + 1);
    gQuickTimePresent = true;
    ResetPreferences();
    EXPECT_EQ(gPrefs.preferredFormat, ImageFormatRegistry::CountWriters() + 2);
    gQuickTimePresent = quickTime;
}

TEST_F(ShellPrefsTest, UploadTextsAreStoredScrambledAndReadBackPlain)
{
    gPrefs.ytu = "someone@example.org";
    gPrefs.ytp = "p4ss w\xC3\xB6rd";
    QV_Message out;
    WritePreferences(out);
    const std::string stored = Text(out, "YTU");
    EXPECT_NE(stored, "someone@example.org");
    EXPECT_EQ(stored.size(), std::string("someone@example.org").size());
    EXPECT_EQ(gPrefs.ytu, "someone@example.org");
    ResetPreferences();
    ReadPreferences(out);
    EXPECT_EQ(gPrefs.ytu, "someone@example.org");
    EXPECT_EQ(gPrefs.ytp, "p4ss w\xC3\xB6rd");
}

TEST_F(ShellPrefsTest, AVanishedExportedMovieIsForgotten)
{
    ReadOne("PreviousExportedMovie", "/no/such/movie.mov");
    EXPECT_TRUE(gPrefs.previousExportedMovie.IsEmpty());
    ReadOne("PreviousExportedMovie", "/tmp");
    EXPECT_TRUE(gPrefs.previousExportedMovie.IsEmpty());
}

TEST_F(ShellPrefsTest, TheModelReadsThePreferencesByKey)
{
    ShellPrefSource source;
    SetModelPrefSource(&source);
    gPrefs.defaultInterp = 3;
    gPrefs.autoNaming = true;
    gPrefs.projDofBlur = 0.25f;
    gPrefs.colSel = { 1, 2, 3, 4 };
    gToggles.hideControlledBones = true;
    EXPECT_EQ(ModelPrefInt("DefaultInterp", 1), 3);
    EXPECT_TRUE(ModelPrefBool("AutoNaming", false));
    EXPECT_EQ(ViewQualityFlags(), 1646);
    EXPECT_FLOAT_EQ(ModelPrefFloat("ProjDofBlur", 0), 0.25f);
    EXPECT_EQ(ModelPrefColor("VornColSel", rgb_color {}).b, 3);
    EXPECT_TRUE(ModelPrefBool("HideControlledBones", false));
    EXPECT_EQ(ModelPrefInt("NoSuchKey", 17), 17);
}

} // namespace
