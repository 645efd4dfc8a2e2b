// The canvas as a user meets it: the frame guides round the document, a right drag that pans,
// View > Reset, and the wheel.
#include <cstdio>

#include "celvane_session.h"
#include "interface_fonts.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"

namespace {

const char* kUntitled = "Untitled.celv - Celvane";

class CanvasScenarios : public CelvaneSession {
protected:
    // The bounding box (screen pixels) of the frame guides' colour inside the window; width 0
    // when none shows.
    ScreenBox GuideBox(const ScreenBox& window)
    {
        const std::string shot = Screenshot("guides");
        RunProgram({ "convert", shot, "-crop",
                       std::to_string(window.width) + "x" + std::to_string(window.height) + "+"
                           + std::to_string(window.x) + "+" + std::to_string(window.y),
                       "+repage", "-fill", "black", "+opaque", "rgb(152,152,203)", "-format", "%@", "info:" },
            fRoot.File("box.txt"), nullptr);
        ScreenBox box;
        if (std::sscanf(fRoot.Get("box.txt").c_str(), "%dx%d+%d+%d", &box.width, &box.height, &box.x, &box.y) != 4)
            return ScreenBox {};
        box.x += window.x;
        box.y += window.y;
        // A trim that finds nothing answers a 1 x 1 box.
        return box.width > 1 ? box : ScreenBox {};
    }
    // Until the guides' box differs from the one given (or the time is up).
    ScreenBox GuideBoxAfter(const ScreenBox& window, const ScreenBox& before)
    {
        ScreenBox box;
        for (int tries = 0; tries < 20; ++tries) {
            box = GuideBox(window);
            if (box.x != before.x || box.y != before.y || box.width != before.width || box.height != before.height)
                break;
            usleep(200000);
        }
        return box;
    }
    // Once the window has settled: the same box on three looks in a row.
    ScreenBox SettledGuideBox(const ScreenBox& window)
    {
        ScreenBox box = GuideBox(window);
        for (int same = 0, tries = 0; same < 2 && tries < 30; ++tries) {
            usleep(300000);
            const ScreenBox next = GuideBox(window);
            same = next.x == box.x && next.y == box.y && next.width == box.width && next.height == box.height ? same + 1 : 0;
            box = next;
        }
        return box;
    }
    void Mouse(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = { "xdotool" };
        all.insert(all.end(), args.begin(), args.end());
        RunProgram(all, "", nullptr);
    }
};

// The frame guides stand round the document, in its proportions.
TEST_F(CanvasScenarios, FrameGuidesSurroundTheDocument)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    const ScreenBox guides = SettledGuideBox(window);
    ASSERT_GT(guides.width, 100) << Output();
    // Lines three pixels wide round a 720 x 534 frame.
    EXPECT_NEAR(double(guides.width - 3) / double(guides.height - 3), 720.0 / 534.0, 0.02);
    const std::string shot = Screenshot("frame");
    EXPECT_EQ(PixelText(shot, guides.x + guides.width / 2, guides.y + 1), "152,152,203");
    EXPECT_EQ(PixelText(shot, guides.x + 1, guides.y + guides.height / 2), "152,152,203");
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

// S10: a right drag pans, View > Reset fits again, the wheel zooms about the middle.
TEST_F(CanvasScenarios, RightDragResetAndWheel)
{
    Start();
    ASSERT_TRUE(WaitForTitle(kUntitled)) << Output();
    ScreenBox window;
    ASSERT_TRUE(WindowBox(kUntitled, window));
    const ScreenBox fitted = SettledGuideBox(window);
    ASSERT_GT(fitted.width, 100) << Output();
    const int cx = fitted.x + fitted.width / 2;
    const int cy = fitted.y + fitted.height / 2;

    Mouse({ "mousemove", "--sync", std::to_string(cx), std::to_string(cy) });
    Mouse({ "mousedown", "3" });
    for (int step = 1; step <= 5; ++step) {
        Mouse({ "mousemove", "--sync", std::to_string(cx + 20 * step), std::to_string(cy) });
        usleep(50000);
    }
    Mouse({ "mouseup", "3" });
    const ScreenBox panned = GuideBoxAfter(window, fitted);
    EXPECT_EQ(panned.x - fitted.x, 100);
    EXPECT_EQ(panned.y, fitted.y);

    // View > Reset, found where the menu bar puts it.
    CreateInterfaceFonts();
    QV_MenuBar bar;
    for (const char* title : { "File", "Edit", "Draw", "Bone", "Animation", "Scripts", "View" })
        bar.AddMenu(new QV_Menu(title));
    const QV_Rect view = bar.TitleRect(6);
    DeleteInterfaceFonts();
    Mouse({ "mousemove", "--sync", std::to_string(window.x + (view.left + view.right) / 2),
        std::to_string(window.y + (view.top + view.bottom) / 2), "click", "1" });
    usleep(500000);
    Mouse({ "mousemove", "--sync", std::to_string(window.x + view.left + 30), std::to_string(window.y + view.bottom + 9),
        "click", "1" });
    const ScreenBox reset = GuideBoxAfter(window, panned);
    EXPECT_EQ(reset.x, fitted.x);
    EXPECT_EQ(reset.width, fitted.width);

    // The wheel away from the user shrinks the frame to 0.8, towards grows it 1.2 times.
    Mouse({ "mousemove", "--sync", std::to_string(cx), std::to_string(cy), "click", "4" });
    const ScreenBox smaller = GuideBoxAfter(window, reset);
    EXPECT_NEAR(smaller.width - 3, 0.8 * (fitted.width - 3), 2.0);
    EXPECT_NEAR(smaller.height - 3, 0.8 * (fitted.height - 3), 2.0);
    Mouse({ "click", "5" });
    const ScreenBox larger = GuideBoxAfter(window, smaller);
    EXPECT_NEAR(larger.width - 3, 1.2 * (smaller.width - 3), 2.0);
    EXPECT_NEAR(larger.height - 3, 1.2 * (smaller.height - 3), 2.0);
    EXPECT_EQ(Quit(kUntitled), 0) << Output();
}

} // namespace
