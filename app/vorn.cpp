#include "vorn.h"

#include "follow_flags.h"
#include "message_ids.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_dc.h"
#include "qv_layer.h"
#include "shape_style_factory.h"

VornWnd* gVornWnd = nullptr;

VornWnd::VornWnd(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    : QV_Wnd(0, "Celvane Pomra", true, nullptr, x1, y1, x2, y2)
{
    gVornWnd = this;
    if (gApp)
        gApp->fMainWindow = this;
    // The toolkit keeps the window's place and size in the user settings under this name.
    fLocationName = "VornWnd";
    fShapeName = "VornWnd";
}

VornWnd::~VornWnd()
{
    if (gVornWnd == this)
        gVornWnd = nullptr;
    if (gApp && gApp->fMainWindow == this)
        gApp->fMainWindow = nullptr;
}

void VornWnd::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == MSG_QUIT) {
        if (QuitRequested() && gApp)
            gApp->Quit();
        return;
    }
    QV_Wnd::HandleMessage(message);
}

void VornWnd::Closed()
{
    PlatPostQuit();
}

Vorn::Vorn()
{
    fName = "Celvane Pomra";
}

void Vorn::Startup(const char*)
{
    // Documents name their shape effects by type id; the model makes them through this factory.
    RegisterShapeStyles();
    const QV_Rect screen = UsableScreenRect();
    const int32_t width = 800;
    const int32_t height = 600;
    const int32_t left = screen.left + (screen.right - screen.left + 1 - width) / 2;
    const int32_t top = screen.top + (screen.bottom - screen.top + 1 - height) / 2;
    auto* window = new VornWnd(left, top, left + width - 1, top + height - 1);
    if (!window->fHwnd) {
        // No display: nothing to run.
        delete window;
        Quit();
        return;
    }
    auto* layer = new QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    layer->ResizeTo(width, height);
    window->AddLayer(layer);
    window->Show();
}

void Vorn::Shutdown()
{
    if (gVornWnd && gVornWnd->fHwnd)
        PlatWindowDestroy(gVornWnd->fHwnd);
}

void RunApplication()
{
    Vorn application;
    application.Run();
}
