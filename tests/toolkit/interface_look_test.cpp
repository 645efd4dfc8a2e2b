#include <filesystem>
#include <gtest/gtest.h>

#include "frame_test_support.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_folders.h"
#include "qv_app.h"
#include "qv_font.h"
#include "qv_font_library.h"

namespace {

bool SameColor(rgb_color a, rgb_color b)
{
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

class InterfaceColorsTest : public FrameTest {
protected:
    void TearDown() override { ResetInterfaceColors(); }
    QV_App fApp;
};

// The interface fonts with the font library running, a texts file choosing the
// locale and a font folder of the test's own.
class InterfaceFontsTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        ASSERT_TRUE(StartFontLibrary());
        CreateInterfaceFonts();
        for (int i = 0; i < kInterfaceFontCount; ++i) {
            fBuiltInNormal[i] = gNormalFonts[i];
            fBuiltInLarge[i] = gLargeFonts[i];
        }
        fDejaVu = PlatFontFamilyFile("DejaVu Sans");
        ASSERT_FALSE(fDejaVu.empty());
        std::filesystem::create_directories(fRoot.File("fonts"));
    }
    void TearDown() override
    {
        DeleteInterfaceFonts();
        StopFontLibrary();
    }
    void UseLocale(const char* locale)
    {
        PutFile(kStrings, std::string("/Strings/Locale=") + locale + "\n");
        fApp.LoadStrings();
    }
    void UseFontFolder() { fApp.fUserSettings.AddString("FontDir", fRoot.File("fonts").c_str()); }
    // A reference face of the stand-in at a size, to compare metrics with.
    void ExpectDejaVuAt(const QV_Font* font, int32_t points)
    {
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->fKind, QV_Font::kFaceFont);
        QV_Font* reference = QV_Font::OpenFace(fDejaVu.c_str(), 0);
        ASSERT_NE(reference, nullptr);
        reference->SetSize(points);
        EXPECT_EQ(font->LineHeight(), reference->LineHeight()) << points;
        EXPECT_EQ(font->Ascent(), reference->Ascent()) << points;
        EXPECT_EQ(font->StringWidth("Interface"), reference->StringWidth("Interface")) << points;
        DeleteFont(reference);
    }

    QV_App fApp;
    std::string fDejaVu;
    QV_Font* fBuiltInNormal[kInterfaceFontCount] = {};
    QV_Font* fBuiltInLarge[kInterfaceFontCount] = {};
};

QV_Font* CurrentFont(int i)
{
    QV_Font* const current[] = { gWidgetFont, gMenuFont, gPanelFont };
    return current[i];
}

} // namespace

TEST_F(InterfaceColorsTest, StoredColoursReadBackOpaqueAndMissingOnesKeepTheirDefaults)
{
    fApp.fUserSettings.AddString("WindowBackground", "10 20 30 0");
    fApp.fUserSettings.AddString("Selection", "300 -5 7");
    fApp.LoadColors();
    EXPECT_TRUE(SameColor(WindowBackground, { 10, 20, 30, 255 }));
    EXPECT_TRUE(SameColor(Selection, { 255, 0, 7, 255 }));
    EXPECT_TRUE(SameColor(Text, { 0, 0, 0, 255 }));
    EXPECT_TRUE(SameColor(ThumbGradient2, { 134, 139, 186, 255 }));
    EXPECT_TRUE(SameColor(ButtonGradient1, { 239, 239, 239, 255 }));
    for (const InterfaceColor& entry : kInterfaceColors) {
        EXPECT_EQ(entry.color->a, 255) << entry.key;
        if (entry.color != &WindowBackground && entry.color != &Selection) {
            EXPECT_TRUE(SameColor(*entry.color, entry.standard)) << entry.key;
        }
    }
}

TEST_F(InterfaceColorsTest, SavingStoresAllTwentyEightOnlyIntoARecordWithEntries)
{
    fApp.SaveColors();
    EXPECT_EQ(fApp.fUserSettings.Count(), 0);
    fApp.fUserSettings.AddString("Other", "1");
    WarningText = { 1, 2, 3, 255 };
    fApp.SaveColors();
    EXPECT_EQ(fApp.fUserSettings.Count(), 1 + kInterfaceColorCount);
    QV_String text;
    ASSERT_TRUE(fApp.fUserSettings.FindString("WarningText", text));
    EXPECT_EQ(text, "1 2 3 255");
    EXPECT_STREQ(kInterfaceColors[0].key, "WindowBackground");
    EXPECT_STREQ(kInterfaceColors[kInterfaceColorCount - 1].key, "ThumbGradient2");
}

