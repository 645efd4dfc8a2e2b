// The shell's small windows as a new user meets them: the splash and welcome screens of a first
// start, and the content library browsing a Library folder.
#include <sstream>

#include "celvane_session.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"

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
    ASSERT_EQ(RunProgram({ "convert", "-size", "64x64", "xc:#ff0000", "png:" + app + "/Library/Walk.png" },
                  "", nullptr),
        0);
    ASSERT_EQ(RunProgram({ "convert", "-size", "64x64", "xc:#00ff00", "png:" + app + "/Library/Tree.png" },
                  "", nullptr),
        0);
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

namespace {

// The main window's menus, found as the menu bar lays them out, and a few measures of what the
// screen shows.
class PeripheryMenus : public CelvaneSession {
protected:
    void Click(int x, int y)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" },
            "", nullptr);
        usleep(400000);
    }
    // The canvas inside the frame guides, once the window has drawn them.
    ScreenBox Canvas()
    {
        ScreenBox frame;
        for (int tries = 0; tries < 40 && frame.width == 0; tries++) {
            if (tries)
                usleep(250000);
            frame = ColourBox(Screenshot("frame"), "rgb(152,152,203)");
        }
        return { frame.x + 4, frame.y + 4, frame.width - 8, frame.height - 8 };
    }
    // Until the canvas differs from the picture by more (or, with `more` false, no more) than
    // `pixels`; the last count.
    long CanvasSettles(const std::string& before, const ScreenBox& canvas, long pixels, bool more)
    {
        long differs = -1;
        for (int tries = 0; tries < 30; tries++) {
            differs = BoxDiffers(Screenshot("settled"), before, canvas);
            if (more ? differs > pixels : differs <= pixels)
                break;
            usleep(300000);
        }
        return differs;
    }
    // Ctrl+Q on a changed document: No to saving its changes; the exit status.
    int QuitWithoutSaving()
    {
        KeysTo(kUntitled, "ctrl+q");
        if (WaitForTitle(kAppName, 5000))
            KeysTo(kAppName, "n");
        return WaitForExit();
    }
    // The box of the pixels of exactly that colour within the box of the picture (screen pixels).
    ScreenBox ColourWithin(const std::string& picture, const ScreenBox& within, const std::string& colour)
    {
        const std::string crop = fRoot.File("within.png");
        RunProgram({ "convert", picture, "-crop",
                       std::to_string(within.width) + "x" + std::to_string(within.height) + "+"
                           + std::to_string(within.x) + "+" + std::to_string(within.y),
                       "+repage", "png:" + crop },
            "", nullptr);
        ScreenBox box = ColourBox(crop, colour);
        box.x += within.x;
        box.y += within.y;
        return box;
    }
    // The rows of text in the box: bands of rows holding dark pixels.
    int TextRows(const std::string& shot, const ScreenBox& box)
    {
        RunProgram(
            { "sh", "-c",
                "convert '" + shot + "' -crop " + std::to_string(box.width) + "x" + std::to_string(box.height)
                    + "+" + std::to_string(box.x) + "+" + std::to_string(box.y)
                    + " +repage -colorspace gray -threshold 40% -negate -scale 1x! -threshold 1% txt:- > '"
                    + fRoot.File("rows.txt") + "'" },
            "", nullptr);
        int rows = 0;
        bool inRow = false;
        std::istringstream lines(fRoot.Get("rows.txt"));
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || line[0] == '#')
                continue;
            const bool on
                = line.find("white") != std::string::npos || line.find("#FFFFFF") != std::string::npos;
            rows += on && !inRow;
            inRow = on;
        }
        return rows;
    }
};

} // namespace

