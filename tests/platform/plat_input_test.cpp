#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "plat_beep.h"
#include "plat_clipboard.h"
#include "plat_pump.h"
#include "plat_simulate.h"
#include "plat_time.h"
#include "plat_video.h"
#include "plat_window.h"

namespace {

// Input injected through the queue comes out of the pump translated, as the
// system's own would.
class PlatInputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
        PlatClearQuit();
        fWindow = MakeWindow();
        ASSERT_NE(fWindow, nullptr);
    }
    void TearDown() override { PlatVideoStop(); }

    PlatWindow* MakeWindow()
    {
        PlatWindow* window = PlatWindowCreate("input", 10, 10, 80, 60, 0);
        if (window)
            PlatWindowSetHandler(window, &PlatInputTest::Record, this);
        return window;
    }
    static void Record(void* user, PlatWindow* window, const PlatEvent& event)
    {
        auto* self = static_cast<PlatInputTest*>(user);
        if (event.type != PlatEventType::Expose)
            self->fEvents.push_back({ window, event });
    }
    // Handles everything that is waiting, without waiting for more.
    void PumpPending()
    {
        int32_t result = 1;
        for (int i = 0; i < 1000 && result == 1; ++i)
            result = PlatPumpMessageWithin(0);
        EXPECT_EQ(result, kPlatPumpTimedOut);
    }
    // "type:key" for key-like events, in order.
    std::vector<std::string> Keys() const
    {
        std::vector<std::string> keys;
        for (const Seen& seen : fEvents) {
            const PlatEvent& e = seen.event;
            switch (e.type) {
            case PlatEventType::KeyDown:
                keys.push_back("down:" + std::to_string(e.key) + "/" + std::to_string(e.modifiers));
                break;
            case PlatEventType::KeyUp:
                keys.push_back("up:" + std::to_string(e.key));
                break;
            case PlatEventType::Char:
                keys.push_back("char:" + std::to_string(e.key) + "/" + std::to_string(e.modifiers));
                break;
            case PlatEventType::Text:
                keys.push_back("text:" + e.text);
                break;
            default:
                break;
            }
        }
        return keys;
    }

    struct Seen {
        PlatWindow* window;
        PlatEvent event;
    };
    PlatWindow* fWindow = nullptr;
    std::vector<Seen> fEvents;
};

using Strings = std::vector<std::string>;

} // namespace

TEST_F(PlatInputTest, ControlKeysAddTheirCharacterAndCtrlMakesControlCodes)
{
    const std::string ret = std::to_string(kPlatKeyReturn);
    const std::string tab = std::to_string(kPlatKeyTab);
    struct Case {
        int32_t key;
        int32_t modifiers;
        Strings expected;
    } cases[] = {
        { kPlatKeyReturn, 0, { "down:" + ret + "/0", "char:13/0" } },
        { kPlatKeyTab, kPlatShift, { "down:" + tab + "/1", "char:9/1" } },
        { kPlatKeyBackspace, 0, { "down:" + std::to_string(kPlatKeyBackspace) + "/0", "char:8/0" } },
        { kPlatKeyEscape, 0, { "down:" + std::to_string(kPlatKeyEscape) + "/0", "char:27/0" } },
        // With Ctrl, Return types nothing; letters and brackets type control codes.
        { kPlatKeyReturn, kPlatCtrl, { "down:" + ret + "/2" } },
        { 'c', kPlatCtrl, { "down:99/2", "char:3/2" } },
        { 'c', kPlatCtrl | kPlatShift, { "down:99/3", "char:3/3" } },
        { '[', kPlatCtrl, { "down:91/2", "char:27/2" } },
        { ']', kPlatCtrl, { "down:93/2", "char:29/2" } },
        { '\\', kPlatCtrl, { "down:92/2", "char:28/2" } },
        { ' ', kPlatCtrl, { "down:32/2", "char:32/2" } },
        // Ctrl with Alt is AltGr: its characters come as text, not as codes.
        { 'q', kPlatCtrl | kPlatAlt, { "down:113/6" } },
        { 'a', 0, { "down:97/0" } },
        { kPlatKeyF1 + 4, 0, { "down:" + std::to_string(kPlatKeyF1 + 4) + "/0" } },
    };
    for (const Case& c : cases) {
        fEvents.clear();
        ASSERT_TRUE(PlatSimulateKey(fWindow, c.key, true, c.modifiers));
        PumpPending();
        EXPECT_EQ(Keys(), c.expected) << c.key << " " << c.modifiers;
    }
    fEvents.clear();
    ASSERT_TRUE(PlatSimulateKey(fWindow, kPlatKeyShift, false, 0));
    ASSERT_TRUE(PlatSimulateText(fWindow, "\xC3\xA9@", kPlatCtrl | kPlatAlt));
    PumpPending();
    EXPECT_EQ(Keys(), (Strings { "up:" + std::to_string(kPlatKeyShift), "text:\xC3\xA9@" }));
    EXPECT_EQ(fEvents.back().event.modifiers, kPlatCtrl | kPlatAlt);
}

