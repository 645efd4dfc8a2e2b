// The console window itself; the routing of prints is in qv_lua_console.cpp.
#include "console_layer.h"
#include "console_view.h"
#include "follow_flags.h"
#include "qv_app.h"
#include "qv_dc.h"
#include "qv_lua_console.h"
#include "qv_scroll_bar.h"
#include "qv_scrolling_view.h"
#include "script_console.h"

namespace {

constexpr int32_t kToolWindow = 5;
constexpr int32_t kClientWidth = 400;
constexpr int32_t kClientHeight = 128;
// Far beyond any range: the bar takes its end.
constexpr int32_t kToTheEnd = 1000000;
constexpr int32_t kAllSides = FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM;

QV_Wnd* OwnerWindow()
{
    return gApp ? gApp->fMainWindow : nullptr;
}

} // namespace

QV_LuaConsole::QV_LuaConsole()
    : QV_Wnd(kToolWindow, "Lua Console", true, OwnerWindow(), 32, 32, 287, 159)
    , fScrollingView(nullptr)
    , fConsoleView(nullptr)
{
    if (!fHwnd)
        return;
    ResizeTo(kClientWidth, kClientHeight);
    // At the lower left of the screen, clear of the task bar.
    const QV_Rect area = UsableScreenRect();
    MoveOuterTo(area.left + 3, area.bottom - (kClientHeight - 1) - 33);
    fLocationName = "LuaConsole";
    fShapeName = "LuaConsole";
    Show();
}

QV_LuaConsole::~QV_LuaConsole()
{
    Forget(this);
}

QV_LuaConsole* QV_LuaConsole::Current()
{
    return static_cast<QV_LuaConsole*>(gLuaConsole);
}

void QV_LuaConsole::Opened()
{
    const QV_Rect bounds = Bounds();
    const int32_t width = bounds.right - bounds.left + 1;
    const int32_t height = bounds.bottom - bounds.top + 1;
    auto* layer = new QVi_ConsoleLayer(kAllSides);
    layer->ResizeTo(width, height);
    AddLayer(layer);
    fScrollingView = new QV_ScrollingView(width, height, kAllSides);
    layer->AddView(fScrollingView);
    fScrollingView->fDrawFrame = false;
    fConsoleView = new QVi_ConsoleView;
    fScrollingView->fContent = fConsoleView;
    fScrollingView->fClipView->AddChild(fConsoleView);
}

void QV_LuaConsole::SizeLimits(QV_Point& minimum, QV_Point& maximum)
{
    minimum = { 128, 100 };
    maximum = { 8192, 8192 };
}

void QV_LuaConsole::AddLine(const char* text, rgb_color color)
{
    if (fConsoleView)
        fConsoleView->AddLine(text, color);
}

void QV_LuaConsole::ScrollToEnd()
{
    if (!fScrollingView)
        return;
    fScrollingView->UpdateScrollBars();
    fScrollingView->fVScroll->SetValue(kToTheEnd);
    fScrollingView->PostMessage(MSG_VSCROLL);
    fScrollingView->fHScroll->SetValue(0);
    fScrollingView->PostMessage(MSG_HSCROLL);
}
