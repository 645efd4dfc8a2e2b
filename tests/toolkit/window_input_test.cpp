#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "key_translation.h"
#include "plat_cursor.h"
#include "plat_event.h"
#include "plat_simulate.h"
#include "plat_time.h"
#include "plat_window.h"
#include "qv_cursor.h"
#include "qv_keys.h"
#include "qv_view.h"
#include "window_test_support.h"

namespace {

using Lines = std::vector<std::string>;

// The keys the window's top layer received, as "key modifiers" texts.
Lines KeysSeen()
{
    Lines keys;
    for (const std::string& line : gSeen) {
        if (line.rfind("main key ", 0) == 0)
            keys.push_back(line.substr(9));
    }
    return keys;
}

class WindowInputTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        fWindow = MakeWindow();
        fMain = new RecordingLayer("main", 0, 0, 199, 149);
        fWindow->AddLayer(fMain);
    }
    QV_Wnd* fWindow = nullptr;
    RecordingLayer* fMain = nullptr;
};

// A view with a cursor, for the pointer shape.
class CursorView : public QV_View {
public:
    CursorView()
        : QV_View(0)
    {
        MoveTo(10, 10);
        ResizeTo(50, 50);
    }
};

} // namespace

TEST_F(WindowInputTest, KeysArriveAsTheirCodesAndThenAsTheCharactersTheyType)
{
    struct Case {
        const char* what;
        int32_t key; // a key press, or 0 for the text
        const char* text;
        int32_t modifiers;
        Lines expected;
    } cases[] = {
        { "Return", kPlatKeyReturn, nullptr, 0, { "-1 0", "13 0" } },
        { "Tab", kPlatKeyTab, nullptr, 0, { "-3 0", "9 0" } },
        { "Shift+Tab", kPlatKeyTab, nullptr, kPlatShift, { "-3 1", "9 1" } },
        { "Backspace", kPlatKeyBackspace, nullptr, 0, { "-4 0", "8 0" } },
        { "Escape", kPlatKeyEscape, nullptr, 0, { "-2 0", "27 0" } },
        { "Ctrl+C", 'c', nullptr, kPlatCtrl, { "99 2" } },
        { "Ctrl+Shift+A", 'a', nullptr, kPlatCtrl | kPlatShift, { "97 3" } },
        { "Ctrl+[", '[', nullptr, kPlatCtrl, { "91 2" } },
        { "Ctrl+]", ']', nullptr, kPlatCtrl, { "93 2" } },
        { "Ctrl+\\", '\\', nullptr, kPlatCtrl, { "124 2" } },
        { "Ctrl+Space", ' ', nullptr, kPlatCtrl, { "32 2" } }, // a character, not 128
        { "AltGr @", 0, "@", kPlatCtrl | kPlatAlt, { "64 6" } },
        { "AltGr braces", 0, "{}", kPlatCtrl | kPlatAlt, { "123 6", "125 6" } },
        { "Alt+a", 0, "a", kPlatAlt, { "97 4" } },
        { "Alt+Return", kPlatKeyReturn, nullptr, kPlatAlt, { "-1 4" } },
        { "Alt+Left", kPlatKeyLeft, nullptr, kPlatAlt, {} },
        { "Left", kPlatKeyLeft, nullptr, 0, { "-10 0" } },
        { "Delete", kPlatKeyDelete, nullptr, 0, { "-5 0" } },
        { "F3", kPlatKeyF1 + 2, nullptr, 0, { "-22 0" } },
        { "F12", kPlatKeyF12, nullptr, 0, { "-31 0" } },
        { "a", 'a', "a", 0, { "97 0" } },
        { "e acute", 0, "\xC3\xA9", 0, { "233 0" } },
        { "beyond the first plane", 0, "\xF0\x9F\x98\x80", 0, { "55357 0", "56832 0" } },
    };
    for (const Case& c : cases) {
        gSeen.clear();
        if (c.key)
            PlatSimulateKey(fWindow->fHwnd, c.key, true, c.modifiers);
        if (c.text)
            PlatSimulateText(fWindow->fHwnd, c.text, c.modifiers);
        PumpPending();
        EXPECT_EQ(KeysSeen(), c.expected) << c.what;
    }

    gSeen.clear();
    for (int32_t key : { int32_t('c'), int32_t(kPlatKeyReturn), int32_t(kPlatKeyShift), int32_t('7') })
        PlatSimulateKey(fWindow->fHwnd, key, false, 0);
    PlatSimulateKey(fWindow->fHwnd, 'c', false, kPlatAlt); // a system key: not delivered
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "main keyup 67", "main keyup -1", "main keyup 16", "main keyup 55" }));

    // Keys without a table code or a character of their own: their press is no key code (the
    // keypad types its characters as text), their release is the raw key code.
    gSeen.clear();
    for (int32_t key : { int32_t(kPlatKeyInsert), int32_t(kPlatKeyCapsLock), int32_t(kPlatKeyKeypad0 + 5),
             int32_t(kPlatKeyKeypadAdd) }) {
        PlatSimulateKey(fWindow->fHwnd, key, true, 0);
        PlatSimulateKey(fWindow->fHwnd, key, false, 0);
    }
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "main keyup 45", "main keyup 20", "main keyup 101", "main keyup 107" }));
}

