#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "frame_test_support.h"
#include "interface_colors.h"
#include "plat_video.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_message.h"
#include "qv_view.h"
#include "qv_wnd.h"
#include "raster_fill.h"

namespace {

// What the probes saw, in order, shared by all probes of a test.
std::vector<std::string> gLog;

// A view that records its input. A focusable probe stands in for a text field.
class Probe : public QV_View {
public:
    Probe(const char* name, int32_t left, int32_t top, int32_t right, int32_t bottom, bool focusable = false,
        int32_t follow = 0)
        : QV_View(follow)
        , fName(name)
        , fFocusable(focusable)
    {
        MoveTo(left, top);
        ResizeTo(right - left + 1, bottom - top + 1);
    }
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t, QV_Message*) override
    {
        Note("down", x, y, button);
    }
    void MouseMoved(int32_t x, int32_t y, int32_t, QV_Message*) override { Note("move", x, y); }
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t, QV_Message*) override
    {
        Note("up", x, y, button);
    }
    void MouseWheel(float, int32_t x, int32_t y, int32_t, QV_Message*) override { Note("wheel", x, y); }
    void KeyDown(int32_t key, int32_t) override { Note("key", key, 0); }
    void FocusChanged(bool focused) override { gLog.push_back(fName + (focused ? " focus" : " blur")); }
    bool AcceptsFocus() override { return fFocusable; }

    void Note(const char* what, int32_t x, int32_t y, int32_t button = 0)
    {
        std::string line = fName + " " + what + " " + std::to_string(x) + "," + std::to_string(y);
        if (button)
            line += " b" + std::to_string(button);
        gLog.push_back(line);
    }

    std::string fName;
    bool fFocusable;
};

// A view that takes nothing itself: presses go on to its parent.
class Passive : public QV_View {
public:
    Passive(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t follow = 0)
        : QV_View(follow)
    {
        MoveTo(left, top);
        ResizeTo(right - left + 1, bottom - top + 1);
    }
};

class TabLayer : public QV_Layer {
public:
    using QV_Layer::QV_Layer;
    bool TabNavigation() override { return true; }
};

// Records messages that climb out of the layers.
class ProbeWindow : public QV_Wnd {
public:
    ProbeWindow()
        : QV_Wnd(0, "probe", true, nullptr, 0, 0, 199, 149)
    {
    }
    void HandleMessage(QV_Message* message) override { received.push_back(message->fWhat); }
    std::vector<int32_t> received;
};

class LayerViewTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        gLog.clear();
        ASSERT_TRUE(PlatVideoStart()) << PlatVideoError();
        fWindow = new ProbeWindow;
        ASSERT_NE(fWindow->fHwnd, nullptr);
    }
    void TearDown() override
    {
        if (fWindow)
            PlatWindowDestroy(fWindow->fHwnd);
        PlatVideoStop();
        gFocusedWidget = nullptr;
        gFocusedTextControl = nullptr;
    }
    template <typename Layer = QV_Layer> Layer* AddFullLayer()
    {
        auto* layer = new Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
        layer->ResizeTo(200, 150);
        fWindow->AddLayer(layer);
        return layer;
    }
    // The window's part of a press and a release, as its procedure does them.
    void Press(QV_Layer* layer, int32_t x, int32_t y, int32_t button = 1)
    {
        QV_Message record;
        layer->MouseDown(x, y, button, 0, &record);
        SetButton(button, true);
    }
    void Release(QV_Layer* layer, int32_t x, int32_t y, int32_t button = 1)
    {
        QV_Message record;
        SetButton(button, false);
        layer->MouseUp(x, y, button, 0, &record);
    }
    void Move(QV_Layer* layer, int32_t x, int32_t y)
    {
        QV_Message record;
        fWindow->fMouseX = x;
        fWindow->fMouseY = y;
        layer->MouseMoved(x, y, 0, &record);
    }
    void SetButton(int32_t button, bool down)
    {
        (button == 1 ? fWindow->fLeftDown : button == 2 ? fWindow->fRightDown : fWindow->fMiddleDown) = down;
    }
    uint32_t ScreenPixel(int32_t x, int32_t y)
    {
        uint32_t argb = 0;
        EXPECT_TRUE(PlatWindowReadPixel(fWindow->fHwnd, x, y, argb));
        return argb;
    }

    ProbeWindow* fWindow = nullptr;
};