TEST_F(PlatInputTest, MouseEventsCarryButtonsNotchesAndModifiers)
{
    ASSERT_TRUE(PlatSimulateMouseMove(fWindow, 12, 34, kPlatShift));
    ASSERT_TRUE(PlatSimulateMouseButton(fWindow, 12, 34, kPlatRightButton, true, 0));
    ASSERT_TRUE(PlatSimulateMouseButton(fWindow, 12, 34, kPlatMiddleButton, false, kPlatCtrl));
    ASSERT_TRUE(PlatSimulateWheel(fWindow, 5, 6, -2.0f, 0));
    PumpPending();
    ASSERT_EQ(fEvents.size(), 4u);
    EXPECT_EQ(fEvents[0].event.type, PlatEventType::MouseMoved);
    EXPECT_EQ(fEvents[0].event.modifiers, kPlatShift);
    EXPECT_EQ(fEvents[1].event.type, PlatEventType::MouseDown);
    EXPECT_EQ(fEvents[1].event.button, 2);
    EXPECT_EQ(fEvents[2].event.type, PlatEventType::MouseUp);
    EXPECT_EQ(fEvents[2].event.button, 4);
    EXPECT_EQ(fEvents[2].event.modifiers, kPlatCtrl);
    EXPECT_EQ(fEvents[3].event.type, PlatEventType::MouseWheel);
    EXPECT_FLOAT_EQ(fEvents[3].event.wheel, -2.0f);
    EXPECT_EQ(fEvents[3].event.x, 5);
}

TEST_F(PlatInputTest, DroppedFilesLandWhereThePointerWasLast)
{
    ASSERT_TRUE(PlatSimulateMouseMove(fWindow, 40, 22, 0));
    for (const char* path : { "/tmp/a.png", "/tmp/b c.png", "/tmp/\xC3\xA9.png" })
        ASSERT_TRUE(PlatSimulateDrop(fWindow, path));
    PumpPending();
    ASSERT_EQ(fEvents.size(), 4u);
    EXPECT_EQ(fEvents[3].event.text, "/tmp/\xC3\xA9.png");
    for (size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(fEvents[i].event.type, PlatEventType::FileDropped);
        EXPECT_EQ(fEvents[i].event.x, 40);
        EXPECT_EQ(fEvents[i].event.y, 22);
    }
}

TEST_F(PlatInputTest, ADisabledWindowGetsNoInputButStillPaintsAndTicks)
{
    PlatWindowEnable(fWindow, false);
    EXPECT_FALSE(PlatWindowIsEnabled(fWindow));
    PlatSimulateKey(fWindow, kPlatKeyReturn, true, 0);
    PlatSimulateText(fWindow, "x", 0);
    PlatSimulateMouseButton(fWindow, 1, 1, kPlatLeftButton, true, 0);
    PlatSimulateClose(fWindow);
    PlatSimulateDrop(fWindow, "/tmp/x");
    PlatSimulateResize(fWindow, 90, 70);
    ASSERT_TRUE(PlatPostWakeUp(PlatWindowId(fWindow)));
    PumpPending();
    ASSERT_EQ(fEvents.size(), 2u);
    EXPECT_EQ(fEvents[0].event.type, PlatEventType::Resized);
    EXPECT_EQ(fEvents[1].event.type, PlatEventType::WakeUp);
    PlatWindowEnable(fWindow, true);
    PlatSimulateClose(fWindow);
    PumpPending();
    EXPECT_EQ(fEvents.back().event.type, PlatEventType::Close);
}