TEST(KeyTranslation, CtrlAddsNinetySixOnlyBelowThirtyTwo)
{
    struct Case {
        int32_t code, modifiers, expected;
    } cases[] = {
        { 1, MODIFIER_CTRL, 97 },
        { 3, MODIFIER_CTRL | MODIFIER_SHIFT, 99 },
        { 0, MODIFIER_CTRL, 96 },
        { 27, MODIFIER_CTRL, 91 },
        { 28, MODIFIER_CTRL, 124 },
        { 29, MODIFIER_CTRL, 93 },
        { 30, MODIFIER_CTRL, 126 },
        { 31, MODIFIER_CTRL, 127 },
        // Characters typed with Ctrl held (AltGr) stay what they are.
        { 64, MODIFIER_CTRL | MODIFIER_ALT, 64 },
        { 32, MODIFIER_CTRL, 32 },
        { 233, MODIFIER_CTRL, 233 },
        { 8364, MODIFIER_CTRL | MODIFIER_ALT, 8364 },
        // Without Ctrl nothing changes.
        { 13, 0, 13 },
        { 3, MODIFIER_ALT, 3 },
        { 97, MODIFIER_SHIFT, 97 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(TranslateCharacter(c.code, c.modifiers), c.expected) << c.code << " " << c.modifiers;
    EXPECT_EQ(KeyCodeFromVirtualKey('a'), 0);
    EXPECT_EQ(KeyCodeFromVirtualKey(kPlatKeyPageDown), KEY_PAGEDOWN);
}

TEST_F(WindowInputTest, DoubleClicksNeedHalfASecondAndThreePixelsWhateverTheButton)
{
    // The first press a window ever sees is no double-click.
    PlatSimulateMouseButton(fWindow->fHwnd, 10, 10, kPlatLeftButton, true, 0);
    PumpPending();
    EXPECT_EQ(fMain->Field("doubleclick"), "FALSE");
    PlatSimulateMouseButton(fWindow->fHwnd, 10, 10, kPlatLeftButton, false, 0);
    PumpPending();
    EXPECT_EQ(fMain->Field("doubleclick"), "(none)"); // releases have none

    struct Case {
        uint32_t ms; // since the previous press
        int32_t x, y, button;
        const char* expected;
    } cases[] = {
        { 400, 12, 12, kPlatLeftButton, "TRUE" },
        { 500, 12, 12, kPlatLeftButton, "FALSE" }, // half a second is too slow
        { 100, 15, 12, kPlatLeftButton, "FALSE" }, // three pixels are too far
        { 100, 15, 14, kPlatLeftButton, "TRUE" },
        { 100, 15, 14, kPlatRightButton, "TRUE" }, // a right press after a left one
        { 100, 17, 16, kPlatMiddleButton, "TRUE" },
    };
    for (const Case& c : cases) {
        fWindow->fClickTick = PlatTickCount() - c.ms;
        PlatSimulateMouseButton(fWindow->fHwnd, c.x, c.y, c.button, true, 0);
        PumpPending();
        EXPECT_EQ(fMain->Field("doubleclick"), c.expected) << c.ms << " ms at " << c.x << "," << c.y;
        EXPECT_EQ(fWindow->fClickX, c.x);
        PlatSimulateMouseButton(fWindow->fHwnd, c.x, c.y, c.button, false, 0);
        PumpPending();
    }
}

TEST_F(WindowInputTest, APressOutsideAPopupGoesToTheFirstLayerBelowUnderThePoint)
{
    auto* middle = new RecordingLayer("middle", 0, 0, 99, 99);
    auto* popup = new RecordingLayer("popup", 50, 50, 149, 129);
    fWindow->AddLayer(middle);
    fWindow->AddLayer(popup);
    gSeen.clear();
    gPenPressure = 0.5f;
    PlatSimulateMouseButton(fWindow->fHwnd, 10, 20, kPlatLeftButton, true, kPlatShift);
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "popup outside -40,-30 b1", "middle down 10,20 b1" }));
    EXPECT_EQ(fWindow->fCaptureLayer, middle);
    EXPECT_EQ(middle->Field("where"), "10 20");
    EXPECT_EQ(middle->Field("pressure"), "0.500000");
    EXPECT_EQ(middle->Field("modifiers"), "1");
    EXPECT_TRUE(fWindow->fLeftDown);

    // Moves reach the capture layer first, then the layers from the top down
    // to the first one under the point.
    gSeen.clear();
    PlatSimulateMouseMove(fWindow->fHwnd, 120, 60, 0);
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "middle move 120,60", "popup move 70,10" }));

    // The release goes to the capture layer with no pressure.
    gSeen.clear();
    PlatSimulateMouseButton(fWindow->fHwnd, 120, 60, kPlatLeftButton, false, 0);
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "middle up 120,60 b1" }));
    EXPECT_EQ(middle->Field("pressure"), "0.000000");
    EXPECT_EQ(fWindow->fCaptureLayer, nullptr);
    EXPECT_FALSE(fWindow->fLeftDown);

    // Wheel turns come in notches, towards the user negative.
    for (float notches : { 1.0f, -2.0f }) {
        gSeen.clear();
        PlatSimulateWheel(fWindow->fHwnd, 60, 70, notches, 0);
        PumpPending();
        EXPECT_EQ(gSeen, (Lines { "popup wheel 10,20" }));
        EXPECT_FLOAT_EQ(popup->fLastWheel, notches);
    }
    EXPECT_EQ(popup->Field("wheelDistance"), "-2.000000");
    EXPECT_EQ(popup->Field("pressure"), "0.500000");

    // A popup that closes on the outside press still lets the layer below take it.
    popup->fCloseOnOutsidePress = true;
    gSeen.clear();
    PlatSimulateMouseButton(fWindow->fHwnd, 30, 30, kPlatRightButton, true, 0);
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "popup outside -20,-20 b2", "middle down 30,30 b2" }));
    EXPECT_EQ(fWindow->fLayerCount, 2);
    delete popup;
}