uint32_t Argb(rgb_color c)
{
    return 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
}

} // namespace

TEST_F(LayerViewTest, APressMovesTheFocusOnlyToViewsThatAcceptIt)
{
    QV_Layer* layer = AddFullLayer();
    auto* field = new Probe("field", 0, 0, 49, 19, true);
    auto* other = new Probe("other", 0, 30, 49, 49, true);
    auto* button = new Probe("button", 60, 0, 99, 19);
    auto* box = new Passive(100, 60, 199, 149);
    auto* nested = new Probe("nested", 10, 10, 49, 29, true);
    box->AddChild(nested);
    for (QV_View* view : { static_cast<QV_View*>(field), static_cast<QV_View*>(other),
             static_cast<QV_View*>(button), static_cast<QV_View*>(box) })
        layer->AddView(view);

    Press(layer, 5, 5);
    Release(layer, 5, 5);
    EXPECT_TRUE(field->fFocused);
    EXPECT_EQ(layer->fFocusWidget, field);
    EXPECT_EQ(gFocusedWidget, field);

    gLog.clear();
    Press(layer, 70, 5);
    Release(layer, 70, 5);
    EXPECT_TRUE(field->fFocused);
    EXPECT_EQ(gFocusedWidget, field);
    EXPECT_EQ(gLog, (std::vector<std::string> { "button down 10,5 b1", "button up 10,5 b1" }));

    Press(layer, 5, 35);
    Release(layer, 5, 35);
    EXPECT_FALSE(field->fFocused);
    EXPECT_TRUE(other->fFocused);
    EXPECT_EQ(gFocusedWidget, other);

    // The deepest focusable view on the path takes it, with the point in its own coordinates.
    gLog.clear();
    Press(layer, 115, 75);
    EXPECT_TRUE(nested->fFocused);
    EXPECT_FALSE(other->fFocused);
    EXPECT_EQ(layer->fFocusWidget, nested);
    EXPECT_EQ(gLog.back(), "nested down 5,5 b1");
    Release(layer, 115, 75);

    // A press on the box itself (no child there) goes to the box, whose base passes it up and drops it.
    Press(layer, 190, 140);
    Release(layer, 190, 140);
    EXPECT_TRUE(nested->fFocused);

    // Taking a view out leaves the layer without a focused widget.
    layer->RemoveView(box);
    EXPECT_EQ(layer->fFocusWidget, nullptr);
    EXPECT_FALSE(nested->fFocused);
    delete box;
}

TEST_F(LayerViewTest, TabAndShiftTabWrapAroundTheFocusableViews)
{
    TabLayer* layer = AddFullLayer<TabLayer>();
    auto* a = new Probe("a", 0, 0, 9, 9, true);
    auto* group = new Passive(20, 0, 99, 49);
    auto* b = new Probe("b", 0, 0, 9, 9, true);
    auto* skipped = new Probe("skipped", 20, 0, 29, 9, true);
    auto* c = new Probe("c", 40, 0, 49, 9, true);
    auto* label = new Probe("label", 0, 60, 9, 69);
    group->AddChild(b);
    group->AddChild(skipped);
    group->AddChild(c);
    skipped->Enable(false);
    layer->AddView(a);
    layer->AddView(group);
    layer->AddView(label);

    auto focused = [&]() -> std::string {
        return layer->fFocusWidget ? static_cast<Probe*>(layer->fFocusWidget)->fName : "none";
    };
    std::vector<std::string> forward;
    for (int i = 0; i < 5; ++i) {
        layer->KeyDown(KEY_TAB, 0);
        forward.push_back(focused());
        EXPECT_EQ(gFocusedWidget, layer->fFocusWidget);
    }
    EXPECT_EQ(forward, (std::vector<std::string> { "a", "b", "c", "a", "b" }));

    std::vector<std::string> backward;
    for (int i = 0; i < 4; ++i) {
        layer->KeyDown(KEY_TAB, MODIFIER_SHIFT);
        backward.push_back(focused());
    }
    EXPECT_EQ(backward, (std::vector<std::string> { "a", "c", "b", "a" }));
    int focusedCount = 0;
    for (Probe* p : { a, b, c, skipped })
        focusedCount += p->fFocused ? 1 : 0;
    EXPECT_EQ(focusedCount, 1);

    // Tab never reaches a focused view as an ordinary key.
    for (const std::string& line : gLog)
        EXPECT_EQ(line.find(" key "), std::string::npos) << line;

    // Without any enabled focusable view Tab clears the focus.
    for (Probe* p : { a, b, c })
        p->Enable(false);
    layer->KeyDown(KEY_TAB, 0);
    EXPECT_EQ(layer->fFocusWidget, nullptr);
    EXPECT_EQ(gFocusedWidget, nullptr);
}

