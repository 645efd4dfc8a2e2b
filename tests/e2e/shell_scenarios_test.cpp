// The application shell as a new user meets it: first start, documents made, saved, reopened
// and closed, project settings, a damaged file.
#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class ShellScenarios : public CelvaneSession { };

// S1: the first start shows the untitled document with the bars and the four panels, and the
// settings written at exit hold the first-start values.
TEST_F(ShellScenarios, FirstStartShowsTheWindowAndWritesTheSettings)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    // The menu bar, tool options bar, status bar and the Tools title bar; the Style title bar at
    // the right edge; the playback bar with the Timeline title bar under it.
    EXPECT_LE(ScreenSettlesTo({ window.x, window.y, 260, 110 }, "first_start_top_left", 200), 200);
    const std::string shot = Screenshot("first");
    EXPECT_LE(CropDiffers(shot, { window.x + window.width - 240, window.y + 60, 240, 50 }, "first_start_style"), 200);
    // The Layers title bar hangs under the Style panel; the playback row sits over the Timeline
    // title bar.
    EXPECT_LE(CropDiffers(shot, { window.x + window.width - 240, window.y + 404, 240, 40 }, "first_start_layers"), 100);
    EXPECT_LE(CropDiffers(shot, { window.x, window.y + 732, 560, 60 }, "first_start_timeline"), 200);

    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("VornVersion"), "20090526");
    EXPECT_EQ(Setting("LayerWnd_Docked"), "TRUE");
    EXPECT_EQ(Setting("ToolWnd_Docked"), "TRUE");
    EXPECT_EQ(Setting("QualityFlags"), "1662");
    EXPECT_EQ(Setting("GapFilling"), "FALSE");
    EXPECT_EQ(Setting("ProjFPS"), "24.000000");
}

// S3: settings of another version lose every entry at start.
TEST_F(ShellScenarios, OlderSettingsAreDropped)
{
    PutSettings("\"VornVersion\" \"20080101\"\n\"RecentFile1\" \"/somewhere/old.celv\"\n\"ProjWidth\" \"320\"\n");
    Start();
    // Dropped settings mean a first start again: the welcome screen shows; a click closes it.
    ASSERT_TRUE(WaitForTitle(kAppName)) << Output();
    ClickIn(kAppName, 300, 300);
    ASSERT_TRUE(WaitForNoTitle(kAppName)) << Output();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("VornVersion"), "20090526");
    EXPECT_EQ(Setting("RecentFile1"), "<absent>");
    EXPECT_EQ(Setting("ProjWidth"), "720");
}

// S4, S5: Save As through Ctrl+S writes scene.celv; started with it, the window shows it and
// it is the first recent file.
TEST_F(ShellScenarios, SaveAndReopen)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    KeysTo(kUntitled, "ctrl+s");
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    const std::string typed = fRoot.File("scene");
    const std::string saved = typed + ".celv";
    // The path field holds the proposed name, selected; typing replaces it.
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", typed);
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForTitle("scene.celv - Celvane")) << Output();
    const std::string text = fRoot.Get("scene.celv");
    EXPECT_NE(text.find("version 19"), std::string::npos);
    EXPECT_NE(text.find("name \"Layer 1\""), std::string::npos);
    EXPECT_NE(text.find("dimensions 720 534"), std::string::npos);
    EXPECT_EQ(Quit("scene.celv - Celvane"), 0) << Output();
    EXPECT_EQ(Setting("RecentFile1"), saved);

    Start({ saved });
    ASSERT_TRUE(WaitForTitle("scene.celv - Celvane")) << Output();
    EXPECT_EQ(Quit("scene.celv - Celvane"), 0) << Output();
    EXPECT_EQ(Setting("RecentFile1"), saved);
    EXPECT_EQ(Setting("RecentFile2"), "<absent>");
}