TEST_F(WindowInputTest, APressInAnOwnedWindowFirstLetsGoOfEverythingInItsParent)
{
    QV_Wnd* tool = MakeWindow(5, fWindow, 400, 100, 100, 100);
    tool->AddLayer(new RecordingLayer("tool", 0, 0, 99, 99));
    gSeen.clear();
    PlatSimulateMouseButton(tool->fHwnd, 5, 6, kPlatLeftButton, true, 0);
    PumpPending();
    EXPECT_EQ(gSeen, (Lines { "main outside -100,-100 b1", "main up -100,-100 b1", "tool down 5,6 b1" }));
    EXPECT_EQ(fWindow->MousePosition().x, -100);
    EXPECT_FALSE(fWindow->fLeftDown);
}

TEST_F(WindowInputTest, ToolWindowsPassKeysOnUnlessAFieldOrAClosingPopupKeepsThem)
{
    QV_Wnd* tool = MakeWindow(6, fWindow, 400, 100, 100, 100);
    EXPECT_EQ(tool->fKind, 5);
    auto* toolLayer = new RecordingLayer("tool", 0, 0, 99, 99);
    tool->AddLayer(toolLayer);
    auto send = [&](int32_t key, int32_t modifiers) {
        gSeen.clear();
        tool->KeyDown(key, modifiers);
        return gSeen;
    };
    EXPECT_EQ(send('x', 0), (Lines { "tool key 120 0", "main key 120 0" }));

    // A focused field keeps its keys, except shortcuts other than the editing ones.
    class Field : public QV_View {
    public:
        Field()
            : QV_View(0)
        {
            ResizeTo(20, 20);
        }
        bool AcceptsFocus() override { return true; }
    };
    auto* field = new Field;
    toolLayer->AddView(field);
    toolLayer->SetFocus(field);
    ASSERT_EQ(toolLayer->fFocusWidget, field);
    EXPECT_EQ(send('x', 0), (Lines { "tool key 120 0" }));
    EXPECT_EQ(send('c', MODIFIER_CTRL), (Lines { "tool key 99 2" }));
    EXPECT_EQ(send('s', MODIFIER_CTRL), (Lines { "tool key 115 2", "main key 115 2" }));

    // The key that closed a popup stays in the tool window.
    auto* popup = new RecordingLayer("popup", 0, 0, 49, 49);
    popup->fKeyAction = [](RecordingLayer* layer, int32_t) { layer->fWindow->RemoveLayer(layer); };
    tool->AddLayer(popup);
    EXPECT_EQ(send(KEY_ESCAPE, 0), (Lines { "popup key -2 0" }));
    delete popup;

    // A key that closes the tool window itself ends there.
    toolLayer->RemoveView(field);
    delete field;
    toolLayer->fKeyAction = [](RecordingLayer* layer, int32_t) { PlatWindowDestroy(layer->fWindow->fHwnd); };
    const uint32_t toolId = IdOf(tool);
    gSeen.clear();
    PlatSimulateKey(tool->fHwnd, kPlatKeyEscape, true, 0);
    PumpPending();
    EXPECT_FALSE(Alive(toolId));
    EXPECT_EQ(gSeen, (Lines { "tool key -2 0" }));
}

