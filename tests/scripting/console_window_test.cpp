// The console window on SDL's dummy video driver: real windows, layers and views, no screen.
#include <string>
#include <thread>

#include "console_view.h"
#include "interface_fonts.h"
#include "qv_dc.h"
#include "qv_font.h"
#include "qv_lua_console.h"
#include "qv_scroll_bar.h"
#include "qv_scrolling_view.h"
#include "script_console.h"
#include "window_test_support.h"

namespace {

constexpr uint32_t kBlack = 0xff000000;
constexpr uint32_t kDarkRed = 0xff000080;

class ConsoleWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        CreateInterfaceFonts();
        QV_LuaConsole::OnInterfaceThread();
        QV_LuaConsole::ClearLines();
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        DeleteInterfaceFonts();
    }

    static QV_LuaConsole* Console() { return QV_LuaConsole::Current(); }
    static QVi_ConsoleLines& ShownLines() { return Console()->fConsoleView->fLines; }
    static std::string LastShown() { return ShownLines().Line(ShownLines().Count() - 1)->fText.CString(); }
    // The clip view's area in the content's coordinates: the part of the lines on show.
    static QV_Rect VisibleContent()
    {
        const QV_Rect clip = Console()->fScrollingView->fClipView->Bounds();
        const QV_Rect frame = Console()->fConsoleView->Frame();
        return { clip.left - frame.left, clip.top - frame.top, clip.right - frame.left,
            clip.bottom - frame.top };
    }
    // Pixels of exactly that colour in the layer image's rows top..bottom.
    static int CountColour(int32_t top, int32_t bottom, rgb_color colour)
    {
        const QV_PixelBuffer& image = Console()->fLayers[0]->fImage.buffer;
        int count = 0;
        for (int32_t y = std::max(0, top); y <= bottom && y < image.height; y++) {
            const uint8_t* row = image.pixels + y * image.rowBytes;
            for (int32_t x = 0; x < image.width; x++) {
                const uint8_t* p = row + x * image.bytesPerPixel;
                count += p[2] == colour.r && p[1] == colour.g && p[0] == colour.b ? 1 : 0;
            }
        }
        return count;
    }
};

TEST_F(ConsoleWindowTest, OpensOnTheFirstPrintAtTheLowerLeftAndReopensEmptyOnceClosed)
{
    ASSERT_EQ(gLuaConsole, nullptr);
    QV_LuaConsole::Print("first", kBlack);
    ASSERT_NE(Console(), nullptr);
    QV_LuaConsole* first = Console();
    ASSERT_NE(first->fHwnd, nullptr);
    EXPECT_EQ(first->fKind, 5);
    const QV_Rect bounds = first->Bounds();
    EXPECT_EQ(bounds.right + 1, 400);
    EXPECT_EQ(bounds.bottom + 1, 128);
    int32_t x = 0, y = 0, left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_TRUE(PlatWindowClientPosition(first->fHwnd, x, y));
    PlatWindowFrameExtents(first->fHwnd, left, top, right, bottom);
    const QV_Rect area = UsableScreenRect();
    EXPECT_EQ(x - left, area.left + 3);
    EXPECT_EQ(y - top, area.bottom - 127 - 33);
    QV_Point minimum, maximum;
    first->SizeLimits(minimum, maximum);
    EXPECT_EQ(minimum.x, 128);
    EXPECT_EQ(minimum.y, 100);
    EXPECT_EQ(maximum.x, 8192);

    QV_LuaConsole::Print("second\nthird", kBlack);
    EXPECT_EQ(Console(), first) << "one console at a time";
    EXPECT_EQ(ShownLines().Count(), 3);

    PlatWindowDestroy(first->fHwnd);
    EXPECT_EQ(gLuaConsole, nullptr);
    EXPECT_EQ(QV_LuaConsole::Lines().Count(), 0);

    QV_LuaConsole::Print("again", kDarkRed);
    ASSERT_NE(Console(), nullptr);
    ASSERT_EQ(ShownLines().Count(), 1);
    EXPECT_EQ(LastShown(), "again");
    EXPECT_EQ(ColorValue(ShownLines().Line(0)->fColor), kDarkRed);
}

