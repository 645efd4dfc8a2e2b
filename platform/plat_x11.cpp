#include "plat_sdl_internal.h"
#include "plat_x11_internal.h"

// After the layer's own headers: Xlib's macros would clash with their names.
#include <SDL_syswm.h>
#include <X11/Xproto.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

std::mutex gConnectionsMutex;
std::vector<Display*> gPrivateConnections;
XErrorHandler gPreviousHandler = nullptr;

int FilterErrors(Display* display, XErrorEvent* error)
{
    {
        std::lock_guard<std::mutex> lock(gConnectionsMutex);
        if (std::find(gPrivateConnections.begin(), gPrivateConnections.end(), display)
            != gPrivateConnections.end())
            return 0;
    }
    // An event sent to a window that closed meanwhile (SDL wakes the waiting event loop by
    // sending one to a window of ours) is simply not delivered; Xlib's default handler would
    // end the program for it.
    if (error->request_code == X_SendEvent && error->error_code == BadWindow)
        return 0;
    return gPreviousHandler ? gPreviousHandler(display, error) : 0;
}

void InstallErrorFilter()
{
    // SDL sets handlers of its own for a while now and then; whatever is in
    // place stays the one that hears about the errors we do not filter.
    const XErrorHandler current = XSetErrorHandler(FilterErrors);
    if (current != FilterErrors)
        gPreviousHandler = current;
}

} // namespace

void X11FilterErrors()
{
    if (!X11InUse())
        return;
    std::lock_guard<std::mutex> lock(gConnectionsMutex);
    InstallErrorFilter();
}

bool X11InUse()
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return false;
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver && std::strcmp(driver, "x11") == 0;
}

Display* X11DisplayOfWindow(PlatWindow* window)
{
    if (!window || !X11InUse())
        return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window->sdl, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    return info.info.x11.display;
}

Display* X11OpenPrivateConnection()
{
    if (!X11InUse())
        return nullptr;
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    std::lock_guard<std::mutex> lock(gConnectionsMutex);
    InstallErrorFilter();
    gPrivateConnections.push_back(display);
    return display;
}

void X11ClosePrivateConnection(Display* display)
{
    if (!display)
        return;
    XCloseDisplay(display);
    std::lock_guard<std::mutex> lock(gConnectionsMutex);
    std::erase(gPrivateConnections, display);
}
