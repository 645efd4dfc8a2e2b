// The shell's small windows as a new user meets them: the splash and welcome screens of a first
// start, and the content library browsing a Library folder.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class PeripheryScenarios : public CelvaneSession {
protected:
    // An xdg-open that writes what it was asked to open into opened.txt.
    void StubOpener()
    {
        const std::string bin = fRoot.File("bin");
        std::filesystem::create_directories(bin);
        fRoot.Put("bin/xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + fRoot.File("opened.txt") + "'\n");
        std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        fPath = std::make_unique<ScopedEnv>("PATH", (bin + ":" + (path ? path : "/usr/bin:/bin")).c_str());
    }
    bool WaitForOpened(const std::string& part, int ms = 10000)
    {
        for (int waited = 0; waited < ms; waited += 100) {
            if (fRoot.Get("opened.txt").find(part) != std::string::npos)
                return true;
            usleep(100000);
        }
        return false;
    }
    std::unique_ptr<ScopedEnv> fPath;
    std::unique_ptr<ScopedEnv> fAppFolder;
};

} // namespace

// The splash closes by itself and the welcome screen follows; its guide region opens the
// quick-start guide and leaves it up, "don't show again" closes it for good.
TEST_F(PeripheryScenarios, FirstStartShowsSplashAndWelcomeUntilSwitchedOff)
{
    StubOpener();
    fFreshStart = true;
    Start();
    ASSERT_TRUE(WaitForTitle(kAppName)) << "the splash screen: " << Output();
    ASSERT_TRUE(WaitForNoTitle(kAppName, 8000)) << "the splash closes by itself";
    ASSERT_TRUE(WaitForTitle(kAppName)) << "the welcome screen: " << Output();
    ClickIn(kAppName, 46, 121);
    EXPECT_TRUE(WaitForOpened("QuickStart.html")) << fRoot.Get("opened.txt");
    EXPECT_TRUE(WaitForTitle(kAppName, 1000)) << "the guide leaves the welcome screen up";
    ClickIn(kAppName, 100, 440);
    ASSERT_TRUE(WaitForNoTitle(kAppName));
    ASSERT_TRUE(WaitForTitle(kUntitled));
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("WelcomeScreen"), "FALSE");

    Start();
    ASSERT_TRUE(WaitForTitle(kAppName)) << "the splash screen again";
    ASSERT_TRUE(WaitForNoTitle(kAppName, 8000));
    EXPECT_FALSE(WaitForTitle(kAppName, 5000)) << "no welcome screen once switched off";
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// Ctrl+Shift+L opens the library on a folder of a document with its picture, a lone picture and a
// sub-folder: three cells, the document showing its picture.
TEST_F(PeripheryScenarios, LibraryShowsTheItemsOfItsFolder)
{
    const std::filesystem::path real = std::filesystem::path(CELVANE_APP).parent_path();
    const std::string app = fRoot.File("app");
    std::filesystem::create_directories(app + "/Library/Props");
    for (const auto& entry : std::filesystem::directory_iterator(real)) {
        if (entry.path().filename() != "Library")
            std::filesystem::create_symlink(entry.path(), app + "/" + entry.path().filename().string());
    }
    fRoot.Put("app/Library/Walk.celv", "not read by the library");
    ASSERT_EQ(RunProgram({ "convert", "-size", "64x64", "xc:#ff0000", "png:" + app + "/Library/Walk.png" }, "", nullptr), 0);
    ASSERT_EQ(RunProgram({ "convert", "-size", "64x64", "xc:#00ff00", "png:" + app + "/Library/Tree.png" }, "", nullptr), 0);
    fAppFolder = std::make_unique<ScopedEnv>("CELVANE_APP_FOLDER", app.c_str());

    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    KeysTo(kUntitled, "ctrl+shift+l");
    ASSERT_TRUE(WaitForTitle("Content Library")) << Output();
    ScreenBox library;
    ASSERT_TRUE(WindowBox("Content Library", library));
    // Props, Tree, Walk in three cells of 96 pixels: Tree's picture green, Walk's red.
    std::string shot;
    std::string tree, walk;
    for (int tries = 0; tries < 20; ++tries) {
        shot = Screenshot("library");
        tree = PixelText(shot, library.x + 8 + 96 + 48, library.y + library.height - 240 + 20 + 8 + 32);
        walk = PixelText(shot, library.x + 8 + 192 + 48, library.y + library.height - 240 + 20 + 8 + 32);
        if (tree == "0,255,0" && walk == "255,0,0")
            break;
        usleep(300000);
    }
    EXPECT_EQ(tree, "0,255,0");
    EXPECT_EQ(walk, "255,0,0");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("LibraryWnd_Open"), "TRUE");
    EXPECT_EQ(Setting("LibraryIconSize"), "64");
}
