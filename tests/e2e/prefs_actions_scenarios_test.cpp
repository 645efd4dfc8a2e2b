// Edit > Preferences as a new user meets it: a background colour tried and cancelled, then kept
// and written at exit.
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

} // namespace
