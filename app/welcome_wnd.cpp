// The welcome screen shown at start: the quick-start guide, and the way to stop showing it.

#include "welcome_wnd.h"

#include "app_folders.h"
#include "about_wnd.h"
#include "app_prefs.h"
#include "follow_flags.h"
#include "message_ids.h"
#include "qv_app.h"
#include "qv_graphics.h"
#include "resource_images.h"
#include "shell_open.h"

WelcomeAction WelcomeActionAt(int32_t x, int32_t y)
{
    if (x >= 46 && x <= 364 && y >= 121 && y <= 172)
        return WelcomeAction::OpenGuide;
    if (x >= 46 && x <= 260 && y >= 422 && y <= 460)
        return WelcomeAction::SwitchOff;
    // The content store is not offered: its region closes like any other point.
    return WelcomeAction::Close;
}

QV_String QuickStartGuidePath()
{
    QV_String path = AppFolder().CString();
    const char* name = Localize("/Application/QuickStartPomra=Resources/QuickStart.html");
    if (!path.IsEmpty() && path.CString()[path.Length() - 1] != '/' && name[0] != '/')
        path.Append("/");
    path.Append(name);
    return path;
}

WelcomeLayer::WelcomeLayer()
    : QV_Layer(FOLLOW_LEFT + FOLLOW_TOP)
    , fPicture(GetResourceImage("celvane6_welcome"))
{
    ResizeTo(fPicture ? fPicture->width : 410, fPicture ? fPicture->height : 480);
}

void WelcomeLayer::Draw()
{
    QV_Graphics* g = GetGraphics();
    if (!g || !fPicture)
        return;
    g->BeginDraw();
    g->DrawImage(fPicture, 0, 0);
    g->EndDraw();
}

void WelcomeLayer::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    switch (WelcomeActionAt(x, y)) {
    case WelcomeAction::OpenGuide:
        ShellOpen(QuickStartGuidePath().CString());
        return;
    case WelcomeAction::SwitchOff:
        gPrefs.welcomeScreen = false;
        break;
    case WelcomeAction::Close:
        break;
    }
    EndShellModal(fWindow);
}

WelcomeWnd::WelcomeWnd(QV_Wnd* owner)
    : QV_Wnd(4, gApp ? gApp->fName.CString() : "Celvane", false, owner, 0, 0, 409, 479)
    , fLayer(new WelcomeLayer)
{
    const QV_Rect frame = fLayer->Frame();
    ResizeTo(frame.right - frame.left + 1, frame.bottom - frame.top + 1);
    AddLayer(fLayer);
    Center();
}

void ShowWelcomeScreen(QV_Wnd* owner)
{
    if (gApp && gApp->fQuitting)
        return;
    auto* window = new WelcomeWnd(owner);
    if (!window->fHwnd) {
        delete window;
        return;
    }
    RunModalKeepingQuit(window);
}
