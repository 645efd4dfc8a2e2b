// The progress pane over a window: while it is up only repaints and timers get through.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "generic_progress.h"
#include "plat_simulate.h"
#include "qv_progress_bar.h"
#include "window_test_support.h"

namespace {

class Counter : public QV_Handler {
public:
    void HandleMessage(QV_Message*) override { count++; }
    int count = 0;
};

class ClosingWindow : public QV_Wnd {
public:
    ClosingWindow()
        : QV_Wnd(0, "work", true, nullptr, 100, 100, 599, 399)
    {
    }
    bool QuitRequested() override
    {
        asked++;
        return false;
    }
    int asked = 0;
};

using GenericProgressTest = WindowTest;

TEST_F(GenericProgressTest, WithoutAPaneNothingHappensNotEvenADispatch)
{
    QV_Wnd* window = MakeWindow();
    auto* layer = new RecordingLayer("base", 0, 0, 199, 149);
    window->AddLayer(layer);
    PumpPending();
    gSeen.clear();
    ASSERT_EQ(gGenericProgress, nullptr);
    PlatSimulateMouseButton(window->fHwnd, 10, 10, kPlatLeftButton, true, 0);
    GenericProgressUpdate(false, 0.5f);
    GenericProgressUpdate(true, 1.0f);
    EXPECT_TRUE(gSeen.empty());
    PumpPending();
    EXPECT_FALSE(gSeen.empty());
    PlatWindowDestroy(window->fHwnd);
}

TEST_F(GenericProgressTest, InputWaitsTimersRunAndDoneBelowOneCloses)
{
    auto* window = new ClosingWindow();
    window->Show();
    auto* base = new RecordingLayer("base", 0, 0, 499, 299);
    window->AddLayer(base);
    PumpPending();
    gSeen.clear();
    Counter ticks;
    window->AddTimer(0.01f, &ticks, 1);

    auto* pane = new GenericProgress("Working", window);
    window->AddLayer(pane);
    EXPECT_EQ(gGenericProgress, pane);
    EXPECT_EQ(pane->Frame().left, 50);
    EXPECT_EQ(pane->Frame().top, 114);
    PlatSimulateMouseButton(window->fHwnd, 10, 10, kPlatLeftButton, true, 0);
    PlatSimulateClose(window->fHwnd);
    for (int step = 1; step <= 20; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        GenericProgressUpdate(false, float(step) / 40.0f);
    }
    EXPECT_FLOAT_EQ(pane->fBar->fValue, 0.5f);
    EXPECT_GT(ticks.count, 0);
    EXPECT_TRUE(gSeen.empty());
    EXPECT_EQ(window->asked, 0);

    GenericProgressUpdate(true, 0.5f);
    EXPECT_EQ(gGenericProgress, nullptr);
    EXPECT_EQ(window->fLayerCount, 1);
    PumpPending();
    EXPECT_EQ(window->asked, 1);
    EXPECT_FALSE(gSeen.empty());
    PlatWindowDestroy(window->fHwnd);
}

} // namespace