// Help > About Scripts lists every shipped tool script, one row each under its group headings.
TEST_F(PeripheryMenus, AboutScriptsListsTheInstalledToolScripts)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    ChooseMenuItem(window, 8, 6);
    ASSERT_TRUE(WaitForTitle("Installed Scripts")) << Output();
    ScreenBox dialog;
    ASSERT_TRUE(WindowBox("Installed Scripts", dialog));
    int tools = 0;
    const std::filesystem::path scripts = std::filesystem::path(CELVANE_APP).parent_path() / "scripts/tool";
    for (const auto& entry : std::filesystem::directory_iterator(scripts))
        tools += entry.path().extension() == ".lua";
    ASSERT_GT(tools, 10);
    // The list scrolls: its visible part is full of rows, well beyond a title and a button. The
    // text column leaves out the frame, the icons and the scroll bar.
    const ScreenBox list { dialog.x + 40, dialog.y + 30, dialog.width - 120, 260 };
    int rows = 0;
    for (int tries = 0; tries < 20 && rows < 8; tries++) {
        if (tries)
            usleep(300000);
        rows = TextRows(Screenshot("scripts"), list);
    }
    EXPECT_GE(rows, 8) << "rows of the installed scripts";
    KeysTo("Installed Scripts", "Return");
    EXPECT_TRUE(WaitForNoTitle("Installed Scripts"));
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// Ctrl+T in the vector layer: the text "AB" becomes filled shapes on the canvas; Ctrl+Z takes
// them away again.
TEST_F(PeripheryMenus, InsertTextDrawsShapesThatUndoRemoves)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    const ScreenBox canvas = Canvas();
    ASSERT_GT(canvas.width, 200) << "no frame guides on the canvas";
    const std::string before = Screenshot("before");
    KeysTo(kUntitled, "ctrl+t");
    ASSERT_TRUE(WaitForTitle("Insert Text")) << Output();
    KeysTo("Insert Text", "ctrl+a");
    TypeTo("Insert Text", "AB");
    KeysTo("Insert Text", "Return");
    ASSERT_TRUE(WaitForNoTitle("Insert Text"));
    EXPECT_GT(CanvasSettles(before, canvas, 500, true), 500) << "the letters on the canvas";
    KeysTo(kUntitled, "ctrl+z");
    EXPECT_LE(CanvasSettles(before, canvas, 20, false), 20) << "the canvas after undo";
    EXPECT_EQ(QuitWithoutSaving(), 0) << Output();
}

// File > Import > EPS File...: a red triangle comes in as a new vector layer, red on the canvas.
TEST_F(PeripheryMenus, ImportedEPSTriangleShowsRed)
{
    fRoot.Put("triangle.eps",
        "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 200 200\n%%+ procset Adobe_cmykcolor\n%%EndSetup\n"
        "0 1 1 0 k\n20 20 m\n180 20 l\n100 180 l\nf\n");
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    const ScreenBox canvas = Canvas();
    ASSERT_GT(canvas.width, 200) << "no frame guides on the canvas";
    int x = 0, y = 0, line = 0;
    OpenMenu(window, 0, 10, x, y, line);
    // The Import item opens its submenu beside the File menu; its sixth item is EPS File.
    RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y) }, "", nullptr);
    usleep(600000);
    RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x + 270), std::to_string(y) }, "", nullptr);
    usleep(300000);
    Click(x + 270, y + 5 * line);
    ASSERT_TRUE(WaitForTitle("Import")) << Output();
    KeysTo("Import", "ctrl+a");
    TypeTo("Import", fRoot.File("triangle.eps"));
    KeysTo("Import", "Return");
    ASSERT_TRUE(WaitForNoTitle("Import"));
    ScreenBox red;
    for (int tries = 0; tries < 30 && red.width == 0; tries++) {
        if (tries)
            usleep(300000);
        red = ColourWithin(Screenshot("imported"), canvas, "rgb(255,0,0)");
    }
    // The triangle fills most of the frame.
    EXPECT_GT(red.width, 200) << "red on the canvas";
    EXPECT_GT(red.height, 200);
    EXPECT_EQ(QuitWithoutSaving(), 0) << Output();
}
