#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "plat_simulate.h"
#include "plat_window.h"
#include "qv_docking_view.h"
#include "qv_docking_wnd.h"
#include "qv_keys.h"
#include "tabbing_layer.h"
#include "window_test_support.h"

namespace {

// What happened to panels, shared by all of a test.
std::vector<std::string> gPanelLog;

class Panel : public QV_DockingView {
public:
    Panel(const char* name, bool persist, QV_Wnd* owner, int32_t x1, int32_t y1, int32_t x2, int32_t y2)
        : QV_DockingView(name, persist, 5, owner, name, x1, y1, x2, y2)
    {
    }
    ~Panel() override { gPanelLog.push_back(std::string(fTitle.CString()) + " deleted"); }
    void FloatingWindowClosed() override { gPanelLog.push_back(std::string(fTitle.CString()) + " closed"); }
};

// A field that takes the focus, for Tab.
class Field : public QV_View {
public:
    Field(int32_t top)
        : QV_View(0)
    {
        MoveTo(0, top);
        ResizeTo(40, 10);
    }
    bool AcceptsFocus() override { return true; }
};

class DockLayer : public QV_Layer {
public:
    DockLayer()
        : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
    {
        ResizeTo(400, 300);
    }
    void ViewDocked(QV_View*) override { gPanelLog.push_back("docked"); }
    void ViewUndocked(QV_View*) override { gPanelLog.push_back("undocked"); }
    bool Holds(QV_View* view) const
    {
        for (int32_t i = 0; i < fViewCount; ++i) {
            if (fViews[i] == view)
                return true;
        }
        return false;
    }
};

class MainWindow : public QV_Wnd {
public:
    MainWindow()
        : QV_Wnd(0, "main", true, nullptr, 0, 0, 399, 299)
    {
    }
    void HandleMessage(QV_Message* message) override { received.push_back(message->fWhat); }
    std::vector<int32_t> received;
};

class DockingTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        gPanelLog.clear();
        fApp = std::make_unique<QV_App>();
        fMain = new MainWindow;
        fDock = new DockLayer;
        fMain->AddLayer(fDock);
    }
    std::string Setting(const char* key)
    {
        const char* text = nullptr;
        return fApp->fUserSettings.FindString(key, &text) ? text : "(none)";
    }

    std::unique_ptr<QV_App> fApp;
    MainWindow* fMain = nullptr;
    DockLayer* fDock = nullptr;
};

} // namespace

TEST_F(DockingTest, APersistentPanelStartsAtItsRememberedSize)
{
    fApp->fUserSettings.AddString("Tools_shape", "300 200");
    Panel tools("Tools", true, fMain, 10, 10, 109, 59);
    EXPECT_EQ(tools.Size().x, 300);
    EXPECT_EQ(tools.Size().y, 200);
    EXPECT_EQ(tools.Frame().left, 0);
    EXPECT_EQ(tools.fFollow, 15);
    Panel other("Tools", false, fMain, 10, 10, 109, 59); // only persistent panels remember
    EXPECT_EQ(other.Size().x, 100);
    EXPECT_EQ(other.Size().y, 50);
}

