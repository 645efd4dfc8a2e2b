// Edit > Preferences as a new user meets it: a background colour tried and cancelled, then kept
// and written at exit. Window > Actions: a new action is made and edited.
#include <cstdio>

#include "celvane_session.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_tab_view.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class PrefsActionsScenarios : public CelvaneSession {
protected:
    void Mouse(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = { "xdotool" };
        all.insert(all.end(), args.begin(), args.end());
        RunProgram(all, "", nullptr);
        usleep(300000);
    }
    // The box (screen pixels) of a colour inside a window; width 0 when it does not show.
    ScreenBox ColourBox(const ScreenBox& window, const std::string& colour)
    {
        const std::string shot = Screenshot("colour");
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(window.width) + "x" + std::to_string(window.height) + "+"
                           + std::to_string(window.x) + "+" + std::to_string(window.y),
                       "+repage", "-fill", "black", "+opaque", colour, "-format", "%@", "info:" },
            fRoot.File("box.txt"), nullptr);
        ScreenBox box;
        if (std::sscanf(fRoot.Get("box.txt").c_str(), "%dx%d+%d+%d", &box.width, &box.height, &box.x, &box.y) != 4)
            return ScreenBox {};
        box.x += window.x;
        box.y += window.y;
        return box.width > 1 ? box : ScreenBox {};
    }
    // Edit > Preferences, the Editor Colors tab, the Background swatch set to the colour in the
    // picker; the Preferences window is left open.
    void ChangeBackground(const ScreenBox& window, const std::string& red, const std::string& green,
        const std::string& blue)
    {
        ChooseMenuItem(window, 1, 13);
        ASSERT_TRUE(WaitForTitle("Preferences")) << Output();
        ScreenBox dialog;
        ASSERT_TRUE(WindowBox("Preferences", dialog));
        CreateInterfaceFonts();
        QV_TabView tabs;
        for (const char* label : { "Options", "Editor Colors", "GUI Colors" })
            tabs.AddTab(label, nullptr);
        const int tabX = tabs.TabLeft(1) + tabs.fTabWidths[1] / 2;
        DeleteInterfaceFonts();
        ClickIn("Preferences", 8 + tabX, 8 + 8);
        // The Background swatch shows the editor background; it is the first of its colour.
        const ScreenBox swatch = ColourBox(dialog, "rgb(215,214,197)");
        ASSERT_GT(swatch.width, 10) << Output();
        Mouse({ "mousemove", "--sync", std::to_string(swatch.x + 8), std::to_string(swatch.y + 8), "click", "1" });
        ASSERT_TRUE(WaitForTitle("Color Picker")) << Output();
        KeysTo("Color Picker", "ctrl+a");
        TypeTo("Color Picker", red);
        KeysTo("Color Picker", "Tab");
        KeysTo("Color Picker", "ctrl+a");
        TypeTo("Color Picker", green);
        KeysTo("Color Picker", "Tab");
        KeysTo("Color Picker", "ctrl+a");
        TypeTo("Color Picker", blue);
        KeysTo("Color Picker", "Return");
        ASSERT_TRUE(WaitForNoTitle("Color Picker")) << Output();
    }
};

// Acceptance 4: a cancelled background leaves the canvas as it was; a kept one is written at exit.
TEST_F(PrefsActionsScenarios, BackgroundCancelledThenKept)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    ScreenBox canvas;
    for (int tries = 0; tries < 20 && canvas.width == 0; tries++) {
        canvas = ColourBox(window, "rgb(215,214,197)");
        usleep(300000);
    }
    ASSERT_GT(canvas.width, 100) << Output();
    const int px = canvas.x + 3;
    const int py = canvas.y + 3;
    ASSERT_EQ(PixelText(Screenshot("before"), px, py), "215,214,197");

    ChangeBackground(window, "40", "90", "170");
    KeysTo("Preferences", "Escape");
    ASSERT_TRUE(WaitForNoTitle("Preferences")) << Output();
    usleep(500000);
    EXPECT_EQ(PixelText(Screenshot("cancelled"), px, py), "215,214,197");

    ChangeBackground(window, "40", "90", "170");
    KeysTo("Preferences", "Return");
    ASSERT_TRUE(WaitForNoTitle("Preferences")) << Output();
    std::string kept;
    for (int tries = 0; tries < 10 && kept != "40,90,170"; tries++) {
        usleep(300000);
        kept = PixelText(Screenshot("kept"), px, py);
    }
    EXPECT_EQ(kept, "40,90,170");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
    EXPECT_EQ(Setting("VornColBack"), "40 90 170 255");
}

// Acceptance 5: Window > Actions, New, OK: "Action 1" is the active row (the red mark of the
// active row moves from the mainline row down to it, inside the selection) and the document is
// at frame 1. The menu item chosen again closes the window.
TEST_F(PrefsActionsScenarios, NewActionIsActiveAtFrameOne)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    ASSERT_EQ(MarkerSettlesAt(0, window, "start"), 0);

    ChooseMenuItem(window, 7, 4);
    ASSERT_TRUE(WaitForTitle("Actions")) << Output();
    ScreenBox actions;
    ASSERT_TRUE(WindowBox("Actions", actions));
    // The list, below the buttons (the Delete button's cross is of the mark's red).
    actions.y += 24;
    actions.height -= 24;
    const std::string markColour = "rgb(190,40,40)";
    ScreenBox mainline;
    for (int tries = 0; tries < 20 && mainline.width == 0; tries++) {
        usleep(200000);
        mainline = ColourBox(actions, markColour);
    }
    ASSERT_GT(mainline.width, 0) << "no active row is marked";

    ClickIn("Actions", 8, 8);
    ASSERT_TRUE(WaitForTitle("Action Name")) << Output();
    KeysTo("Action Name", "Return");
    ASSERT_TRUE(WaitForNoTitle("Action Name")) << Output();

    ScreenBox mark;
    for (int tries = 0; tries < 20 && mark.y <= mainline.y + 8; tries++) {
        usleep(200000);
        mark = ColourBox(actions, markColour);
    }
    EXPECT_GT(mark.y, mainline.y + 8) << "the mark stays on the mainline row";
    EXPECT_LT(mark.y, mainline.y + 40) << "the mark is not on the second row";
    const ScreenBox selected = ColourBox(actions, "rgb(114,121,184)");
    ASSERT_GT(selected.width, 0) << "no row is selected";
    EXPECT_LE(selected.y, mark.y);
    EXPECT_GE(selected.y + selected.height, mark.y + mark.height);
    EXPECT_EQ(MarkerSettlesAt(1, window, "frame"), 1);

    // The action is the document's: it is saved with it.
    KeysTo(kUntitled, "ctrl+s");
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", fRoot.File("actions"));
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForTitle("actions.celv - Celvane")) << Output();
    EXPECT_NE(fRoot.Get("actions.celv").find("\"Action 1\""), std::string::npos);
    // Chosen again, Window > Actions closes the window.
    ChooseMenuItem(window, 7, 4);
    EXPECT_TRUE(WaitForNoTitle("Actions")) << Output();
    EXPECT_EQ(Quit("actions.celv - Celvane"), 0) << Output();
}

} // namespace