TEST_F(ConsoleWindowTest, ShowsTheLastOf128LinesAtTheBottomInItsColour)
{
    for (int i = 1; i <= 129; i++)
        QV_LuaConsole::Print(("line " + std::to_string(i)).c_str(), kBlack);
    QV_LuaConsole::Print("line 130", kDarkRed);
    ASSERT_NE(Console(), nullptr);
    ASSERT_EQ(ShownLines().Count(), 128);
    EXPECT_STREQ(ShownLines().Line(0)->fText.CString(), "line 3");
    EXPECT_EQ(LastShown(), "line 130");

    const int32_t h = QVi_ConsoleView::LineHeight();
    ASSERT_GT(h, 0);
    const QV_Rect content = Console()->fConsoleView->Bounds();
    EXPECT_EQ(content.bottom + 1, 128 * h);
    // Scrolled to the end: the last line's bottom row is the last row on show, from the left.
    const QV_Rect visible = VisibleContent();
    EXPECT_EQ(visible.bottom, 128 * h - 1);
    EXPECT_EQ(visible.left, 0);
    const QV_ScrollBar* bar = Console()->fScrollingView->fVScroll;
    EXPECT_TRUE(bar->IsEnabled());
    EXPECT_EQ(bar->fValue, bar->fMax);
    EXPECT_EQ(Console()->fScrollingView->fScrollY, bar->fMax);

    // Drawn: the last line in dark red at the bottom of the clip view, black above it.
    const QV_Rect clip = Console()->fScrollingView->fClipView->FrameInLayer();
    EXPECT_GT(CountColour(clip.bottom - h + 1, clip.bottom, ColorFromValue(kDarkRed)), 0);
    EXPECT_EQ(CountColour(clip.top, clip.bottom - h, ColorFromValue(kDarkRed)), 0);
    EXPECT_GT(CountColour(clip.top, clip.bottom - h, ColorFromValue(kBlack)), 0);
}

TEST_F(ConsoleWindowTest, AWideLineWidensTheViewForGood)
{
    QV_LuaConsole::Print("short", kBlack);
    const QV_ScrollBar* across = Console()->fScrollingView->fHScroll;
    EXPECT_FALSE(across->IsEnabled());
    const std::string wide(200, 'W');
    QV_LuaConsole::Print(wide.c_str(), kBlack);
    const int32_t width = Console()->fConsoleView->Bounds().right + 1;
    EXPECT_EQ(width, gWidgetFont->StringWidth(wide.c_str()));
    EXPECT_TRUE(across->IsEnabled());
    EXPECT_EQ(VisibleContent().left, 0) << "lines are shown from their left edge";
    for (int i = 0; i < 128; i++)
        QV_LuaConsole::Print("narrow", kBlack);
    EXPECT_EQ(LastShown(), "narrow");
    EXPECT_EQ(Console()->fConsoleView->Bounds().right + 1, width);
    EXPECT_TRUE(across->IsEnabled());
}

TEST_F(ConsoleWindowTest, PrintsOfOtherThreadsReachTheOpenWindowWhenItWakes)
{
    QV_LuaConsole::Print("interface", kBlack);
    ASSERT_NE(Console(), nullptr);
    std::thread worker([] { QV_LuaConsole::Print("out of range\nworker", 0xff0000ffu); });
    worker.join();
    EXPECT_EQ(ShownLines().Count(), 1) << "the lines belong to the interface thread";
    PumpPending();
    ASSERT_EQ(ShownLines().Count(), 3);
    EXPECT_EQ(LastShown(), "worker");
    EXPECT_EQ(ColorValue(ShownLines().Line(1)->fColor), 0xff0000ffu);
}

TEST_F(ConsoleWindowTest, QuitDestroysTheConsoleWhichKeepsItsPlace)
{
    QV_App app;
    QV_LuaConsole::Print("bye", kBlack);
    ASSERT_NE(Console(), nullptr);
    app.Quit();
    EXPECT_EQ(gLuaConsole, nullptr);
    const char* shape = nullptr;
    const char* location = nullptr;
    ASSERT_TRUE(app.fUserSettings.FindString("LuaConsole_shape", &shape));
    EXPECT_STREQ(shape, "400 128");
    EXPECT_TRUE(app.fUserSettings.FindString("LuaConsole_location", &location));
}

TEST_F(ConsoleWindowTest, NoWindowBeforeTheToolkitRuns)
{
    PlatVideoStop();
    QV_LuaConsole::Print("early", kBlack);
    EXPECT_EQ(gLuaConsole, nullptr);
    EXPECT_EQ(QV_LuaConsole::Lines().Count(), 1);
}

} // namespace
