#include "plat_beep.h"

#include "plat_sdl_internal.h"
#include "plat_x11_internal.h"

#include <X11/Xlib.h>

namespace {

void (*gBeepHook)() = nullptr;

} // namespace

void PlatSetBeepHook(void (*hook)())
{
    gBeepHook = hook;
}

void PlatBeep()
{
    if (gBeepHook)
        gBeepHook();
    const auto& windows = PlatLiveWindows();
    if (windows.empty())
        return;
    if (Display* display = X11DisplayOfWindow(windows.front())) {
        XBell(display, 0);
        XFlush(display);
    }
}
