// The main layer's menus and arrangement, checked without a window.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "../core/scratch_folder.h"
#include "app_prefs.h"
#include "main_layer.h"
#include "main_layout.h"
#include "proj_dlog.h"
#include "qv_app.h"
#include "qv_menu.h"
#include "qv_button.h"
#include "resource_images.h"
#include "status_bar.h"

namespace {

TEST(MenuLabels, TheLastCharacterIsTheShortcutLetter)
{
    const struct {
        const char* text;
        const char* label;
        char shortcut;
    } cases[] = {
        { "NewN", "New", 'N' },
        { "Save As... ", "Save As...", 0 },
        { "-", "-", 0 },
        { "Timeline[", "Timeline", '[' },
        { "", "", 0 },
    };
    for (const auto& c : cases) {
        QV_String label;
        char shortcut = 1;
        SplitMenuLabel(c.text, label, shortcut);
        EXPECT_EQ(label, c.label) << c.text;
        EXPECT_EQ(shortcut, c.shortcut) << c.text;
    }
}

class LibraryMenuTest : public ::testing::Test {
protected:
    void Touch(const std::string& name) { fFolder.Put(name, "x"); }
    ScratchFolder fFolder;
    LibraryItems fItems;
};

TEST_F(LibraryMenuTest, PicturesBesideTheirDocumentAreThumbnails)
{
    Touch("Hero.celv");
    Touch("Hero.png");
    Touch("Tree.png");
    Touch("notes.txt");
    std::filesystem::create_directory(fFolder.File("Empty"));
    std::filesystem::create_directory(fFolder.File("Props"));
    Touch("Props/Chair.vorn");
    QV_Menu menu("Import");
    BuildLibraryMenu(&menu, fFolder.Path().c_str(), fItems);
    ASSERT_EQ(fItems.paths.size(), 3u);
    EXPECT_EQ(menu.CountItems(), 3); // Hero, Tree and the Props submenu
    std::set<std::string> items;
    std::string submenu;
    for (int32_t i = 0; i < menu.CountItems(); i++) {
        if (menu.fSubmenus[i])
            submenu = menu.fLabels[i].CString();
        else
            items.insert(menu.fLabels[i].CString());
    }
    EXPECT_EQ(items, (std::set<std::string> { "Hero", "Tree" }));
    EXPECT_EQ(submenu, "Props");
}

TEST_F(LibraryMenuTest, ALinkBackUpTheTreeEnds)
{
    std::filesystem::create_directory(fFolder.File("Sets"));
    Touch("Sets/Street.celv");
    std::filesystem::create_directory_symlink(fFolder.Path(), fFolder.File("Sets/up"));
    QV_Menu menu("Import");
    BuildLibraryMenu(&menu, fFolder.Path().c_str(), fItems);
    EXPECT_EQ(fItems.paths.size(), 1u);
}

MainLayoutInput Window()
{
    MainLayoutInput in;
    in.width = 1000;
    in.height = 700;
    in.menuBarHeight = 20;
    in.toolBarHeight = 32;
    in.toolBarBottom = 51;
    in.statusBarHeight = 18;
    in.topEdge = 69; // status bar on top
    in.bottomEdge = 700;
    in.titleHeight = 15;
    in.playbackHeight = 24;
    return in;
}

TEST(MainLayout, WithoutPanelsTheCanvasSpansTheWindow)
{
    const MainLayoutInput in = Window();
    const MainLayout layout = ComputeMainLayout(in);
    EXPECT_EQ(layout.canvas.left, 0);
    EXPECT_EQ(layout.canvas.right, 999);
    EXPECT_EQ(layout.canvas.top, 70);
    EXPECT_EQ(layout.playback.bottom, 699);
    EXPECT_EQ(layout.canvas.bottom, layout.playback.top - 1);
    EXPECT_EQ(layout.splitter.left, -1000);
}

TEST(MainLayout, TheRightColumnTakesAtLeastThePanelWidth)
{
    MainLayoutInput in = Window();
    in.styleDocked = true;
    in.layersDocked = true;
    in.style = { 0, 0, 199, 255 };
    in.layers = { 0, 0, 179, 300 };
    const MainLayout layout = ComputeMainLayout(in);
    EXPECT_EQ(RectWidth(layout.layers), 220);
    EXPECT_EQ(RectWidth(layout.style), 220);
    EXPECT_EQ(layout.style.right, 999);
    EXPECT_EQ(layout.style.top, in.topEdge + in.titleHeight + 4);
    EXPECT_EQ(layout.layers.top, layout.style.bottom + in.titleHeight + 4);
    EXPECT_EQ(layout.canvas.right, layout.layers.left - 6);
    EXPECT_EQ(layout.splitter.right, layout.layers.left - 1);

    // Without the style panel a narrow docked layers panel keeps its width.
    in.styleDocked = false;
    EXPECT_EQ(RectWidth(ComputeMainLayout(in).layers), 180);
}

TEST(MainLayout, ADockedTimelineSitsOnTheBottomUnderThePlaybackBar)
{
    MainLayoutInput in = Window();
    in.timelineDocked = true;
    in.layersDocked = true;
    in.toolsDocked = true;
    in.timeline = { 0, 0, 255, 199 };
    in.layers = { 0, 0, 219, 300 };
    in.tools = { 0, 0, 99, 299 };
    const MainLayout layout = ComputeMainLayout(in);
    EXPECT_EQ(layout.timeline.bottom, 699);
    EXPECT_EQ(RectHeight(layout.timeline), 200);
    EXPECT_EQ(RectWidth(layout.timeline), 1000 - 220 - 5);
    EXPECT_EQ(layout.playback.bottom, layout.timeline.top - in.titleHeight - 3 - 1);
    EXPECT_EQ(RectWidth(layout.playback), 1000 - 220 - 5);
    EXPECT_EQ(layout.layers.bottom, 699);
    EXPECT_EQ(layout.canvas.left, 100);
    // The timeline leaves room for the tools panel above it.
    EXPECT_EQ(MaxTimelineHeight(in), 700 - 20 - 32 - 18 - 24 - 15 - 3 - 300 - 15 - 3);
    in.timeline = { 0, 0, 255, 999 };
    EXPECT_EQ(RectHeight(ComputeMainLayout(in).timeline), MaxTimelineHeight(in));
}

TEST(ProjectSettings, PresetsAndLimits)
{
    EXPECT_EQ(MatchProjectPreset(640, 480), 4304); // VGA, never YouTube
    EXPECT_EQ(MatchProjectPreset(641, 480), 4301);
    EXPECT_EQ(MatchProjectPreset(720, 534), 4302);
    EXPECT_EQ(MatchProjectPreset(0, 0), 4301);

    ProjectValues fine { 640, 480, 24.0f, 1, 240 };
    EXPECT_TRUE(ValidateProjectValues(fine));
    ProjectValues narrow { 5, 480, 24.0f, 1, 240 };
    EXPECT_FALSE(ValidateProjectValues(narrow));
    EXPECT_EQ(narrow.width, 8);
    // A second OK applies the clamped values.
    EXPECT_TRUE(ValidateProjectValues(narrow));
    ProjectValues wild { 2000, 2000, 0.0f, 5000, 10 };
    EXPECT_FALSE(ValidateProjectValues(wild));
    EXPECT_EQ(wild.width, 788);
    EXPECT_EQ(wild.height, 768);
    EXPECT_EQ(wild.start, 3000);
    EXPECT_EQ(wild.end, 3000);
    EXPECT_FLOAT_EQ(wild.fps, 1.0f);
    ProjectValues open { 640, 480, 24.0f, 50, 0 };
    EXPECT_TRUE(ValidateProjectValues(open));
}

TEST(ProjectSettings, RestoreDefaultsSetsTheNewDocumentValues)
{
    ResetPreferences();
    gPrefs.projWidth = 100;
    gPrefs.projFps = 10;
    RestoreProjectDefaults();
    EXPECT_EQ(gPrefs.projWidth, 720);
    EXPECT_EQ(gPrefs.projHeight, 534);
    EXPECT_FLOAT_EQ(gPrefs.projFps, 24.0f);
    EXPECT_EQ(gPrefs.projDofBlur, 0.02247191f);
    ResetPreferences();
}

class MainLayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fWarning = gMissingImageWarning;
        gMissingImageWarning = [](const char*) {};
        ResetPreferences();
    }
    void TearDown() override { gMissingImageWarning = fWarning; }
    void (*fWarning)(const char*) = nullptr;
    QV_App fApp;
};

