#include <future>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "plat_mutex.h"
#include "plat_simulate.h"
#include "plat_window.h"
#include "qv_dc.h"
#include "qv_view.h"
#include "window_test_support.h"

namespace {

// A window that notes its opening and whether its mutex was held meanwhile.
class OpeningWindow : public QV_Wnd {
public:
    OpeningWindow(int32_t x, int32_t y, int32_t width, int32_t height)
        : QV_Wnd(0, "placed", true, nullptr, x, y, x + width - 1, y + height - 1)
    {
    }
    void Opened() override
    {
        opened++;
        PlatMutex* mutex = fWndMutex;
        heldWhileOpening = !std::async(std::launch::async, [mutex] {
            if (!PlatMutexLock(mutex, 0))
                return false;
            PlatMutexUnlock(mutex);
            return true;
        }).get();
    }
    void SizeLimits(QV_Point& minimum, QV_Point& maximum) override
    {
        minimum = { 100, 90 };
        maximum = { 640, 480 };
    }
    int opened = 0;
    bool heldWhileOpening = false;
};

QV_Point ClientPosition(QV_Wnd* window)
{
    QV_Point at;
    PlatWindowClientPosition(window->fHwnd, at.x, at.y);
    return at;
}

QV_Point ClientSize(QV_Wnd* window)
{
    const QV_Rect bounds = window->Bounds();
    return { bounds.right + 1, bounds.bottom + 1 };
}

class WindowPlacementTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        fApp = std::make_unique<QV_App>();
        fArea = UsableScreenRect();
    }
    std::string Setting(const char* key)
    {
        const char* text = nullptr;
        return fApp->fUserSettings.FindString(key, &text) ? text : "(none)";
    }

    std::unique_ptr<QV_App> fApp;
    QV_Rect fArea;
};

} // namespace

TEST_F(WindowPlacementTest, ASavedPlaceOffTheUsableScreenIsPulledBackInside)
{
    // The dummy display: no panels, so the whole 1024 x 768 screen is usable.
    ASSERT_EQ(fArea.right, 1023);
    ASSERT_EQ(fArea.bottom, 767);
    struct Case {
        const char* saved;
        int32_t x, y;
    } cases[] = {
        { "5000 100", 1023 - 128, 100 }, // off to the right: 128 pixels inside the right edge
        { "100 -300", 100, 0 }, // above the top: at the top
        { "-50 40", 0, 40 }, { "300 2000", 300, 767 - 32 }, { "200 300", 200, 300 }, // on the screen: stays
        { "1023 767", 1023, 767 }, // the corner itself is still inside
        { "not a place", 10, 20 }, // no two numbers: the window keeps its own place
    };
    for (const Case& c : cases) {
        fApp->fUserSettings.AddString("Probe_location", c.saved);
        auto* window = new OpeningWindow(10, 20, 200, 100);
        window->fLocationName = "Probe";
        window->Show();
        const QV_Point at = ClientPosition(window);
        EXPECT_EQ(at.x, c.x) << c.saved;
        EXPECT_EQ(at.y, c.y) << c.saved;
        EXPECT_EQ(window->opened, 1);
        EXPECT_TRUE(window->heldWhileOpening);
        // Later shows open nothing again and only pull the window back.
        PlatWindowMoveClient(window->fHwnd, 3000, 3000);
        window->Show();
        EXPECT_EQ(window->opened, 1);
        EXPECT_EQ(ClientPosition(window).x, 1023 - 128);
        PlatWindowMoveClient(window->fHwnd, c.x, c.y);
        PlatWindowDestroy(window->fHwnd);
    }
}

TEST_F(WindowPlacementTest, TheSavedSizeComesBackAtTheFirstShowAndTheLayersFollowAtOnce)
{
    fApp->fUserSettings.AddString("Probe_shape", "300 200");
    auto* window = new OpeningWindow(10, 20, 200, 100);
    auto* layer = new RecordingLayer("main", 0, 0, 199, 99);
    layer->fFollow = FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM;
    window->AddLayer(layer);
    window->fShapeName = "Probe";
    window->Show();
    EXPECT_EQ(ClientSize(window).x, 300);
    EXPECT_EQ(ClientSize(window).y, 200);
    EXPECT_EQ(layer->Frame().right, 299);
    EXPECT_EQ(layer->Frame().bottom, 199);

    // The window's own size limits hold.
    window->ResizeTo(20, 2000);
    EXPECT_EQ(ClientSize(window).x, 100);
    EXPECT_EQ(ClientSize(window).y, 480);
    EXPECT_EQ(layer->Frame().bottom, 479);
    PumpPending(); // the size events that follow change nothing more
    EXPECT_EQ(layer->Frame().bottom, 479);
}

TEST_F(WindowPlacementTest, ADestroyedWindowRemembersItsPlaceAndItsSizeBeforeMinimising)
{
    QV_Wnd* window = MakeWindow(2, nullptr, 10, 20, 320, 240);
    auto* layer = new RecordingLayer("main", 0, 0, 319, 239);
    window->AddLayer(layer);
    window->fLocationName = "Probe";
    window->fShapeName = "Shaped";
    window->Show();
    PlatWindowMoveClient(window->fHwnd, 250, 260);
    // Minimised: the system reports no size, and nothing follows it.
    PlatSimulateResize(window->fHwnd, 0, 0);
    PumpPending();
    EXPECT_EQ(ClientSize(window).x, 320);
    EXPECT_EQ(layer->Frame().right, 319);
    PlatWindowDestroy(window->fHwnd);
    EXPECT_EQ(Setting("Probe_location"), "250 260");
    EXPECT_EQ(Setting("Shaped_shape"), "320 240");
    EXPECT_EQ(Setting("Probe_shape"), "(none)");
}

TEST_F(WindowPlacementTest, CenterPutsTheWindowInTheMiddleOfTheUsableScreen)
{
    QV_Wnd* window = MakeWindow(0, nullptr, 0, 0, 400, 300);
    window->Center();
    // (1023 / 2 - 400 / 2, 767 / 2 - 300 / 2) in whole pixels.
    EXPECT_EQ(ClientPosition(window).x, 311);
    EXPECT_EQ(ClientPosition(window).y, 233);
}

TEST_F(WindowPlacementTest, FitToLayerTakesTheSizeOfTheOnlyLayer)
{
    QV_Wnd* window = MakeWindow(5, nullptr, 0, 0, 200, 150);
    auto* layer = new QV_Layer(0);
    auto* view = new QV_View(0);
    view->ResizeTo(120, 90);
    layer->AddView(view);
    window->AddLayer(layer);
    window->FitToLayer();
    EXPECT_EQ(ClientSize(window).x, 120);
    EXPECT_EQ(ClientSize(window).y, 90);
    // With a second layer nothing is fitted.
    window->AddLayer(new QV_Layer(0));
    window->ResizeTo(200, 150);
    window->FitToLayer();
    EXPECT_EQ(ClientSize(window).x, 200);
}