TEST_F(LayerViewTest, CtrlShortcutsReachTheMainViewUnlessAFieldIsBeingEdited)
{
    QV_Layer* layer = AddFullLayer();
    auto* canvas = new Probe("canvas", 0, 0, 0, 99);
    auto* field = new Probe("field", 0, 0, 49, 19, true);
    layer->SetMainView(canvas);
    EXPECT_EQ(canvas->Size().x, 200); // the main view spans the layer
    field->MoveTo(0, 110);
    layer->AddView(field);
    Press(layer, 5, 115);
    Release(layer, 5, 115);
    gFocusedTextControl = field;

    gLog.clear();
    layer->KeyDown('c', MODIFIER_CTRL);
    layer->KeyDown('s', MODIFIER_CTRL);
    EXPECT_EQ(gLog, (std::vector<std::string> { "field key 99,0", "canvas key 115,0", "field key 115,0" }));

    // A main view taken out and deleted gets no more shortcuts.
    layer->RemoveView(canvas);
    delete canvas;
    EXPECT_EQ(layer->fMainView, nullptr);
    layer->KeyDown('s', MODIFIER_CTRL);
}

TEST_F(LayerViewTest, CaptureLastsUntilTheLastButtonIsReleased)
{
    QV_Layer* layer = AddFullLayer();
    auto* a = new Probe("a", 0, 0, 49, 49);
    auto* b = new Probe("b", 100, 0, 149, 49);
    layer->AddView(a);
    layer->AddView(b);

    Press(layer, 10, 10, 1);
    Move(layer, 110, 10); // over b, but a holds the press
    Press(layer, 110, 10, 2); // a second button goes to the same view
    Release(layer, 110, 10, 1);
    Move(layer, 120, 10); // the right button still holds the capture
    Release(layer, 120, 10, 2);
    Move(layer, 130, 10); // free again: b gets it
    EXPECT_EQ(gLog,
        (std::vector<std::string> { "a down 10,10 b1", "a move 110,10", "a down 110,10 b2", "a up 110,10 b1",
            "a move 120,10", "a up 120,10 b2", "a move 130,10", "b move 30,10" }));
    // "a move 130,10": leaving a, the hover view sees the pointer go, outside its bounds.
    EXPECT_EQ(layer->fCaptureView, nullptr);
    EXPECT_EQ(layer->fHoverView, b);
}

TEST_F(LayerViewTest, AfterAPressOnItsOwnAreaAViewLetsMovesReachItsChildrenAgain)
{
    QV_Layer* layer = AddFullLayer();
    auto* panel = new Probe("panel", 0, 0, 99, 99);
    auto* inner = new Probe("inner", 50, 50, 79, 79);
    panel->AddChild(inner);
    layer->AddView(panel);
    Press(layer, 10, 10);
    Release(layer, 10, 10);
    gLog.clear();
    Move(layer, 60, 60);
    EXPECT_EQ(gLog, (std::vector<std::string> { "inner move 10,10" }));
    EXPECT_EQ(layer->fHoverView, inner);
}