TEST_F(MainLayerTest, OpenRecentShowsTheStoredFileNames)
{
    fApp.fUserSettings.AddString("RecentFile1", "/home/someone/films/scene.celv");
    MainLayer layer(nullptr, 0, 0, 999, 699);
    EXPECT_EQ(layer.fRecentMenu->ItemLabel(3300), "scene.celv");
    EXPECT_TRUE(layer.fRecentMenu->IsEnabled(3300));
    for (int32_t id = 3301; id <= 3304; id++) {
        EXPECT_EQ(layer.fRecentMenu->ItemLabel(id), "-");
        EXPECT_FALSE(layer.fRecentMenu->IsEnabled(id));
    }
    EXPECT_EQ(layer.fFileMenu->ItemLabel(3114), "Save As...");
    EXPECT_EQ(layer.fEndFrame, 1);
    // Detached: the playback controls are off.
    EXPECT_FALSE(layer.fPlaybackButton[3]->IsEnabled());
}

TEST_F(MainLayerTest, TheStatusBarFollowsItsPreference)
{
    {
        MainLayer top(nullptr, 0, 0, 999, 699);
        EXPECT_EQ(top.fStatusBar->Frame().top, top.fToolBar->Frame().bottom + 1);
        EXPECT_EQ(top.fPlaybackBar->Frame().bottom, 699);
    }
    gPrefs.topStatusBar = false;
    MainLayer bottom(nullptr, 0, 0, 999, 699);
    EXPECT_EQ(bottom.fStatusBar->Frame().bottom, 699);
    EXPECT_EQ(bottom.fPlaybackBar->Frame().bottom, bottom.fStatusBar->Frame().top - 1);
}

} // namespace