// S6: OK in Project Settings changes the document; closing it asks, Cancel keeps it, No
// closes it.
TEST_F(ShellScenarios, ProjectSettingsThenClose)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    KeysTo(kUntitled, "ctrl+shift+p");
    ASSERT_TRUE(WaitForTitle("Project Settings")) << Output();
    KeysTo("Project Settings", "Return");
    ASSERT_TRUE(WaitForNoTitle("Project Settings"));
    KeysTo(kUntitled, "ctrl+w");
    ASSERT_TRUE(WaitForTitle("Celvane Pomra")) << Output();
    KeysTo("Celvane Pomra", "Escape");
    ASSERT_TRUE(WaitForNoTitle("Celvane Pomra"));
    EXPECT_TRUE(WaitForTitle(kUntitled));
    KeysTo(kUntitled, "ctrl+w");
    ASSERT_TRUE(WaitForTitle("Celvane Pomra")) << Output();
    KeysTo("Celvane Pomra", "n");
    ASSERT_TRUE(WaitForTitle("Celvane")) << Output();
    EXPECT_EQ(Quit("Celvane"), 0) << Output();
}

// S7: a damaged file named on the command line: the alert says why, and no document is left.
TEST_F(ShellScenarios, ADamagedFileShowsWhy)
{
    const std::string damaged = fRoot.File("damaged.celv");
    std::ofstream(damaged) << "this is not a document\n";
    Start({ damaged });
    ASSERT_TRUE(WaitForTitle("Celvane Pomra")) << Output();
    ScreenBox alert;
    ASSERT_TRUE(WindowBox("Celvane Pomra", alert));
    const std::string shot = Screenshot("damaged");
    // Three lines of text: rows with dark pixels in three separate bands, right of the icon.
    const std::string bands = fRoot.File("bands.txt");
    RunProgram({ "sh", "-c",
                   "convert '" + shot + "' -crop " + std::to_string(alert.width - 80) + "x"
                       + std::to_string(alert.height - 40) + "+" + std::to_string(alert.x + 70) + "+"
                       + std::to_string(alert.y)
                       + " +repage -colorspace gray -threshold 40% -negate -scale 1x! -threshold 1% txt:- > '" + bands
                       + "'" },
        "", nullptr);
    int lines = 0;
    bool inLine = false;
    std::istringstream rows(fRoot.Get("bands.txt"));
    for (std::string row; std::getline(rows, row);) {
        if (row.empty() || row[0] == '#')
            continue;
        const bool dark = row.find("white") != std::string::npos || row.find("#FFFFFF") != std::string::npos;
        if (dark && !inLine)
            lines++;
        inLine = dark;
    }
    // The button row lies below the part read.
    EXPECT_EQ(lines, 3) << fRoot.Get("bands.txt");
    KeysTo("Celvane Pomra", "Return");
    ASSERT_TRUE(WaitForNoTitle("Celvane Pomra"));
    ASSERT_TRUE(WaitForTitle("Celvane")) << Output();
    EXPECT_EQ(Quit("Celvane"), 0) << Output();
}

// Panels float and dock from the Window menu's shortcuts and stay as they were left at the next
// start; the splitters resize the right column and the timeline, and the sizes are kept.
TEST_F(ShellScenarios, PanelsFloatDockAndResize)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    // The right column's splitter, left of the 221-wide Layers panel: 100 pixels to the left.
    const int splitterX = window.x + window.width - 221 - 3;
    Drag(splitterX, window.y + 500, splitterX - 100, window.y + 500);
    // The docked timeline's title band: 100 pixels up.
    Drag(window.x + 300, window.y + 768, window.x + 300, window.y + 668);

    KeysTo(kUntitled, "ctrl+bracketright");
    ASSERT_TRUE(WaitForTitle("Style")) << "Ctrl+] floats the Style panel";
    std::string shot = Screenshot("floating");
    EXPECT_GT(CropDiffers(shot, { window.x + window.width - 240, window.y + 60, 240, 50 }, "first_start_style"), 200);
    KeysTo(kUntitled, "ctrl+bracketright");
    ASSERT_TRUE(WaitForNoTitle("Style")) << "Ctrl+] docks it again";
    KeysTo(kUntitled, "ctrl+bracketright");
    ASSERT_TRUE(WaitForTitle("Style"));
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("StyleWnd_Docked"), "FALSE");
    EXPECT_EQ(Setting("LayerWnd_Docked"), "TRUE");
    EXPECT_EQ(Setting("LayerWnd_shape").substr(0, 4), "321 ");
    EXPECT_EQ(Setting("TimelineWnd_shape").substr(Setting("TimelineWnd_shape").find(' ') + 1), "331");

    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    EXPECT_TRUE(WaitForTitle("Style")) << "the Style panel floats at the next start";
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("LayerWnd_shape").substr(0, 4), "321 ");
}

} // namespace