TEST_F(LayerViewTest, TheWheelReachesTheDeepestViewThenItsAncestors)
{
    QV_Layer* layer = AddFullLayer();
    auto* scroller = new Probe("scroller", 10, 10, 109, 109);
    auto* row = new Probe("row", 0, 20, 99, 39);
    auto* button = new Probe("button", 5, 2, 24, 17);
    row->AddChild(button);
    scroller->AddChild(row);
    layer->AddView(scroller);
    QV_Message record;
    layer->MouseWheel(-1, 20, 35, 0, &record);
    EXPECT_EQ(
        gLog, (std::vector<std::string> { "button wheel 5,3", "row wheel 10,5", "scroller wheel 10,25" }));
    gLog.clear();
    layer->MouseWheel(1, 150, 140, 0, &record); // over no view
    EXPECT_TRUE(gLog.empty());
}

TEST_F(LayerViewTest, FollowFlagsOnAFortyPixelResize)
{
    struct Case {
        int32_t follow;
        QV_Rect expected;
    } cases[] = {
        { FOLLOW_LEFT | FOLLOW_RIGHT, { 10, 20, 69, 39 } }, // 40 wider
        { FOLLOW_RIGHT, { 50, 20, 69, 39 } }, // 40 to the right
        { 0, { 10, 20, 29, 39 } }, // stays
        { FOLLOW_LEFT, { 10, 20, 29, 39 } },
        { FOLLOW_TOP | FOLLOW_BOTTOM, { 10, 20, 29, 79 } },
        { FOLLOW_BOTTOM, { 10, 60, 29, 79 } },
    };
    for (const Case& c : cases) {
        Passive parent(0, 0, 99, 99);
        auto* child = new Passive(10, 20, 29, 39, c.follow);
        parent.AddChild(child);
        parent.ResizeTo(140, 140);
        EXPECT_EQ(child->fFrame.left, c.expected.left) << c.follow;
        EXPECT_EQ(child->fFrame.top, c.expected.top) << c.follow;
        EXPECT_EQ(child->fFrame.right, c.expected.right) << c.follow;
        EXPECT_EQ(child->fFrame.bottom, c.expected.bottom) << c.follow;
    }

    // The same through the window: the layer follows the window, the views the layer.
    QV_Layer* layer = AddFullLayer();
    auto* toolbar = new Passive(0, 0, 199, 19, FOLLOW_LEFT | FOLLOW_RIGHT);
    auto* corner = new Passive(180, 130, 199, 149, FOLLOW_RIGHT | FOLLOW_BOTTOM);
    layer->AddView(toolbar);
    layer->AddView(corner);
    fWindow->FrameResized(200, 150, 240, 150);
    EXPECT_EQ(layer->Frame().right, 239);
    EXPECT_EQ(layer->fImage.buffer.width, 240);
    EXPECT_EQ(toolbar->fFrame.right, 239);
    EXPECT_EQ(corner->fFrame.left, 220);
    EXPECT_EQ(corner->fFrame.top, 130);
}

TEST_F(LayerViewTest, PresentingALowerLayerNeverChangesPixelsInsideAnUpperLayersFrame)
{
    QV_Layer* bottom = AddFullLayer();
    auto* menu = new QV_Layer(0);
    menu->ResizeTo(50, 40);
    menu->MoveTo(60, 30);
    FillRaster(menu->fImage.buffer, { 0, 200, 0, 255 });
    fWindow->AddLayer(menu);
    ASSERT_EQ(ScreenPixel(5, 5), Argb(WindowBackground));
    ASSERT_EQ(ScreenPixel(60, 30), 0xFF00C800u);

    FillRaster(bottom->fImage.buffer, { 0, 0, 220, 255 });
    bottom->Flush();
    for (int32_t y = 0; y < 150; y += 3) {
        for (int32_t x = 0; x < 200; x += 3) {
            bool inMenu = x >= 60 && x <= 109 && y >= 30 && y <= 69;
            ASSERT_EQ(ScreenPixel(x, y), inMenu ? 0xFF00C800u : 0xFF0000DCu) << x << "," << y;
        }
    }
    // The menu's edges are inclusive.
    EXPECT_EQ(ScreenPixel(109, 69), 0xFF00C800u);
    EXPECT_EQ(ScreenPixel(110, 69), 0xFF0000DCu);

    // Once the menu is gone, the window shows the bottom layer there again.
    fWindow->RemoveLayer(menu);
    EXPECT_EQ(ScreenPixel(80, 50), 0xFF0000DCu);
    delete menu;
}