TEST_F(PlatInputTest, OwnedWindowsGoFirstWhenTheirOwnerIsDestroyed)
{
    PlatWindow* owned = MakeWindow();
    PlatWindow* grandchild = MakeWindow();
    PlatWindow* stranger = MakeWindow();
    ASSERT_TRUE(owned && grandchild && stranger);
    PlatWindowSetOwner(owned, fWindow);
    PlatWindowSetOwner(grandchild, owned);
    EXPECT_EQ(PlatWindowOwner(grandchild), owned);
    EXPECT_EQ(PlatWindowUser(owned), this);
    const uint32_t ownedId = PlatWindowId(owned);
    PlatWindowDestroy(fWindow);
    std::vector<PlatWindow*> order;
    for (const Seen& seen : fEvents) {
        if (seen.event.type == PlatEventType::Destroy)
            order.push_back(seen.window);
    }
    EXPECT_EQ(order, (std::vector<PlatWindow*> { grandchild, owned, fWindow }));
    EXPECT_EQ(PlatWindowFromId(ownedId), nullptr);
    EXPECT_EQ(PlatWindowFromId(PlatWindowId(stranger)), stranger);
    fWindow = nullptr;
}

TEST_F(PlatInputTest, WindowsMoveAndResizeByTheirClientArea)
{
    PlatWindowMoveClient(fWindow, 100, 120);
    int32_t x = 0;
    int32_t y = 0;
    ASSERT_TRUE(PlatWindowClientPosition(fWindow, x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 120);
    PlatWindowSetSizeLimits(fWindow, 64, 8, 200, 150);
    PlatWindowSetClientSize(fWindow, 300, 100);
    int32_t w = 0;
    int32_t h = 0;
    ASSERT_TRUE(PlatWindowClientSize(fWindow, w, h));
    EXPECT_EQ(w, 200); // held to the largest size
    EXPECT_EQ(h, 100);
    PumpPending();
    ASSERT_FALSE(fEvents.empty());
    EXPECT_EQ(fEvents.back().event.type, PlatEventType::Resized);
    EXPECT_EQ(fEvents.back().event.width, 200);
    int32_t left = 1;
    int32_t top = 1;
    int32_t right = 1;
    int32_t bottom = 1;
    PlatWindowFrameExtents(fWindow, left, top, right, bottom);
    EXPECT_EQ(left + top + right + bottom, 0); // no window manager, no frame
}

TEST_F(PlatInputTest, ALateTimerTicksOnceAndKeepsThePeriodItWasGiven)
{
    ASSERT_TRUE(PlatSetTimer(fWindow, 3, 1));
    uint32_t period = 99;
    ASSERT_TRUE(PlatTimerPeriod(fWindow, 3, period));
    EXPECT_EQ(period, 1u); // as asked; the pump keeps at least 10 ms between ticks
    ASSERT_TRUE(PlatSetTimer(fWindow, 4, 200));
    PlatSleep(650); // three periods and more go by unattended
    PumpPending();
    int ticks = 0;
    for (const Seen& seen : fEvents)
        ticks += seen.event.type == PlatEventType::Timer && seen.event.timerId == 4 ? 1 : 0;
    EXPECT_EQ(ticks, 1);
    PlatKillTimer(fWindow, 4);
    EXPECT_FALSE(PlatTimerPeriod(fWindow, 4, period));
}

TEST_F(PlatInputTest, ClipboardTextRoundTripsAndAnImageReplacesIt)
{
    ASSERT_TRUE(PlatClipboardSetText("\xC3\xA9t\xC3\xA9"));
    std::string text;
    ASSERT_TRUE(PlatClipboardGetText(text));
    EXPECT_EQ(text, "\xC3\xA9t\xC3\xA9");
    const uint8_t png[] = { 0x89, 'P', 'N', 'G' };
    // No X server here: the image cannot be offered, but the text is gone.
    EXPECT_FALSE(PlatClipboardSetPng(png, sizeof png));
    EXPECT_FALSE(PlatClipboardHoldsOurPng());
    EXPECT_FALSE(PlatClipboardGetText(text));
}

TEST_F(PlatInputTest, BeepsReachTheHook)
{
    static int beeps = 0;
    beeps = 0;
    PlatSetBeepHook([] { beeps++; });
    PlatBeep();
    PlatBeep();
    PlatSetBeepHook(nullptr);
    PlatBeep();
    EXPECT_EQ(beeps, 2);
}
