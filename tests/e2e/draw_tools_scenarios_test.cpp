// The installation's drawing tools as a new user meets them: the rectangle tool chosen in the
// palette draws a filled, outlined rectangle that undo takes away and brings back and that the
// saved file holds; the pan tool moves the view.
#include <sstream>

#include "celvane_session.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";
const char* kSaved = "draw.celv - Celvane";

class DrawToolScenarios : public CelvaneSession {
protected:
    // The darkest component sum of the pixels within one pixel of (x, y).
    int Darkest(const std::string& picture, int x, int y)
    {
        int darkest = 3 * 255;
        for (int dx = -1; dx <= 1; dx++) {
            int r = 0, g = 0, b = 0;
            if (std::sscanf(PixelText(picture, x + dx, y).c_str(), "%d,%d,%d", &r, &g, &b) == 3)
                darkest = std::min(darkest, r + g + b);
        }
        return darkest;
    }
    void ClickAt(int x, int y)
    {
        RunProgram({ "xdotool", "mousemove", "--sync", std::to_string(x), std::to_string(y), "click", "1" }, "",
            nullptr);
        usleep(500000);
    }
};

TEST_F(DrawToolScenarios, TheRectangleToolDrawsUndoesAndSavesAndThePanToolMovesTheView)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    DismissMissingPictureAlerts();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    std::string before;
    const ScreenBox frame = WaitForFrameGuide("before", before);
    ASSERT_GT(frame.width, 200) << "no frame guides on the canvas";
    const int cx = frame.x + frame.width / 2;
    const int cy = frame.y + frame.height / 2;
    // The canvas's background inside the rectangle to come, away from the origin's cross.
    const int px = cx + 40, py = cy + 30;
    const std::string background = PixelText(before, px, py);
    ASSERT_NE(background, "255,255,255");
    const ScreenBox firstCell = ColourBox(before, kSelectedCell);
    ASSERT_GT(firstCell.width, 0) << "no selected tool at start";

    // The rectangle tool by its letter: its palette cell is the selected one and the status bar's
    // text changed to its description.
    KeysTo(kUntitled, "r");
    const std::string chosen = Screenshot("chosen");
    const ScreenBox cell = ColourBox(chosen, kSelectedCell);
    ASSERT_GT(cell.width, 0);
    EXPECT_LE(cell.width, 25);
    EXPECT_LE(cell.height, 21);
    EXPECT_TRUE(cell.x != firstCell.x || cell.y != firstCell.y) << "the selection stayed on the first tool";
    const ScreenBox status { window.x, firstCell.y - 58, 300, 16 };
    EXPECT_GT(BoxDiffers(before, chosen, status), 50) << "the status bar kept its text";

    Drag(cx - 80, cy - 60, cx + 80, cy + 60);
    EXPECT_EQ(SettledPixel("drawn", px, py, "255,255,255"), "255,255,255");
    const std::string drawn = Screenshot("drawn");
    EXPECT_LT(Darkest(drawn, cx - 80, cy), 3 * 100) << "no dark outline on the left edge";
    EXPECT_LT(Darkest(drawn, cx + 80, cy), 3 * 100) << "no dark outline on the right edge";

    KeysTo(kUntitled, "ctrl+z");
    EXPECT_EQ(SettledPixel("undone", px, py, background), background);
    KeysTo(kUntitled, "ctrl+shift+z");
    EXPECT_EQ(SettledPixel("redone", px, py, "255,255,255"), "255,255,255");

    KeysTo(kUntitled, "ctrl+s");
    ASSERT_TRUE(WaitForTitle("Save As")) << Output();
    KeysTo("Save As", "ctrl+a");
    TypeTo("Save As", fRoot.File("draw.celv"));
    KeysTo("Save As", "Return");
    ASSERT_TRUE(WaitForTitle(kSaved)) << Output();
    EXPECT_NE(fRoot.Get("draw.celv").find("shapes 1"), std::string::npos);

    // The pan tool: a drag of 100 pixels to the right moves the frame guide as far.
    KeysTo(kUntitled, "h");
    const ScreenBox guideBefore = ColourBox(Screenshot("unpanned"), kFrameGuide);
    Drag(cx - 50, cy + 100, cx + 50, cy + 100);
    ScreenBox guideAfter;
    for (int tries = 0; tries < 20; tries++) {
        guideAfter = ColourBox(Screenshot("panned"), kFrameGuide);
        if (guideAfter.x == guideBefore.x + 100)
            break;
        usleep(250000);
    }
    EXPECT_EQ(guideAfter.x, guideBefore.x + 100);
    EXPECT_EQ(guideAfter.y, guideBefore.y);

    // Home fits the frame in the window again.
    KeysTo(kSaved, "Home");
    ScreenBox fitted;
    for (int tries = 0; tries < 20; tries++) {
        fitted = ColourBox(Screenshot("fitted"), kFrameGuide);
        if (fitted.x == guideBefore.x)
            break;
        usleep(250000);
    }
    EXPECT_EQ(fitted.x, guideBefore.x);
    EXPECT_EQ(fitted.width, guideBefore.width);
    EXPECT_EQ(Quit(kSaved), 0) << Output();
}

} // namespace