TEST_F(WindowInputTest, DroppedFilesGoToTheTopmostLayerUnderThePointOneByOne)
{
    auto* panel = new RecordingLayer("panel", 100, 0, 199, 149);
    fWindow->AddLayer(panel);
    PlatSimulateMouseMove(fWindow->fHwnd, 150, 40, 0);
    for (const char* path : { "/tmp/a.png", "/tmp/b.png", "/tmp/c.png" })
        PlatSimulateDrop(fWindow->fHwnd, path);
    PlatSimulateMouseMove(fWindow->fHwnd, 20, 30, 0);
    PlatSimulateDrop(fWindow->fHwnd, "/tmp/d.png");
    gSeen.clear();
    PumpPending();
    Lines drops;
    for (const std::string& line : gSeen) {
        if (line.find(" drop ") != std::string::npos)
            drops.push_back(line);
    }
    EXPECT_EQ(drops,
        (Lines { "panel drop /tmp/a.png 50,40", "panel drop /tmp/b.png 50,40", "panel drop /tmp/c.png 50,40",
            "main drop /tmp/d.png 20,30" }));
}

TEST_F(WindowInputTest, ThePointerTakesTheCursorOfTheViewUnderIt)
{
    std::vector<uint32_t> white(32 * 32, 0xFFFFFFFFu);
    QV_PixelBuffer raster { reinterpret_cast<uint8_t*>(white.data()), 32, 32, 32, 4, 128 };
    QV_Cursor cursor(&raster, 3, 4);
    ASSERT_NE(cursor.fHandle, nullptr);
    auto* view = new CursorView;
    fMain->AddView(view);
    view->SetCursor(&cursor);

    bool hidden = true;
    PlatSimulateMouseMove(fWindow->fHwnd, 20, 20, 0);
    PumpPending();
    EXPECT_EQ(fWindow->fCursor, &cursor);
    EXPECT_EQ(PlatCursorShown(hidden), cursor.fHandle);
    PlatSimulateMouseMove(fWindow->fHwnd, 100, 100, 0);
    PumpPending();
    EXPECT_EQ(fWindow->fCursor, nullptr);
    EXPECT_EQ(PlatCursorShown(hidden), nullptr);
    EXPECT_FALSE(hidden); // the arrow

    gCursorsDisabled = true;
    PlatSimulateMouseMove(fWindow->fHwnd, 20, 20, 0);
    PumpPending();
    EXPECT_EQ(PlatCursorShown(hidden), nullptr);
    EXPECT_FALSE(hidden);
    gCursorsDisabled = false;

    // An image too small for a cursor hides the pointer over the view.
    QV_PixelBuffer small { reinterpret_cast<uint8_t*>(white.data()), 15, 32, 32, 4, 128 };
    QV_Cursor none(&small, 0, 0);
    EXPECT_EQ(none.fHandle, nullptr);
    view->SetCursor(&none);
    PlatSimulateMouseMove(fWindow->fHwnd, 21, 20, 0);
    PumpPending();
    EXPECT_EQ(PlatCursorShown(hidden), nullptr);
    EXPECT_TRUE(hidden);
    view->SetCursor(nullptr);
    PlatSimulateMouseMove(fWindow->fHwnd, 22, 20, 0);
    PumpPending();
}