TEST_F(InterfaceFontsTest, EnglishKeepsTheBuiltInFonts)
{
    UseLocale("EN");
    UseFontFolder();
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/tahoma.ttf"));
    fApp.LoadFonts();
    for (int i = 0; i < kInterfaceFontCount; ++i) {
        EXPECT_EQ(CurrentFont(i), fBuiltInNormal[i]);
        EXPECT_EQ(CurrentFont(i)->fKind, QV_Font::kBitmapFont);
    }
    EXPECT_EQ(gWidgetFont->LineHeight(), 15);
    EXPECT_EQ(gWidgetFont->Ascent(), 11);
}

TEST_F(InterfaceFontsTest, WithoutATextsFileTheLocaleIsEnglish)
{
    fApp.LoadStrings();
    fApp.LoadFonts();
    EXPECT_EQ(gMenuFont, fBuiltInNormal[1]);
}

TEST_F(InterfaceFontsTest, OtherLocalesTakeTahomaAtNineAndTwelvePoints)
{
    UseLocale("FR");
    UseFontFolder();
    // Found in the font folder although the case differs.
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/Tahoma.TTF"));
    fApp.LoadFonts();
    for (int i = 0; i < kInterfaceFontCount; ++i) {
        EXPECT_EQ(CurrentFont(i), gNormalFonts[i]);
        ExpectDejaVuAt(gNormalFonts[i], 9);
        ExpectDejaVuAt(gLargeFonts[i], 12);
    }
    EXPECT_NE(gNormalFonts[0], gNormalFonts[1]);
}

TEST_F(InterfaceFontsTest, JapaneseWithoutItsFontFallsBackToAStandInAtTenPoints)
{
    UseLocale("JP");
    UseFontFolder(); // holds no msgothic.ttc
    fApp.LoadFonts();
    const FontFileChoice choice = ChooseFontFile("msgothic.ttc", 2);
    ASSERT_FALSE(choice.path.IsEmpty());
    EXPECT_EQ(choice.faceIndex, 0); // a stand-in opens with its first face
    if (std::filesystem::path(choice.path.CString()).filename() == "DejaVuSans.ttf") {
        for (int i = 0; i < kInterfaceFontCount; ++i)
            ExpectDejaVuAt(CurrentFont(i), 10);
    }
}

TEST_F(InterfaceFontsTest, UseLargeFontsTakesTheLargeSet)
{
    fApp.fUserSettings.AddBool("UseLargeFonts", true);
    UseLocale("EN");
    fApp.LoadFonts();
    for (int i = 0; i < kInterfaceFontCount; ++i)
        EXPECT_EQ(CurrentFont(i), fBuiltInLarge[i]);
    EXPECT_EQ(gWidgetFont->LineHeight(), 18);
    EXPECT_EQ(gWidgetFont->Ascent(), 13);

    // Over outline fonts too.
    UseLocale("DE");
    UseFontFolder();
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/tahoma.ttf"));
    fApp.LoadFonts();
    for (int i = 0; i < kInterfaceFontCount; ++i) {
        EXPECT_EQ(CurrentFont(i), gLargeFonts[i]);
        ExpectDejaVuAt(CurrentFont(i), 12);
    }
}

TEST_F(InterfaceFontsTest, WithoutTheFontLibraryTheBuiltInFontsStillServe)
{
    DeleteInterfaceFonts();
    StopFontLibrary();
    CreateInterfaceFonts();
    UseLocale("FR");
    UseFontFolder();
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/tahoma.ttf"));
    fApp.LoadFonts();
    for (int i = 0; i < kInterfaceFontCount; ++i) {
        ASSERT_NE(CurrentFont(i), nullptr);
        EXPECT_EQ(CurrentFont(i)->fKind, QV_Font::kBitmapFont);
        EXPECT_GT(CurrentFont(i)->StringWidth("OK"), 0);
    }
}

TEST_F(InterfaceFontsTest, FontFilesAreLookedUpExactlyThenIgnoringCase)
{
    UseFontFolder();
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/tahoma.ttf"));
    std::filesystem::copy_file(fDejaVu, fRoot.File("fonts/TAHOMA.ttf"));
    EXPECT_EQ(ChooseFontFile("TAHOMA.ttf", 0).path, fRoot.File("fonts/TAHOMA.ttf").c_str());
    EXPECT_EQ(ChooseFontFile("tahoma.ttf", 0).path, fRoot.File("fonts/tahoma.ttf").c_str());
    EXPECT_EQ(ChooseFontFile("Tahoma.ttf", 3).faceIndex, 3);
    QV_Font* font = LoadFontFile("tAhOmA.TTF", 0);
    ASSERT_NE(font, nullptr);
    DeleteFont(font);
    EXPECT_EQ(ChooseFontFile("", 0).path, "");
}