TEST_F(DockingTest, FloatingOpensAToolWindowAtTheDefaultPlaceAndRemembersItsShape)
{
    auto* panel = new Panel("Layers", true, fMain, 600, 100, 749, 299);
    panel->Dock(fDock, FOLLOW_LEFT | FOLLOW_TOP);
    EXPECT_TRUE(fDock->Holds(panel));
    EXPECT_EQ(panel->fDockLayer, fDock);
    EXPECT_EQ(panel->fFollow, FOLLOW_LEFT | FOLLOW_TOP);
    panel->SaveShape();
    EXPECT_EQ(Setting("Layers_shape"), "150 200");

    panel->Float();
    EXPECT_FALSE(fDock->Holds(panel));
    EXPECT_EQ(panel->fDockLayer, nullptr);
    QV_DockingWnd* window = panel->fFloatWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->fKind, 5);
    EXPECT_TRUE(window->fResizable);
    EXPECT_EQ(window->fParent, fMain);
    EXPECT_EQ(PlatWindowOwner(window->fHwnd), fMain->fHwnd);
    EXPECT_TRUE(PlatWindowIsShown(window->fHwnd));
    int32_t x = 0;
    int32_t y = 0;
    PlatWindowClientPosition(window->fHwnd, x, y);
    EXPECT_EQ(x, 600);
    EXPECT_EQ(y, 100);
    EXPECT_EQ(window->Bounds().right, 149);
    ASSERT_EQ(window->fLayerCount, 1);
    EXPECT_TRUE(window->fLayers[0]->TabNavigation());
    EXPECT_EQ(panel->OwnerLayer(), window->fLayers[0]);
    EXPECT_EQ(gPanelLog, (std::vector<std::string> { "docked", "undocked" }));

    // Floating, a panel's shape is the window's business.
    fApp->fUserSettings.AddString("Layers_shape", "1 1");
    panel->SaveShape();
    EXPECT_EQ(Setting("Layers_shape"), "1 1");

    // Its messages go to the owner, wherever it sits.
    panel->PostMessage(77);
    EXPECT_EQ(fMain->received, (std::vector<int32_t> { 77 }));

    // Tab moves between its fields.
    auto* first = new Field(0);
    auto* second = new Field(20);
    panel->AddChild(first);
    panel->AddChild(second);
    window->KeyDown(KEY_TAB, 0);
    EXPECT_TRUE(first->fFocused);
    window->KeyDown(KEY_TAB, 0);
    EXPECT_TRUE(second->fFocused);
    EXPECT_FALSE(first->fFocused);

    // The close box: the panel is told, and deleted with the window's layer;
    // the window remembers its place and size.
    PlatWindowMoveClient(window->fHwnd, 640, 120);
    window->ResizeTo(160, 210);
    gPanelLog.clear();
    PlatSimulateClose(window->fHwnd);
    PumpPending();
    EXPECT_EQ(gPanelLog, (std::vector<std::string> { "Layers closed", "Layers deleted" }));
    EXPECT_EQ(Setting("Layers_location"), "640 120");
    EXPECT_EQ(Setting("Layers_shape"), "160 210");

    // Floated again, it opens where it was.
    auto* again = new Panel("Layers", true, fMain, 600, 100, 749, 299);
    EXPECT_EQ(again->Size().x, 160);
    again->Float();
    PlatWindowClientPosition(again->fFloatWindow->fHwnd, x, y);
    EXPECT_EQ(x, 640);
    EXPECT_EQ(y, 120);
}

TEST_F(DockingTest, DockingDestroysTheFloatingWindowWithoutTheClosedNotice)
{
    auto* panel = new Panel("Style", false, fMain, 300, 50, 399, 149);
    panel->Float();
    QV_DockingWnd* window = panel->fFloatWindow;
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->fResizable);
    EXPECT_EQ(window->fShapeName.Length(), 0); // a panel that does not persist keeps no size
    const uint32_t id = IdOf(window);
    PlatWindowMoveClient(window->fHwnd, 320, 60);
    panel->Dock(fDock, 15);
    EXPECT_FALSE(Alive(id));
    EXPECT_EQ(panel->fFloatWindow, nullptr);
    EXPECT_TRUE(fDock->Holds(panel));
    EXPECT_EQ(gPanelLog, (std::vector<std::string> { "docked" }));
    EXPECT_EQ(Setting("Style_location"), "320 60");
    EXPECT_EQ(Setting("Style_shape"), "(none)");

    // Closing a docked panel hands it back to the caller.
    panel->Close();
    EXPECT_FALSE(fDock->Holds(panel));
    EXPECT_EQ(panel->fDockLayer, nullptr);
    delete panel;

    // Closing a floating one ends its window, and the panel with it.
    auto* floating = new Panel("Timeline", false, fMain, 0, 400, 299, 499);
    floating->Float();
    const uint32_t floatingId = IdOf(floating->fFloatWindow);
    gPanelLog.clear();
    floating->Close();
    EXPECT_FALSE(Alive(floatingId));
    EXPECT_EQ(gPanelLog, (std::vector<std::string> { "Timeline closed", "Timeline deleted" }));
}