TEST_F(LayerViewTest, AViewDrawsOnlyItsVisiblePartFromItsOwnOrigin)
{
    QV_Layer* layer = AddFullLayer();
    auto* parent = new Passive(20, 20, 69, 69);
    auto* child = new Passive(-10, -5, 19, 14); // its top-left corner hangs outside the parent
    parent->AddChild(child);
    layer->AddView(parent);
    FillRaster(layer->fImage.buffer, { 0, 0, 0, 255 });

    QV_Graphics* graphics = child->GetGraphics();
    ASSERT_NE(graphics, nullptr);
    EXPECT_EQ(graphics->Width(), 20);
    EXPECT_EQ(graphics->Height(), 15);
    EXPECT_EQ(graphics->fPanX, -10);
    EXPECT_EQ(graphics->fPanY, -5);
    graphics->SetColor(255, 255, 255);
    graphics->FillRect(0, 0, 29, 19); // the whole view
    graphics->EndDraw();

    const QV_PixelBuffer& image = layer->fImage.buffer;
    auto white = [&image](int32_t x, int32_t y) { return image.pixels[y * image.rowBytes + x * 4] == 255; };
    // Only the visible part, (20, 20) to (39, 34) of the layer, was painted.
    EXPECT_TRUE(white(20, 20));
    EXPECT_TRUE(white(39, 34));
    EXPECT_FALSE(white(19, 20));
    EXPECT_FALSE(white(20, 19));
    EXPECT_FALSE(white(40, 20));
    EXPECT_FALSE(white(20, 35));

    QV_Rect hidden = { 0, 0, 5, 3 };
    EXPECT_FALSE(child->ClipToVisible(hidden));
}

TEST_F(LayerViewTest, MessagesClimbToTheWindowWhenNobodyOnTheWayActs)
{
    QV_Layer* layer = AddFullLayer();
    auto* outer = new Passive(0, 0, 99, 99);
    auto* middle = new Passive(0, 0, 49, 49);
    auto* inner = new Passive(0, 0, 9, 9);
    middle->AddChild(inner);
    outer->AddChild(middle);
    layer->AddView(outer);
    inner->PostMessage(5);
    EXPECT_EQ(fWindow->received, (std::vector<int32_t> { 5 }));
}

TEST_F(LayerViewTest, PreferredSizesAndLayoutToTheOnlyChild)
{
    Passive view(0, 0, 99, 19);
    EXPECT_EQ(view.PreferredSize().x, 100);
    EXPECT_EQ(view.PreferredSize().y, 20);
    view.ResizeTo(50, 10);
    EXPECT_EQ(view.PreferredSize().x, 100);
    view.ResetSize(50, 10);
    EXPECT_EQ(view.PreferredSize().x, 50);
    EXPECT_EQ(view.PreferredSize().y, 10);

    QV_Layer* layer = AddFullLayer();
    auto* only = new Passive(30, 30, 109, 69);
    layer->AddView(only);
    layer->Layout();
    EXPECT_EQ(layer->Frame().right, 79);
    EXPECT_EQ(layer->Frame().bottom, 39);
    EXPECT_EQ(only->fFrame.left, 0);
}

namespace {

class ListeningApp : public QV_App {
public:
    void HandleMessage(QV_Message* message) override { received.push_back(message->fWhat); }
    std::vector<int32_t> received;
};

} // namespace

TEST_F(LayerViewTest, AWindowWithoutParentHandsMessagesToTheApplication)
{
    ListeningApp app;
    auto* window = new QV_Wnd(0, "plain", false, nullptr, 0, 0, 49, 49);
    auto* layer = new QV_Layer(0);
    auto* view = new Passive(0, 0, 9, 9);
    layer->AddView(view);
    window->AddLayer(layer);
    view->PostMessage(42);
    EXPECT_EQ(app.received, (std::vector<int32_t> { 42 }));
    PlatWindowDestroy(window->fHwnd); // deletes the window and its layer
}
